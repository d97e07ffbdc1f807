// The main window's Edit menu, undo and redo, and the export of a project as a MIDI file.
#include "mainwnd/TonegroveDlg.h"

#include "app/FileHelpers.h"
#include "app/FlagScope.h"
#include "app/TextHelpers.h"
#include "lang/Translate.h"
#include "mainwnd/CommandIds.h"
#include "mainwnd/MainTexts.h"
#include "mainwnd/WindowQuestions.h"
#include "platform/AtomicFile.h"
#include "platform/Prompter.h"
#include "platform/RegistryStore.h"
#include "sound/MidiExport.h"

#include <QAction>
#include <QLabel>
#include <QSlider>

namespace
{
// The name a project exports to: its own with ".mid" in place of its extension.
std::string MidiPathOf(const std::string& strProject)
{
    const size_t nSlash = strProject.find_last_of('/');
    const size_t nDot = strProject.find_last_of('.');
    if (nDot != std::string::npos && (nSlash == std::string::npos || nDot > nSlash))
        return strProject.substr(0, nDot) + ".mid";
    return strProject + ".mid";
}

} // namespace

void CTonegroveDlg::OnEdit(int nCommand)
{
    // An edit that asks a question is still under way while the box is open: another edit
    // now would change the bytes it works on.
    if (m_bEditing)
        return;
    CFlagScope editing(m_bEditing);
    const int nRow = m_playlist.Selected();
    bool bChanged = false;
    switch (nCommand)
    {
    case Cmd::SelectionMark:
    {
        // Not playing, the mark is the record at the position bar's time.
        const float fLength = m_playlist.IsProject(nRow) ? m_playlist.Row(nRow).fLength : 0.0f;
        const int nMax = std::max(1, m_pSlider->maximum());
        m_pEditor->Mark(fLength * static_cast<float>(m_pSlider->value()) / static_cast<float>(nMax));
        if (QAction* pMark = MenuAction(Cmd::SelectionMark))
        {
            const QString strText = pMark->text();
            const qsizetype nTab = strText.indexOf('\t');
            pMark->setText(Tr(m_pEditor->MarkingEnd() ? Txt::kSelectionMarkEnd : Txt::kSelectionMark) +
                           (nTab >= 0 ? strText.mid(nTab) : QString()));
        }
        break;
    }
    case Cmd::SelectAll:
        m_pEditor->SelectAll();
        break;
    case Cmd::Copy:
        m_pEditor->Copy();
        break;
    case Cmd::Cut:
        bChanged = m_pEditor->Cut();
        break;
    case Cmd::Paste:
        bChanged = m_pEditor->Paste();
        break;
    case Cmd::Delete:
        bChanged = m_pEditor->Delete();
        break;
    case Cmd::RemoveGaps:
        bChanged = m_pEditor->RemoveGaps();
        break;
    case Cmd::TbUndo:
        bChanged = m_pEditor->Undo();
        break;
    case Cmd::TbRedo:
        bChanged = m_pEditor->Redo();
        break;
    default:
        return;
    }
    if (bChanged)
        MeasureProject(nRow);
    UpdateEditState();
}

void CTonegroveDlg::UpdateEditState()
{
    if (!m_pEditor || !m_pEditStatus)
        return;
    m_pEditStatus->setText(Tr(m_pEditor->StatusPieces()));
    EnableCommands({Cmd::TbUndo}, m_pEditor->CanUndo());
    EnableCommands({Cmd::TbRedo}, m_pEditor->CanRedo());
    EnableCommands({Cmd::ExportMidi}, m_playlist.IsProject(m_playlist.Selected()));
    UpdateRoll();
}

void CTonegroveDlg::OnExportMidi()
{
    const int nRow = m_playlist.Selected();
    if (!m_playlist.IsProject(nRow))
        return;
    CProjectPlayer project(m_prompter);
    project.SetData(m_playlist.Row(nRow).data);
    const std::optional<std::vector<uint8_t>> file = ExportMidiFile(project);
    if (!file)
        return;
    const std::string strChosen = m_prompter.AskSaveFilePath(Txt::kExportMidiTitle, Txt::kMidiFilter,
                                                             MidiPathOf(m_playlist.Row(nRow).strPath));
    if (strChosen.empty())
        return;
    // The dialog asked about the name without the extension, if it asked at all.
    const std::string strPath = WithExtension(strChosen, ".mid");
    if (strPath != strChosen && PathTaken(strPath) && !AskReplace(m_prompter, strPath, Txt::kExportMidiTitle))
        return;
    if (const int nError = WriteFileAtomically(strPath, *file); nError != 0)
    {
        const QString strText =
            Tr(Txt::kExportFailed)
                .arg(QString::fromStdString(strPath), QString::fromStdString(SystemErrorText(nError)));
        AskOwned(m_prompter, strText.toStdString(), Txt::kExportFailedCaption, EIcon::Warning);
    }
}

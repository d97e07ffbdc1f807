// The playlist's file commands: New, Open, Open folder, Save, Save as, Save all, Close, Help,
// and the list's selection and click notifications.
#include "mainwnd/TonegroveDlg.h"

#include "app/FileHelpers.h"
#include "app/Messages.h"
#include "app/Settings.h"
#include "app/TextHelpers.h"
#include "lang/Translate.h"
#include "mainwnd/CommandIds.h"
#include "mainwnd/MainTexts.h"
#include "mainwnd/WindowQuestions.h"
#include "platform/AtomicFile.h"
#include "platform/Prompter.h"
#include "project/ProjectFormat.h"
#include "sound/MciPlayer.h"

#include <QCollator>
#include <QLocale>
#include <QSlider>
#include <QTableWidget>

#include <algorithm>
#include <thread>

namespace
{
// Why a file cannot be opened as a row, or an empty text when it can. A project is read whole
// now; a media file is only opened, as its player reads it in place.
std::string WhyNotOpenable(const SReadStatus& status)
{
    switch (status.eFailure)
    {
    case EReadFailure::None:
        return {};
    case EReadFailure::NotRegularFile:
        return TrStd(Txt::kNotOpened) + TrStd(status.Reason());
    default:
        return TrStd(Txt::kCannotRead) + TrStd(status.Reason());
    }
}

// While a file is being added, the messages its checks show on the window thread (a damaged
// project, a media file the player cannot open) are kept to be said with the file's name.
// Worker threads keep reaching the prompter the window's messages went to before.
class CMessageCollector : public IPrompter
{
  public:
    explicit CMessageCollector(CRoutedPrompter& routed)
        : m_routed(routed), m_next(routed.Target()), m_window(std::this_thread::get_id())
    {
        m_routed.SetTarget(*this);
    }
    ~CMessageCollector() override { m_routed.SetTarget(m_next); }
    CMessageCollector(const CMessageCollector&) = delete;
    CMessageCollector& operator=(const CMessageCollector&) = delete;

    EAnswer Ask(const SMessage& message) override
    {
        if (std::this_thread::get_id() != m_window)
            return m_next.Ask(message);
        m_texts.push_back(message.strText);
        return message.eButtons == EButtons::Ok || message.eButtons == EButtons::OkCancel ? EAnswer::Ok
                                                                                          : EAnswer::Cancel;
    }
    const std::vector<std::string>& Texts() const { return m_texts; }

  private:
    CRoutedPrompter& m_routed;
    IPrompter& m_next;
    std::thread::id m_window;
    std::vector<std::string> m_texts;
};

void AddProblem(std::string& strProblems, const std::string& strPath, const std::string& strWhy)
{
    strProblems += "\n" + strPath + ": " + strWhy;
}
} // namespace

int CTonegroveDlg::RowCount() const
{
    return m_wndList->rowCount();
}

std::string CTonegroveDlg::RowText(int nRow, int nColumn) const
{
    QTableWidgetItem* pItem = m_wndList->item(nRow, nColumn);
    return pItem ? pItem->text().toStdString() : std::string();
}

int CTonegroveDlg::SelectedRow() const
{
    int nRow = m_wndList->currentRow();
    return nRow >= 0 && nRow < RowCount() ? nRow : -1;
}

void CTonegroveDlg::MarkRow(int nRow)
{
    // Marked from the program: the row becomes the selection mark; the list highlights it too,
    // since the highlighted row must be the one Playback plays.
    m_wndList->selectionModel()->setCurrentIndex(m_wndList->model()->index(nRow, 0),
                                                 QItemSelectionModel::NoUpdate);
}

void CTonegroveDlg::ClickRow(int nRow)
{
    m_wndList->setCurrentCell(nRow, 0);
    OnClick();
}

void CTonegroveDlg::AppendRow(const std::string& strPath)
{
    int nRow = RowCount();
    m_wndList->insertRow(nRow);
    m_wndList->setItem(nRow, 0, new QTableWidgetItem(QString::fromStdString(strPath)));
    m_wndList->setItem(nRow, 1, new QTableWidgetItem(QString()));
}

std::string CTonegroveDlg::ProjectFolder()
{
    std::string strFolder = m_strProjectFolder.empty() ? CurrentFolder() : m_strProjectFolder;
    // Made on first use; when it cannot be made, saving there says so.
    MakeFolders(strFolder);
    return strFolder;
}

std::string CTonegroveDlg::NewProjectName()
{
    // The numbers go on past names that are taken, by a row or by a file of an earlier session,
    // so that saving the new project never writes over someone else's file.
    const std::string strFolder = ProjectFolder();
    for (;;)
    {
        ++m_nNewCount;
        std::string strName = strFolder + "/Melody" + IntToText(m_nNewCount) + ".tgp";
        if (m_playlist.Find(strName) < 0 && !PathTaken(strName))
            return strName;
    }
}

void CTonegroveDlg::OnNew()
{
    ++m_nAdded;
    EnableCommands(
        {Cmd::Cut, Cmd::Copy, Cmd::Delete, Cmd::Paste, Cmd::RemoveGaps, Cmd::SelectionMark, Cmd::SelectAll},
        true);
    const std::string strName = NewProjectName();
    m_wndList->setEnabled(true);
    // The name is one no row has, so the new row is the one selected.
    const int nType = m_settings.ProjectType;
    const int nRow = m_playlist.Add(
        {strName, ERowKind::Project, nType == 0 || nType == 1 ? MakeHeader(nType) : std::vector<uint8_t>()});

    EnableCommands({Cmd::Play}, false);
    UpdateTransportButtons();
    AppendRow(strName);
    MarkRow(nRow);
    EnableCommands({Cmd::Play}, true);
    EnableCommands({Cmd::Save, Cmd::SaveAs, Cmd::SaveAll}, true);
}

void CTonegroveDlg::OpenPaths(const std::vector<std::string>& arrPaths)
{
    std::string strProblems;
    for (const std::string& strPath : arrPaths)
        AddPath(strPath, strProblems);
    if (!strProblems.empty())
        AskOwned(m_prompter, TrStd(Txt::kOpenProblemsText) + "\n" + strProblems, Txt::kOpenProblemsCaption,
                 EIcon::Warning);
}

void CTonegroveDlg::OnOpen()
{
    // Where no dialog has chosen a file yet (files of the command line do not count), the
    // project folder: the platform's choice would be the working folder, often not the user's.
    const std::string strFolder = m_strLastOpenFolder ? *m_strLastOpenFolder : ProjectFolder();
    const std::string strPath = m_prompter.AskOpenPath(strFolder);
    if (strPath.empty())
        return;
    m_strLastOpenFolder = FolderOf(strPath);
    OpenPaths({strPath});
}

void CTonegroveDlg::AddPath(const std::string& strPath, std::string& strProblems)
{
    ++m_nAdded;
    m_wndList->setEnabled(true);
    EnableCommands({Cmd::Play}, true);
    UpdateTransportButtons();
    if (m_nAdded == 1)
    {
        EnableCommands({Cmd::Save, Cmd::SaveAs, Cmd::Close, Cmd::SelectionMark, Cmd::SelectAll, Cmd::SaveAll},
                       true);
        m_pSlider->setEnabled(true);
    }
    if (m_playlist.Find(strPath) >= 0)
        return;
    const std::optional<ERowKind> oKind = KindOfFile(strPath);
    if (!oKind)
        return;
    const bool bProject = *oKind == ERowKind::Project;
    // A file that cannot be read gets no row: an empty project saved over it would lose it.
    SReadStatus status;
    std::vector<uint8_t> data;
    if (bProject)
        data = ReadWholeFile(strPath, status);
    else
        CanReadFile(strPath, status);
    if (!status.Ok())
    {
        AddProblem(strProblems, strPath, WhyNotOpenable(status));
        return;
    }

    // The row first, so that the selection notification of the new row finds it.
    const int nRow = m_playlist.Add({strPath, *oKind, std::move(data)});
    if (bProject)
        m_ownFiles.insert(strPath);

    AppendRow(strPath);
    MarkRow(nRow);
    EnableCommands({Cmd::Playback}, true);
    EnableCommands({Cmd::Play}, true);
    m_pSlider->setEnabled(true);
    EnableCommands({Cmd::Copy, Cmd::Cut, Cmd::Delete, Cmd::Paste}, true);

    CMessageCollector messages(m_prompter);
    if (bProject)
        MeasureProject(nRow);
    else
    {
        CMciPlayer& media = m_pTransport->Media();
        media.Open(strPath, nRow);
        const float fLength = media.GetLength(nRow);
        media.Close(nRow);
        m_playlist.SetLength(nRow, fLength);
        m_wndList->item(nRow, 1)->setText(QString::fromStdString(FormatTime(fLength)));
    }
    EnableCommands({Cmd::Play}, bProject);
    UpdateTransportButtons();
    for (const std::string& strText : messages.Texts())
        AddProblem(strProblems, strPath, strText);
}

void CTonegroveDlg::OnOpenFolder()
{
    std::string strFolder = m_prompter.AskFolder();
    if (strFolder.empty())
        return;
    while (strFolder.size() > 1 && strFolder.back() == '/')
        strFolder.pop_back();
    std::vector<std::string> found;
    for (const std::string& strName : FilesInFolder(strFolder))
    {
        if (KindOfPath(strName))
            found.push_back((strFolder == "/" ? "" : strFolder) + "/" + strName);
    }
    // In the order a person reads the names: track2 before track10, capitals among the rest.
    // The program speaks Russian; without a locale of the user's it sorts as a Russian reader.
    QLocale locale;
    if (locale.language() == QLocale::C)
        locale = QLocale(QLocale::Russian, QLocale::Russia);
    QCollator collator(locale);
    collator.setNumericMode(true);
    collator.setCaseSensitivity(Qt::CaseInsensitive);
    std::stable_sort(found.begin(), found.end(),
                     [&](const std::string& a, const std::string& b)
                     { return collator.compare(QString::fromStdString(a), QString::fromStdString(b)) < 0; });
    OpenPaths(found);
}

std::string CTonegroveDlg::AskProjectSavePath(const std::string& strTitle)
{
    for (;;)
    {
        const std::string strFolder = m_strLastSaveFolder ? *m_strLastSaveFolder : ProjectFolder();
        std::string strPath = AskSavePath(m_prompter, strTitle, strFolder);
        if (strPath.empty())
            return strPath;
        m_strLastSaveFolder = FolderOf(strPath);
        // Asked about the name with its extension, the one that is written.
        if (!PathTaken(strPath) || AskReplace(m_prompter, strPath, strTitle))
            return strPath;
        // No: choose another name, as the dialog's own question lets one do.
    }
}

bool CTonegroveDlg::MayWriteOver(const std::string& strPath)
{
    return m_ownFiles.count(strPath) || !PathTaken(strPath) || AskReplace(m_prompter, strPath, Txt::kSaveAll);
}

bool CTonegroveDlg::WriteItem(int nRow, const std::string& strPath)
{
    // Media rows hold no project bytes: writing them would put nothing useful over the file.
    if (!m_playlist.IsProject(nRow) || strPath.empty())
        return false;
    if (!WriteWholeFile(strPath, m_playlist.Row(nRow).data))
        return false;
    m_ownFiles.insert(strPath);
    m_playlist.SetSaved(nRow, strPath);
    m_wndList->item(nRow, 0)->setText(QString::fromStdString(strPath));
    return true;
}

void CTonegroveDlg::OnSave()
{
    int nRow = SelectedRow();
    if (!m_playlist.IsProject(nRow))
        return;
    std::string strPath = m_playlist.Row(nRow).strPath;
    // Only the file the row came from or was saved to is written without a dialog; a new
    // project's name may meanwhile belong to a file of someone else.
    if (m_ownFiles.count(strPath) && FileExists(strPath))
    {
        // A save that fails says so: a silent failure would let the user think the work is safe.
        if (!WriteItem(nRow, strPath))
            AskOwned(m_prompter, Msg::kNotSaved, Msg::kNotSavedCaption, EIcon::Warning);
        return;
    }
    strPath = AskProjectSavePath(Msg::kSaveTitle);
    if (!WriteItem(nRow, strPath))
        AskOwned(m_prompter, Msg::kNotSaved, Msg::kNotSavedCaption, EIcon::Warning);
}

void CTonegroveDlg::OnSaveAs()
{
    int nRow = SelectedRow();
    if (!m_playlist.IsProject(nRow))
        return;
    std::string strPath = AskProjectSavePath(Msg::kSaveAsTitle);
    if (!WriteItem(nRow, strPath))
        AskOwned(m_prompter, Msg::kNotSaved, Msg::kNotSavedCaption, EIcon::Warning);
}

void CTonegroveDlg::OnSaveAll()
{
    std::string strFailed;
    for (int i = 0; i < m_playlist.Count(); ++i)
    {
        if (!m_playlist.IsProject(i))
            continue;
        const std::string strPath = m_playlist.Row(i).strPath;
        // A file the row did not come from is replaced only when the user says so.
        if (!MayWriteOver(strPath))
            continue;
        if (!WriteItem(i, strPath))
            strFailed += strPath + "\r\n";
    }
    if (!strFailed.empty())
        AskOwned(m_prompter, TrStd(Msg::kSaveAllText) + strFailed, Msg::kSaveAllCaption, EIcon::Warning);
}

void CTonegroveDlg::OnClose()
{
    int nRow = SelectedRow();
    if (nRow < 0)
        return;
    // The row that plays stops with it; the rows after it move up, and the row that plays
    // with them.
    m_pTransport->RemoveRow(nRow);
    m_wndList->removeRow(nRow);
    if (RowCount() == 0)
    {
        m_wndList->setEnabled(false);
        EnableCommands({Cmd::Play}, false);
    }
    else
        MarkRow(0);
    UpdateTransportButtons();
}

void CTonegroveDlg::OnItemChanged()
{
    int nRow = SelectedRow();
    if (!m_playlist.Has(nRow))
        return;
    // Only a project can be played into.
    EnableCommands({Cmd::Play}, m_playlist.IsProject(nRow));
    UpdateTransportButtons();
}

void CTonegroveDlg::OnClick()
{
    int nRow = SelectedRow();
    if (nRow < 0)
        return;
    // The row's kind, not its name: a kind never changes by saving.
    const bool bProject = m_playlist.IsProject(nRow);
    EnableCommands({Cmd::Play}, bProject);
    // Every row can be closed; only a project can be saved or marked.
    EnableCommands({Cmd::Save, Cmd::SaveAs, Cmd::SelectionMark, Cmd::SelectAll, Cmd::SaveAll}, bProject);
    EnableCommands({Cmd::Close}, true);
    m_pSlider->setEnabled(true);
}

void CTonegroveDlg::OnHelp()
{
    // The help page of the program's language: its file name is translated too.
    const std::string strPath = m_services.dataFolder + "/" + TrStd(Txt::kHelpFile);
    if (!FileExists(strPath))
        AskOwned(m_prompter, TrStd(Msg::kHelpMissing) + "\n" + strPath, Txt::kCaption, EIcon::Warning);
    else if (!m_prompter.OpenDocument(strPath))
        AskOwned(m_prompter, TrStd(Msg::kHelpNoViewer) + "\n" + strPath, Txt::kCaption, EIcon::Warning);
}

bool CTonegroveDlg::HasUnsavedProjects() const
{
    for (int i = 0; i < m_playlist.Count(); ++i)
    {
        if (!m_playlist.IsProject(i))
            continue;
        const std::vector<uint8_t>& data = m_playlist.Row(i).data;
        const std::string& strPath = m_playlist.Row(i).strPath;
        // A file that is not the row's own (a new project's name taken meanwhile) says nothing
        // about whether the row's work is saved.
        const bool bOwnFile = m_ownFiles.count(strPath) && FileExists(strPath);
        if (bOwnFile ? ReadWholeFile(strPath) != data : data.size() > kHeaderSize)
            return true;
    }
    return false;
}

void CTonegroveDlg::MeasureProject(int nRow)
{
    // A player of its own: the transport's may be playing another row.
    CProjectPlayer measure(m_prompter);
    measure.SetData(m_playlist.Row(nRow).data);
    measure.ComputeTotal();
    m_playlist.SetLength(nRow, static_cast<float>(measure.m_nTotal));
    if (QTableWidgetItem* pItem = m_wndList->item(nRow, 1))
        pItem->setText(QString::fromStdString(FormatTime(static_cast<float>(measure.m_nTotal))));
}

bool CTonegroveDlg::MayEnd()
{
    if (!HasUnsavedProjects())
        return true;
    switch (AskOwned(m_prompter, Msg::kUnsavedQuestion, Msg::kUnsavedCaption, EIcon::Question,
                     EButtons::YesNoCancel))
    {
    case EAnswer::No:
        return true;
    case EAnswer::Yes:
        OnSaveAll();
        return !HasUnsavedProjects();
    default:
        return false;
    }
}

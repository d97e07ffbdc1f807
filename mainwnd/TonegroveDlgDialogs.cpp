// The commands that open the program's other windows: the live play window, Options and About.
#include "mainwnd/TonegroveDlg.h"

#include "about/AboutDlg.h"
#include "app/TextHelpers.h"
#include "keyboard/PlaysDlg.h"
#include "mainwnd/CommandIds.h"
#include "options/OptionsDlg.h"
#include "project/ProjectFormat.h"

#include <QSlider>
#include <QTableWidget>

void CTonegroveDlg::OnLivePlay()
{
    const int nSelected = SelectedRow();
    // Only a project row continues; a media row or no row records into a new project row,
    // never into a media file.
    const bool bContinues = m_playlist.IsProject(nSelected);
    std::vector<uint8_t> start;
    if (bContinues)
        start = m_playlist.Row(nSelected).data;
    // The panel shows the take as it grows, after the notes of the project it continues.
    CNoteListBuilder takeStart(m_settings.ProjectType == 0 ? 0 : 1);
    if (int nVersion = 0; !start.empty() && CheckProjectHeader(start, nVersion) == EHeader::Ok)
    {
        takeStart = CNoteListBuilder(nVersion);
        takeStart.AddStream(std::span<const uint8_t>(start).subspan(kHeaderSize));
    }
    const SPlayResult result =
        RunPlaysDialog(this, std::move(start), m_settings, m_services,
                       [this, &takeStart](std::span<const uint8_t> take) { ShowTake(takeStart, take); });
    EndTake();
    if (!result.bAccepted)
        return;

    EnableCommands({Cmd::Play}, true);
    m_wndList->setEnabled(true);
    EnableCommands({Cmd::Save, Cmd::SaveAs, Cmd::Close}, true);
    m_pSlider->setEnabled(true);
    EnableCommands({Cmd::SelectionMark, Cmd::SelectAll, Cmd::SaveAll}, true);
    if (!result.bRecorded)
        return;

    if (!bContinues)
        OnNew();
    const int nRow = SelectedRow();
    if (!m_playlist.IsProject(nRow))
        return;
    m_playlist.SetData(nRow, result.project);
    EnableCommands({Cmd::Cut, Cmd::Copy, Cmd::Delete, Cmd::Paste, Cmd::RemoveGaps}, true);
    MeasureProject(nRow);
    UpdateTransportButtons();
    setFocus();
}

void CTonegroveDlg::OnSettings()
{
    RunOptionsDialog(this, m_settings, m_prompter, m_arrMidiDevices, MidiInNames(m_services.midiIn));
    // A new SoundFont sounds at once, in what plays now as well.
    m_services.midiOut.SoundFontChanged();
}

void CTonegroveDlg::OnAbout()
{
    RunAboutDialog(this, m_settings, m_services.update);
}

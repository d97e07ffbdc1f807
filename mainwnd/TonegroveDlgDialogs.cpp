// The commands that open the program's other windows: the live play window and Options.
#include "mainwnd/TonegroveDlg.h"

#include "app/TextHelpers.h"
#include "keyboard/PlaysDlg.h"
#include "mainwnd/CommandIds.h"
#include "options/OptionsDlg.h"

#include <QSlider>
#include <QTableWidget>

void CTonegroveDlg::OnLivePlay()
{
    const int nSelected = SelectedRow();
    // Only a project row continues; a media row or no row records into a new project row,
    // never into a media file.
    const bool bContinues = IsProjectRow(nSelected);
    std::vector<uint8_t> start;
    if (bContinues)
        start = m_arrData[static_cast<size_t>(nSelected)];
    const SPlayResult result = RunPlaysDialog(this, std::move(start), m_settings, m_services);
    if (!result.bAccepted)
        return;

    EnableTool(Cmd::TbPlay, true);
    m_wndList->setEnabled(true);
    EnableMenu({Cmd::Save, Cmd::SaveAs, Cmd::Close}, true);
    m_pSlider->setEnabled(true);
    EnableMenu({Cmd::SelectionMark, Cmd::SelectAll, Cmd::SaveAll}, true);
    if (!result.bRecorded)
        return;

    if (!bContinues)
        OnNew();
    const int nRow = SelectedRow();
    if (!IsProjectRow(nRow))
        return;
    m_arrData[static_cast<size_t>(nRow)] = result.project;
    EnableMenu({Cmd::Cut, Cmd::Copy, Cmd::Delete, Cmd::Paste, Cmd::RemoveGaps}, true);
    m_pPlayer->SetData(m_arrData[static_cast<size_t>(nRow)]);
    m_pPlayer->ComputeTotal();
    m_wndList->item(nRow, 1)->setText(QString::fromStdString(FormatTime(static_cast<float>(m_pPlayer->m_nTotal))));
    m_arrButtons[static_cast<size_t>(nRow)] = {true, true, true, true};
    UpdateTransportButtons();
    setFocus();
}

void CTonegroveDlg::OnSettings()
{
    RunOptionsDialog(this, m_settings, m_prompter, m_arrMidiDevices);
    // A new SoundFont sounds at once, in what plays now as well.
    m_services.midiOut.SoundFontChanged();
}

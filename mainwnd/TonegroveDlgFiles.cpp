// The playlist's file commands: New, Open, Open folder, Save, Save as, Save all, Close, Help,
// and the list's selection and click notifications.
#include "mainwnd/TonegroveDlg.h"

#include "app/FileHelpers.h"
#include "app/Messages.h"
#include "app/Settings.h"
#include "app/TextHelpers.h"
#include "mainwnd/CommandIds.h"
#include "mainwnd/MainTexts.h"
#include "mainwnd/PlaylistState.h"
#include "platform/Prompter.h"
#include "project/ProjectFormat.h"
#include "sound/MciPlayer.h"

#include <QSlider>
#include <QTableWidget>

#include <algorithm>
#include <dirent.h>
#include <sys/stat.h>

namespace
{
bool IsKnownType(const std::string& strType) { return strType == "TGP" || strType == "MID" || strType == "WAV"; }

EAnswer AskOwned(const std::string& strText, const std::string& strCaption, EIcon eIcon,
                 EButtons eButtons = EButtons::Ok)
{
    return Prompter().Ask(SMessage{strText, strCaption, eIcon, eButtons, true});
}
} // namespace

int CTonegroveDlg::RowCount() const { return m_wndList->rowCount(); }

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
    m_wndList->selectionModel()->setCurrentIndex(m_wndList->model()->index(nRow, 0), QItemSelectionModel::NoUpdate);
}

void CTonegroveDlg::ClickRow(int nRow)
{
    m_wndList->setCurrentCell(nRow, 0);
    OnClick();
}

int CTonegroveDlg::FindRow(const std::string& strPath) const
{
    for (int i = 0; i < RowCount(); ++i)
    {
        if (RowText(i, 0) == strPath)
            return i;
    }
    return -1;
}

bool CTonegroveDlg::IsProjectRow(int nRow) const
{
    return nRow >= 0 && nRow < static_cast<int>(m_arrType.size()) && m_arrType[static_cast<size_t>(nRow)] == "TGP";
}

void CTonegroveDlg::AppendRow(const std::string& strPath)
{
    int nRow = RowCount();
    m_wndList->insertRow(nRow);
    m_wndList->setItem(nRow, 0, new QTableWidgetItem(QString::fromStdString(strPath)));
    m_wndList->setItem(nRow, 1, new QTableWidgetItem(QString()));
}

void CTonegroveDlg::OnNew()
{
    ++m_nAdded;
    ++m_nNewCount;
    EnableMenu({Cmd::Cut, Cmd::Copy, Cmd::Delete, Cmd::Paste, Cmd::RemoveGaps, Cmd::SelectionMark, Cmd::SelectAll},
               true);
    const std::string strName = ModuleFolder() + "/Melody" + IntToText(m_nNewCount) + ".tgp";
    m_wndList->setEnabled(true);
    int nFound = FindRow(strName);
    int nRow = nFound >= 0 ? nFound : RowCount();

    m_arrType.push_back("TGP");
    m_arrButtons.push_back({true, false, false, false});
    g_arrPaths.push_back(strName);
    m_arrData.push_back(ProjectType == 0 || ProjectType == 1 ? MakeHeader(ProjectType) : std::vector<uint8_t>());

    SetTransportButtons({false, true, false, false});
    AppendRow(strName);
    MarkRow(nRow);
    EnableTool(Cmd::TbPlay, true);
    EnableMenu({Cmd::Save, Cmd::SaveAs, Cmd::SaveAll}, true);
}

void CTonegroveDlg::OpenPathInAdvance(const std::string& strPath)
{
    g_pszOpenPath = strPath;
    OnOpen();
    g_pszOpenPath.reset();
}

void CTonegroveDlg::OnOpen()
{
    std::string strPath;
    if (g_pszOpenPath)
        strPath = *g_pszOpenPath;
    else
    {
        std::string strFolder = !g_bOpenedOnce ? ModuleFolder() : g_pszLastOpenFolder.value_or(std::string());
        strPath = Prompter().AskOpenPath(strFolder);
        if (strPath.empty())
            return;
        g_pszLastOpenFolder = FolderOf(strPath);
    }
    ++m_nAdded;
    g_bOpenedOnce = true;
    m_wndList->setEnabled(true);
    SetTransportButtons({true, true, false, false});
    if (m_nAdded == 1)
    {
        EnableMenu({Cmd::Save, Cmd::SaveAs, Cmd::Close, Cmd::SelectionMark, Cmd::SelectAll, Cmd::SaveAll}, true);
        m_pSlider->setEnabled(true);
    }
    if (FindRow(strPath) >= 0)
        return;
    const std::string strType = TypeOfPath(strPath);
    if (!IsKnownType(strType))
        return;

    const int nRow = RowCount();
    // The lists first, so that the selection notification of the new row finds its switches.
    if (strType == "TGP")
    {
        m_arrData.push_back(ReadWholeFile(strPath));
        m_arrButtons.push_back({true, true, true, true});
    }
    else
    {
        m_arrData.emplace_back();
        m_arrButtons.push_back({false, true, true, true});
    }
    m_arrType.push_back(strType);
    g_arrPaths.push_back(strPath);

    AppendRow(strPath);
    MarkRow(nRow);
    EnableTool(Cmd::TbPlayback, true);
    EnableTool(Cmd::TbPlay, true);
    m_pSlider->setEnabled(true);
    EnableMenu({Cmd::Copy, Cmd::Cut, Cmd::Delete, Cmd::Paste}, true);

    if (strType == "TGP")
    {
        m_pPlayer->SetData(m_arrData.back());
        m_pPlayer->m_nTotal = 0;
        m_pPlayer->ComputeTotal();
        m_wndList->item(nRow, 1)->setText(QString::fromStdString(FormatTime(static_cast<float>(m_pPlayer->m_nTotal))));
        SetTransportButtons({true, true, false, false});
    }
    else
    {
        SetTransportButtons({false, true, false, false});
        m_pMedia->Open(strPath, nRow);
        float fLength = m_pMedia->GetLength(nRow);
        m_pMedia->Close(nRow);
        m_wndList->item(nRow, 1)->setText(QString::fromStdString(FormatTime(fLength)));
    }
}

void CTonegroveDlg::OnOpenFolder()
{
    std::string strFolder = Prompter().AskFolder();
    if (strFolder.empty())
        return;
    while (strFolder.size() > 1 && strFolder.back() == '/')
        strFolder.pop_back();
    std::vector<std::string> found;
    if (DIR* pDir = opendir(strFolder.c_str()))
    {
        while (dirent* pEntry = readdir(pDir))
        {
            std::string strName = pEntry->d_name;
            if (strName == "." || strName == "..")
                continue;
            std::string strPath = (strFolder == "/" ? "" : strFolder) + "/" + strName;
            struct stat st;
            if (stat(strPath.c_str(), &st) == 0 && S_ISDIR(st.st_mode))
                continue;
            if (IsKnownType(TypeOfPath(strName)))
                found.push_back(strPath);
        }
        closedir(pDir);
    }
    for (const std::string& strPath : found)
        OpenPathInAdvance(strPath);
}

bool CTonegroveDlg::WriteItem(int nRow, const std::string& strPath)
{
    // Media rows hold no project bytes: writing them would put nothing useful over the file.
    if (!IsProjectRow(nRow) || strPath.empty())
        return false;
    return WriteWholeFile(strPath, m_arrData[static_cast<size_t>(nRow)]);
}

void CTonegroveDlg::OnSave()
{
    int nRow = SelectedRow();
    if (nRow < 0 || !IsProjectRow(nRow))
        return;
    std::string strPath = RowText(nRow, 0);
    if (FileExists(strPath))
    {
        // A save that fails says so: a silent failure would let the user think the work is safe.
        if (!WriteItem(nRow, strPath))
            AskOwned(Msg::kNotSaved, Msg::kNotSavedCaption, EIcon::Warning);
        return;
    }
    strPath = AskSavePath(Msg::kSaveTitle);
    if (WriteItem(nRow, strPath))
        m_wndList->item(nRow, 0)->setText(QString::fromStdString(strPath));
    else
        AskOwned(Msg::kNotSaved, Msg::kNotSavedCaption, EIcon::Warning);
}

void CTonegroveDlg::OnSaveAs()
{
    int nRow = SelectedRow();
    if (nRow < 0 || !IsProjectRow(nRow))
        return;
    std::string strPath = AskSavePath(Msg::kSaveAsTitle);
    if (WriteItem(nRow, strPath))
        m_wndList->item(nRow, 0)->setText(QString::fromStdString(strPath));
    else
        AskOwned(Msg::kNotSaved, Msg::kNotSavedCaption, EIcon::Warning);
}

void CTonegroveDlg::OnSaveAll()
{
    std::string strFailed;
    for (int i = 0; i < RowCount(); ++i)
    {
        if (!IsProjectRow(i))
            continue;
        std::string strPath = RowText(i, 0);
        if (!WriteItem(i, strPath))
            strFailed += strPath + "\r\n";
    }
    if (!strFailed.empty())
        AskOwned(std::string(Msg::kSaveAllText) + strFailed, Msg::kSaveAllCaption, EIcon::Warning);
}

void CTonegroveDlg::OnClose()
{
    int nRow = SelectedRow();
    if (nRow < 0)
        return;
    // The row that plays stops with it; the rows after it move up, and the row that plays
    // with them.
    if (nRow == g_nCurrentItem)
    {
        StopSounding();
        g_nCurrentItem = -1;
    }
    else if (nRow < g_nCurrentItem)
        g_nCurrentItem = g_nCurrentItem - 1;
    const auto nIndex = static_cast<std::ptrdiff_t>(nRow);
    m_arrData.erase(m_arrData.begin() + nIndex);
    m_arrType.erase(m_arrType.begin() + nIndex);
    m_arrButtons.erase(m_arrButtons.begin() + nIndex);
    if (nRow < static_cast<int>(g_arrPaths.size()))
        g_arrPaths.erase(g_arrPaths.begin() + nIndex);
    m_wndList->removeRow(nRow);
    if (RowCount() == 0)
    {
        m_wndList->setEnabled(false);
        SetTransportButtons({});
    }
    else
        MarkRow(0);
}

void CTonegroveDlg::OnItemChanged()
{
    int nRow = SelectedRow();
    if (nRow < 0 || nRow >= static_cast<int>(m_arrButtons.size()))
        return;
    SetTransportButtons(m_arrButtons[static_cast<size_t>(nRow)]);
}

void CTonegroveDlg::OnClick()
{
    int nRow = SelectedRow();
    if (nRow < 0)
        return;
    bool bProject = TypeOfPath(RowText(nRow, 0)) == "TGP";
    EnableTool(Cmd::TbPlay, bProject);
    // Every row can be closed; only a project can be saved or marked.
    EnableMenu({Cmd::Save, Cmd::SaveAs, Cmd::SelectionMark, Cmd::SelectAll, Cmd::SaveAll}, bProject);
    EnableMenu({Cmd::Close}, true);
    m_pSlider->setEnabled(true);
}

void CTonegroveDlg::OnHelp()
{
    const std::string strPath = ModuleFolder() + "/" + Txt::kHelpFile;
    if (!FileExists(strPath) || !Prompter().OpenDocument(strPath))
        AskOwned(std::string(Msg::kHelpMissing) + "\n" + strPath, Txt::kCaption, EIcon::Warning);
}

bool CTonegroveDlg::HasUnsavedProjects() const
{
    for (int i = 0; i < RowCount(); ++i)
    {
        if (!IsProjectRow(i))
            continue;
        const std::vector<uint8_t>& data = m_arrData[static_cast<size_t>(i)];
        const std::string strPath = RowText(i, 0);
        if (FileExists(strPath) ? ReadWholeFile(strPath) != data : data.size() > kHeaderSize)
            return true;
    }
    return false;
}

bool CTonegroveDlg::MayEnd()
{
    if (!HasUnsavedProjects())
        return true;
    switch (AskOwned(Msg::kUnsavedQuestion, Msg::kUnsavedCaption, EIcon::Question, EButtons::YesNoCancel))
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

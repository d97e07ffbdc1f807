// Ending from outside (SIGINT, SIGTERM) and the recovery copies it leaves: nothing is written
// over the user's files without asking, and what was not saved is offered back at the next start.
#include "mainwnd/TonegroveDlg.h"

#include "app/FileHelpers.h"
#include "app/Settings.h"
#include "app/TextHelpers.h"
#include "lang/Translate.h"
#include "mainwnd/MainTexts.h"
#include "platform/Prompter.h"
#include "platform/RegistryStore.h"
#include "project/ProjectFormat.h"

#include <QApplication>
#include <QTableWidget>

#include <sstream>

namespace
{
// The settings value that lists the copies, one path a line.
constexpr const char* kRecoveryValue = "RecoveryCopies";
constexpr char kCopySuffix = '~';

std::vector<std::string> ReadCopyList(IRegistryStore& registry)
{
    std::vector<std::string> arrPaths;
    const auto value = registry.Read(ERoot::CurrentUser, kSettingsKey, kRecoveryValue);
    if (!value || value->eType != EValueType::String)
        return arrPaths;
    std::istringstream in(value->strData);
    for (std::string strLine; std::getline(in, strLine);)
    {
        if (!strLine.empty())
            arrPaths.push_back(strLine);
    }
    return arrPaths;
}
} // namespace

void CTonegroveDlg::WriteRecoveryCopies()
{
    std::string strList;
    for (int i = 0; i < m_playlist.Count(); ++i)
    {
        if (!m_playlist.IsProject(i))
            continue;
        const std::vector<uint8_t>& data = m_playlist.Row(i).data;
        const std::string& strPath = m_playlist.Row(i).strPath;
        const bool bUnsaved =
            FileExists(strPath) ? ReadWholeFile(strPath) != data : data.size() > kHeaderSize;
        if (bUnsaved && WriteWholeFile(strPath + kCopySuffix, data))
            strList += strPath + kCopySuffix + '\n';
    }
    if (strList.empty())
        m_services.registry.Remove(ERoot::CurrentUser, kSettingsKey, kRecoveryValue);
    else
        m_services.registry.Write(ERoot::CurrentUser, kSettingsKey, kRecoveryValue,
                                  SRegValue{EValueType::String, strList});
}

void CTonegroveDlg::OfferRecoveryCopies()
{
    std::vector<std::string> arrCopies;
    for (const std::string& strCopy : ReadCopyList(m_services.registry))
    {
        if (FileExists(strCopy))
            arrCopies.push_back(strCopy);
    }
    // Asked once: whatever the answer, the list is done with. Copies not taken stay on disk.
    m_services.registry.Remove(ERoot::CurrentUser, kSettingsKey, kRecoveryValue);
    if (arrCopies.empty())
        return;
    std::string strText = TrStd(Txt::kRecoveryQuestion);
    for (const std::string& strCopy : arrCopies)
        strText += "\n" + strCopy;
    strText += "\n\n";
    strText += TrStd(Txt::kRecoveryOpen);
    if (m_prompter.Ask(SMessage{strText, Txt::kCaption, EIcon::Question, EButtons::YesNo, true}) !=
        EAnswer::Yes)
        return;
    for (const std::string& strCopy : arrCopies)
    {
        // The row is the project's own file with the unsaved bytes in it, so that Save writes
        // them where they belong and ending the program asks about them again.
        const std::string strPath = strCopy.substr(0, strCopy.size() - 1);
        const std::vector<uint8_t> data = ReadWholeFile(strCopy);
        int nRow = m_playlist.Find(strPath);
        if (nRow < 0)
        {
            OpenPaths({strPath});
            nRow = m_playlist.Find(strPath);
        }
        if (!m_playlist.IsProject(nRow))
            continue;
        m_playlist.SetData(nRow, data);
        MeasureProject(nRow);
        RemoveFile(strCopy);
    }
}

void CTonegroveDlg::OnTerminationRequest()
{
    if (m_bEnding)
        return;
    m_bEnding = true;
    WriteRecoveryCopies();
    // Windows in front (the live play window, Options, a question) end as Esc ends them; the
    // live play window switches its notes off as it goes.
    for (int i = 0; i < 16; ++i)
    {
        QWidget* pFront = QApplication::activeModalWidget();
        if (!pFront || pFront == this)
            break;
        if (auto* pDialog = qobject_cast<QDialog*>(pFront))
            pDialog->reject();
        else
            pFront->close();
    }
    done(QDialog::Rejected); // stops every player; nothing is asked while ending
}

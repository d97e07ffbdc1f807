#include "tests/TestSupport.h"

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>

CTempFolder::CTempFolder()
{
    std::string strTemplate = (std::filesystem::temp_directory_path() / "tonegrove-test-XXXXXX").string();
    m_strPath = mkdtemp(strTemplate.data());
}

CTempFolder::~CTempFolder()
{
    std::error_code ec;
    // Folders made read-only by a test must become writable again to be removed.
    for (auto& entry : std::filesystem::recursive_directory_iterator(m_strPath, ec))
        std::filesystem::permissions(entry.path(), std::filesystem::perms::owner_all,
                                     std::filesystem::perm_options::add, ec);
    std::filesystem::permissions(m_strPath, std::filesystem::perms::owner_all,
                                 std::filesystem::perm_options::add, ec);
    std::filesystem::remove_all(m_strPath, ec);
}

EAnswer CScriptedPrompter::Ask(const SMessage& message)
{
    std::unique_lock lock(m_mutex);
    m_messages.push_back(message);
    if (std::this_thread::get_id() != m_windowThread)
    {
        if (m_bEndWorkers)
            return EAnswer::Ok;
        if (m_bHold)
        {
            ++m_nHeld;
            m_cvHold.wait(lock, [this] { return !m_bHold || m_bEndWorkers; });
            --m_nHeld;
        }
    }
    if (m_answers.empty())
        return message.eButtons == EButtons::Ok || message.eButtons == EButtons::OkCancel ? EAnswer::Ok
                                                                                          : EAnswer::Yes;
    EAnswer e = m_answers.front();
    m_answers.pop_front();
    return e;
}

void CScriptedPrompter::HoldWorkers(bool bHold)
{
    std::lock_guard lock(m_mutex);
    m_bHold = bHold;
    m_cvHold.notify_all();
}

int CScriptedPrompter::WorkersHeld() const
{
    std::lock_guard lock(m_mutex);
    return m_nHeld;
}

void CScriptedPrompter::EndWorkerMessages(bool bEnd)
{
    std::lock_guard lock(m_mutex);
    m_bEndWorkers = bEnd;
    m_cvHold.notify_all();
}

std::string CScriptedPrompter::NextPath()
{
    if (m_paths.empty())
        return {};
    std::string str = m_paths.front();
    m_paths.pop_front();
    return str;
}

std::string CScriptedPrompter::AskOpenPath(const std::string& strInitialFolder)
{
    m_dialogs.push_back("open:" + strInitialFolder);
    return NextPath();
}

std::string CScriptedPrompter::AskSavePathAsChosen(const std::string& strTitle,
                                                   const std::string& strInitialFolder)
{
    m_dialogs.push_back("save:" + strTitle);
    m_saveFolders.push_back(strInitialFolder);
    return NextPath();
}

std::string CScriptedPrompter::AskFolder()
{
    m_dialogs.push_back("folder");
    return NextPath();
}

std::string CScriptedPrompter::AskOpenFilePath(const std::string& strTitle, const std::string& strFilter,
                                               const std::string& strInitialPath)
{
    m_dialogs.push_back("file:" + strTitle + "|" + strInitialPath);
    return NextPath();
}

std::string CScriptedPrompter::AskSaveFilePath(const std::string& strTitle, const std::string& strFilter,
                                               const std::string& strInitialPath)
{
    m_dialogs.push_back("savefile:" + strTitle + "|" + strInitialPath);
    return NextPath();
}

bool CScriptedPrompter::OpenDocument(const std::string& strPath)
{
    m_documents.push_back(strPath);
    return m_bDocumentsOpen;
}

std::vector<SMessage> CScriptedPrompter::Messages() const
{
    std::lock_guard lock(m_mutex);
    return m_messages;
}

std::vector<std::string> CScriptedPrompter::Lines() const
{
    std::vector<std::string> lines;
    for (const SMessage& m : Messages())
        lines.push_back(m.strCaption + "|" + m.strText);
    return lines;
}

CTempRegistry::CTempRegistry()
    : m_pStore(std::make_unique<CFileRegistryStore>(m_folder.File("user"), m_folder.File("machine")))
{
}

std::string ReadText(const std::string& strPath)
{
    std::ifstream in(strPath, std::ios::binary);
    std::ostringstream ss;
    ss << in.rdbuf();
    return ss.str();
}

void WriteText(const std::string& strPath, const std::string& strText)
{
    std::filesystem::create_directories(std::filesystem::path(strPath).parent_path());
    std::ofstream(strPath, std::ios::binary) << strText;
}

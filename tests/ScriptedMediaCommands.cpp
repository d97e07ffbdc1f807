#include "tests/ScriptedMediaCommands.h"

void CScriptedMediaCommands::Answer(const std::string& strCommand, int nCode, const std::string& strReply)
{
    std::lock_guard lock(m_mutex);
    m_mapAnswers[strCommand].push_back({nCode, strReply});
}

int CScriptedMediaCommands::Send(const std::string& strCommand, std::string& strReply)
{
    std::lock_guard lock(m_mutex);
    m_arrSent.push_back(strCommand);
    strReply.clear();
    auto it = m_mapAnswers.find(strCommand);
    if (it == m_mapAnswers.end() || it->second.empty())
        return 0;
    const SAnswer answer = it->second.front();
    if (it->second.size() > 1)
        it->second.pop_front();
    strReply = answer.strReply;
    return answer.nCode;
}

std::vector<std::string> CScriptedMediaCommands::Sent() const
{
    std::lock_guard lock(m_mutex);
    return m_arrSent;
}

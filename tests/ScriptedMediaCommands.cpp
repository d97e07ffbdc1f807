#include "tests/ScriptedMediaCommands.h"

#include <algorithm>

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

bool CScriptedMediaCommands::WasSent(const std::string& strCommand) const
{
    const std::vector<std::string> sent = Sent();
    return std::find(sent.begin(), sent.end(), strCommand) != sent.end();
}

bool CScriptedMediaCommands::SentInOrder(const std::vector<std::string>& arrWanted) const
{
    const std::vector<std::string> sent = Sent();
    auto it = sent.begin();
    for (const std::string& str : arrWanted)
    {
        it = std::find(it, sent.end(), str);
        if (it == sent.end())
            return false;
        ++it;
    }
    return true;
}

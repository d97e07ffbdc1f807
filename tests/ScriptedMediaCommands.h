// A media-command layer for tests: keeps every command text it is sent and answers from a
// script; a command without a script succeeds with an empty reply.
#pragma once

#include "platform/MediaCommands.h"

#include <deque>
#include <map>
#include <mutex>
#include <string>
#include <vector>

class CScriptedMediaCommands : public IMediaCommands
{
  public:
    // Queues an answer for one exact command text. Answers are used in order; the last one
    // stays and answers every later sending of that text (a mode that stays "playing").
    void Answer(const std::string& strCommand, int nCode, const std::string& strReply = {});

    int Send(const std::string& strCommand, std::string& strReply) override;
    // "text of N", so that a test sees which code reached the message.
    std::string ErrorText(int nCode) override { return "text of " + std::to_string(nCode); }

    std::vector<std::string> Sent() const;
    // The text was sent at least once.
    bool WasSent(const std::string& strCommand) const;
    // These texts were sent in this order, others between them allowed.
    bool SentInOrder(const std::vector<std::string>& arrWanted) const;

  private:
    struct SAnswer
    {
        int nCode = 0;
        std::string strReply;
    };
    mutable std::mutex m_mutex;
    std::vector<std::string> m_arrSent;
    std::map<std::string, std::deque<SAnswer>> m_mapAnswers;
};

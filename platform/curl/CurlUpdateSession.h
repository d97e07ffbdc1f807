// The update session over libcurl: plain HTTP GETs, the system's proxy settings as libcurl reads
// them from the environment, no cache, libcurl's progress turned into our status lines. Every
// wait is bounded by the limits, and Cancel wakes a waiting download at once.
#pragma once

#include "platform/UpdateSession.h"

#include <atomic>
#include <mutex>

class CCurlUpdateSession : public IUpdateSession
{
  public:
    explicit CCurlUpdateSession(SDownloadLimits limits = {});
    ~CCurlUpdateSession() override;
    CCurlUpdateSession(const CCurlUpdateSession&) = delete;
    CCurlUpdateSession& operator=(const CCurlUpdateSession&) = delete;

    bool Connect() override;
    bool Download(const std::string& strUrl, std::string& strBody, const FStatusLine& fStatus) override;
    void Cancel() override;

  private:
    SDownloadLimits m_limits;
    std::mutex m_mutex; // m_pMulti against a Cancel from another thread
    void* m_pMulti = nullptr;
    std::atomic<bool> m_bCancelled{false};
};

// Makes libcurl ready (on the calling thread: call it from main's thread) and gives sessions
// with these limits.
FUpdateSessionFactory CurlUpdateSessionFactory(SDownloadLimits limits = {});

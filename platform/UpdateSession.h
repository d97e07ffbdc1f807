// A session with the update server: it downloads one URL at a time into memory and says what it
// is doing as short status lines, for the About box's two lines of progress.
#pragma once

#include <functional>
#include <memory>
#include <string>

// Hears each status line of a download, on the thread that runs the download.
using FStatusLine = std::function<void(const std::string& strLine)>;

// How long a download may take and how much it may bring: the files are a few lines long, and a
// server that accepts the connection but never answers must not keep the box waiting for long.
struct SDownloadLimits
{
    int nConnectMs = 5000;
    int nTotalMs = 15000;
    size_t nMaxBody = 64 * 1024;
};

class IUpdateSession
{
  public:
    virtual ~IUpdateSession() = default;
    // Opens a new session (one that was open is closed first). False when none can be opened.
    virtual bool Connect() = 0;
    // Downloads strUrl (plain HTTP only) into strBody, opening a session first when there is
    // none. True only for a complete 2xx response within the limits, and the last status line
    // is then empty. False otherwise, the last status line saying why ("HTTP 404 Not Found", a
    // time-out, a refused connection); strBody keeps what had arrived.
    virtual bool Download(const std::string& strUrl, std::string& strBody, const FStatusLine& fStatus) = 0;
    // From any thread: the download that runs ends at once with false, and so does every later
    // one. The session stays valid until it is destroyed.
    virtual void Cancel() = 0;
};

using FUpdateSessionFactory = std::function<std::unique_ptr<IUpdateSession>()>;

#include "platform/curl/CurlUpdateSession.h"

#include "platform/UpdateStatus.h"

#include <curl/curl.h>

#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <memory>

namespace
{
// A chunk is at most this long, as the status lines count them.
constexpr size_t kChunk = 4095;
// An error text is shown up to this length.
constexpr size_t kMaxErrorText = 255;

// What one download has seen so far, shared with libcurl's callbacks.
struct STransfer
{
    const FStatusLine* pStatus = nullptr;
    std::string* pBody = nullptr;
    std::string strHost;
    size_t nMaxBody = 0;
    std::chrono::steady_clock::time_point start;
    bool bResolved = false;
    bool bSent = false;
    int nCode = 0;
    std::string strStatusLine;
    bool bHttpError = false;
    bool bTooLarge = false;

    void Show(const std::string& str) const
    {
        if (*pStatus)
            (*pStatus)(str);
    }
};

curl_socket_t OnOpenSocket(void* pClient, curlsocktype, curl_sockaddr* pAddress)
{
    auto* p = static_cast<STransfer*>(pClient);
    if (!p->bResolved)
    {
        p->bResolved = true;
        p->Show(StatusWithName(UpdateStatus::kResolved, p->strHost));
    }
    p->Show(UpdateStatus::kConnecting);
    return ::socket(pAddress->family, pAddress->socktype, pAddress->protocol);
}

int OnCloseSocket(void* pClient, curl_socket_t socket)
{
    auto* p = static_cast<STransfer*>(pClient);
    p->Show(UpdateStatus::kClosing);
    const int nResult = ::close(socket);
    p->Show(UpdateStatus::kClosed);
    return nResult;
}

int OnConnected(void* pClient, char*, char*, int, int)
{
    auto* p = static_cast<STransfer*>(pClient);
    p->Show(UpdateStatus::kConnected);
    p->Show(UpdateStatus::kSending);
    return CURL_PREREQFUNC_OK;
}

// libcurl tells what it sends only to a debug function; the request's headers going out is
// the request sent.
int OnDebug(CURL*, curl_infotype eType, char*, size_t, void* pClient)
{
    auto* p = static_cast<STransfer*>(pClient);
    if (eType == CURLINFO_HEADER_OUT && !p->bSent)
    {
        p->bSent = true;
        p->Show(UpdateStatus::kSent);
    }
    return 0;
}

size_t OnHeader(char* pData, size_t, size_t nBytes, void* pClient)
{
    auto* p = static_cast<STransfer*>(pClient);
    const std::string strLine(pData, nBytes);
    if (strLine.rfind("HTTP/", 0) == 0)
    {
        p->strStatusLine = strLine;
        const size_t nSpace = strLine.find(' ');
        p->nCode = nSpace == std::string::npos ? 0 : std::atoi(strLine.c_str() + nSpace + 1);
        return nBytes;
    }
    if (strLine != "\r\n" && strLine != "\n")
        return nBytes;
    // The end of a response's headers: an interim 1xx response is followed by the real one.
    if (p->nCode >= 100 && p->nCode < 200)
        return nBytes;
    p->Show(UpdateStatus::kReceived);
    if (p->nCode < 200 || p->nCode > 299)
    {
        // An error page is no file of ours: its body is not read at all.
        p->bHttpError = true;
        return 0;
    }
    return nBytes;
}

size_t OnBody(char* pData, size_t, size_t nBytes, void* pClient)
{
    auto* p = static_cast<STransfer*>(pClient);
    if (p->bHttpError)
        return 0;
    for (size_t nDone = 0; nDone < nBytes;)
    {
        const size_t n = std::min(kChunk, nBytes - nDone);
        if (p->pBody->size() + n > p->nMaxBody)
        {
            p->bTooLarge = true;
            return 0;
        }
        p->pBody->append(pData + nDone, n);
        nDone += n;
        const auto elapsed = std::chrono::steady_clock::now() - p->start;
        const long long nSeconds = std::llround(std::chrono::duration<double>(elapsed).count());
        p->Show(ReadStatus(p->pBody->size(), nSeconds));
    }
    return nBytes;
}

std::string HostOf(const std::string& strUrl)
{
    std::string strHost;
    CURLU* pUrl = curl_url();
    if (pUrl && curl_url_set(pUrl, CURLUPART_URL, strUrl.c_str(), 0) == CURLUE_OK)
    {
        char* pHost = nullptr;
        if (curl_url_get(pUrl, CURLUPART_HOST, &pHost, 0) == CURLUE_OK && pHost)
            strHost = pHost;
        curl_free(pHost);
    }
    curl_url_cleanup(pUrl);
    return strHost;
}
} // namespace

CCurlUpdateSession::CCurlUpdateSession(SDownloadLimits limits) : m_limits(limits) {}

CCurlUpdateSession::~CCurlUpdateSession()
{
    if (m_pMulti)
        curl_multi_cleanup(static_cast<CURLM*>(m_pMulti));
}

bool CCurlUpdateSession::Connect()
{
    std::lock_guard lock(m_mutex);
    if (m_pMulti)
        curl_multi_cleanup(static_cast<CURLM*>(m_pMulti));
    m_pMulti = curl_multi_init();
    return m_pMulti != nullptr;
}

void CCurlUpdateSession::Cancel()
{
    m_bCancelled = true;
    std::lock_guard lock(m_mutex);
    if (m_pMulti)
        curl_multi_wakeup(static_cast<CURLM*>(m_pMulti));
}

bool CCurlUpdateSession::Download(const std::string& strUrl, std::string& strBody, const FStatusLine& fStatus)
{
    STransfer t;
    t.pStatus = &fStatus;
    t.pBody = &strBody;
    t.nMaxBody = m_limits.nMaxBody;
    strBody.clear();
    if (m_bCancelled)
    {
        t.Show(UpdateStatus::kCancelled);
        return false;
    }
    if (!m_pMulti && !Connect())
    {
        t.Show(UpdateStatus::kNoSession);
        return false;
    }
    auto* pMulti = static_cast<CURLM*>(m_pMulti);
    std::unique_ptr<CURL, decltype(&curl_easy_cleanup)> pEasy(curl_easy_init(), &curl_easy_cleanup);
    if (!pEasy)
    {
        t.Show(UpdateStatus::kNoSession);
        return false;
    }
    CURL* e = pEasy.get();
    // A new request starts with an empty line.
    t.Show("");
    t.strHost = HostOf(strUrl);
    t.Show(StatusWithName(UpdateStatus::kResolving, t.strHost));

    char error[CURL_ERROR_SIZE] = {};
    // The server is asked for a fresh copy, through no cache on the way.
    curl_slist* pHeaders = curl_slist_append(nullptr, "Cache-Control: no-cache");
    pHeaders = curl_slist_append(pHeaders, "Pragma: no-cache");
    std::unique_ptr<curl_slist, decltype(&curl_slist_free_all)> headers(pHeaders, &curl_slist_free_all);
    curl_easy_setopt(e, CURLOPT_URL, strUrl.c_str());
    curl_easy_setopt(e, CURLOPT_PROTOCOLS_STR, "http");
    curl_easy_setopt(e, CURLOPT_USERAGENT, "Tonegrove");
    curl_easy_setopt(e, CURLOPT_HTTPHEADER, pHeaders);
    curl_easy_setopt(e, CURLOPT_NOSIGNAL, 1L);
    curl_easy_setopt(e, CURLOPT_CONNECTTIMEOUT_MS, static_cast<long>(m_limits.nConnectMs));
    curl_easy_setopt(e, CURLOPT_TIMEOUT_MS, static_cast<long>(m_limits.nTotalMs));
    curl_easy_setopt(e, CURLOPT_MAXFILESIZE_LARGE, static_cast<curl_off_t>(m_limits.nMaxBody));
    // Each request has its connection of its own and closes it, as the status lines say.
    curl_easy_setopt(e, CURLOPT_FORBID_REUSE, 1L);
#if LIBCURL_VERSION_NUM >= 0x075700
    // A name still being resolved when the download ends is left to its resolver thread:
    // otherwise ending it waits for the system's resolver, which knows no bound of ours.
    curl_easy_setopt(e, CURLOPT_QUICK_EXIT, 1L);
#endif
    curl_easy_setopt(e, CURLOPT_ERRORBUFFER, error);
    curl_easy_setopt(e, CURLOPT_OPENSOCKETFUNCTION, &OnOpenSocket);
    curl_easy_setopt(e, CURLOPT_OPENSOCKETDATA, &t);
    curl_easy_setopt(e, CURLOPT_CLOSESOCKETFUNCTION, &OnCloseSocket);
    curl_easy_setopt(e, CURLOPT_CLOSESOCKETDATA, &t);
    curl_easy_setopt(e, CURLOPT_PREREQFUNCTION, &OnConnected);
    curl_easy_setopt(e, CURLOPT_PREREQDATA, &t);
    curl_easy_setopt(e, CURLOPT_VERBOSE, 1L);
    curl_easy_setopt(e, CURLOPT_DEBUGFUNCTION, &OnDebug);
    curl_easy_setopt(e, CURLOPT_DEBUGDATA, &t);
    curl_easy_setopt(e, CURLOPT_HEADERFUNCTION, &OnHeader);
    curl_easy_setopt(e, CURLOPT_HEADERDATA, &t);
    curl_easy_setopt(e, CURLOPT_WRITEFUNCTION, &OnBody);
    curl_easy_setopt(e, CURLOPT_WRITEDATA, &t);
    t.start = std::chrono::steady_clock::now();

    CURLcode eResult = CURLE_OK;
    bool bFinished = false;
    if (curl_multi_add_handle(pMulti, e) != CURLM_OK)
    {
        t.Show(UpdateStatus::kNoSession);
        return false;
    }
    while (!m_bCancelled)
    {
        int nRunning = 0;
        if (curl_multi_perform(pMulti, &nRunning) != CURLM_OK)
            break;
        int nQueued = 0;
        while (CURLMsg* pMsg = curl_multi_info_read(pMulti, &nQueued))
        {
            if (pMsg->msg == CURLMSG_DONE && pMsg->easy_handle == e)
            {
                eResult = pMsg->data.result;
                bFinished = true;
            }
        }
        if (bFinished || nRunning == 0)
            break;
        // Returns when there is something to do, at libcurl's own time-outs, or at a Cancel.
        curl_multi_poll(pMulti, nullptr, 0, 1000, nullptr);
    }
    curl_multi_remove_handle(pMulti, e);

    if (m_bCancelled)
    {
        t.Show(UpdateStatus::kCancelled);
        return false;
    }
    if (t.bHttpError)
    {
        t.Show(HttpStatusText(t.nCode, t.strStatusLine));
        return false;
    }
    if (t.bTooLarge || eResult == CURLE_FILESIZE_EXCEEDED)
    {
        t.Show(TooLargeStatus(m_limits.nMaxBody));
        return false;
    }
    if (!bFinished || eResult != CURLE_OK)
    {
        std::string strError = error[0] ? error : curl_easy_strerror(bFinished ? eResult : CURLE_FAILED_INIT);
        if (strError.size() > kMaxErrorText)
            strError.resize(kMaxErrorText);
        t.Show(strError);
        return false;
    }
    t.Show("");
    return true;
}

FUpdateSessionFactory CurlUpdateSessionFactory(SDownloadLimits limits)
{
    curl_global_init(CURL_GLOBAL_DEFAULT);
    return [limits] { return std::make_unique<CCurlUpdateSession>(limits); };
}

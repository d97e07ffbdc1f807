// A small HTTP server on 127.0.0.1 for the update check's tests: it answers each path with a
// scripted response (or accepts and never answers), notes every request, and ends with the test.
#pragma once

#include <map>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

struct SScriptedResponse
{
    std::string strRaw;        // the bytes sent back, status line and headers included
    bool bNeverAnswer = false; // read the request and keep the connection open, silent
};

// A complete response with Content-Length and Connection: close.
SScriptedResponse HttpResponse(int nCode, const std::string& strReason, const std::string& strBody);

class CLoopbackHttpServer
{
  public:
    CLoopbackHttpServer();
    ~CLoopbackHttpServer();
    CLoopbackHttpServer(const CLoopbackHttpServer&) = delete;
    CLoopbackHttpServer& operator=(const CLoopbackHttpServer&) = delete;

    // A path not scripted gets a 404.
    void Script(const std::string& strPath, SScriptedResponse response);
    // "http://127.0.0.1:PORT"
    std::string Url() const;
    // Each request's head as received (request line and headers).
    std::vector<std::string> Requests() const;

    // A port on 127.0.0.1 where nothing listens (bound and closed at once).
    static int ClosedPort();

  private:
    void Run();
    void Serve(int nSocket);

    int m_nListen = -1;
    int m_nPort = 0;
    int m_stopPipe[2] = {-1, -1};
    mutable std::mutex m_mutex;
    std::map<std::string, SScriptedResponse> m_script;
    std::vector<std::string> m_arrRequests;
    std::thread m_thread;
};

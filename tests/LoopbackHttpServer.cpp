#include "tests/LoopbackHttpServer.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <stdexcept>

SScriptedResponse HttpResponse(int nCode, const std::string& strReason, const std::string& strBody)
{
    SScriptedResponse r;
    r.strRaw = "HTTP/1.1 " + std::to_string(nCode) + " " + strReason + "\r\nContent-Type: text/plain\r\n" +
               "Content-Length: " + std::to_string(strBody.size()) + "\r\nConnection: close\r\n\r\n" +
               strBody;
    return r;
}

namespace
{
int BoundSocket(int& nPort)
{
    int n = ::socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in addr{};
    addr.sin_family = AF_INET;
    addr.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    addr.sin_port = 0;
    if (n < 0 || ::bind(n, reinterpret_cast<sockaddr*>(&addr), sizeof addr) != 0)
        throw std::runtime_error("cannot bind a loopback socket");
    socklen_t nLen = sizeof addr;
    ::getsockname(n, reinterpret_cast<sockaddr*>(&addr), &nLen);
    nPort = ntohs(addr.sin_port);
    return n;
}
} // namespace

CLoopbackHttpServer::CLoopbackHttpServer()
{
    m_nListen = BoundSocket(m_nPort);
    ::listen(m_nListen, 8);
    if (::pipe(m_stopPipe) != 0)
        throw std::runtime_error("pipe");
    m_thread = std::thread([this] { Run(); });
}

CLoopbackHttpServer::~CLoopbackHttpServer()
{
    (void)!::write(m_stopPipe[1], "x", 1);
    m_thread.join();
    ::close(m_nListen);
    ::close(m_stopPipe[0]);
    ::close(m_stopPipe[1]);
}

void CLoopbackHttpServer::Script(const std::string& strPath, SScriptedResponse response)
{
    std::lock_guard lock(m_mutex);
    m_script[strPath] = std::move(response);
}

std::string CLoopbackHttpServer::Url() const
{
    return "http://127.0.0.1:" + std::to_string(m_nPort);
}

std::vector<std::string> CLoopbackHttpServer::Requests() const
{
    std::lock_guard lock(m_mutex);
    return m_arrRequests;
}

int CLoopbackHttpServer::ClosedPort()
{
    int nPort = 0;
    ::close(BoundSocket(nPort));
    return nPort;
}

void CLoopbackHttpServer::Run()
{
    for (;;)
    {
        pollfd fds[2] = {{m_nListen, POLLIN, 0}, {m_stopPipe[0], POLLIN, 0}};
        if (::poll(fds, 2, -1) < 0)
            continue;
        if (fds[1].revents)
            return;
        if (fds[0].revents & POLLIN)
        {
            int nSocket = ::accept(m_nListen, nullptr, nullptr);
            if (nSocket >= 0)
            {
                Serve(nSocket);
                ::close(nSocket);
            }
        }
    }
}

void CLoopbackHttpServer::Serve(int nSocket)
{
    std::string strHead;
    char buf[4096];
    bool bStop = false;
    // Reads until the request's head is complete, the client goes away or the test ends.
    auto readSome = [&]
    {
        pollfd fds[2] = {{nSocket, POLLIN, 0}, {m_stopPipe[0], POLLIN, 0}};
        if (::poll(fds, 2, -1) < 0 || fds[1].revents)
        {
            bStop = true;
            return false;
        }
        const ssize_t n = ::recv(nSocket, buf, sizeof buf, 0);
        if (n <= 0)
            return false;
        strHead.append(buf, static_cast<size_t>(n));
        return true;
    };
    while (strHead.find("\r\n\r\n") == std::string::npos)
    {
        if (!readSome())
            return;
    }
    strHead.resize(strHead.find("\r\n\r\n") + 2);
    SScriptedResponse response = HttpResponse(404, "Not Found", "no such file");
    {
        std::lock_guard lock(m_mutex);
        m_arrRequests.push_back(strHead);
        const size_t nSpace = strHead.find(' ');
        const std::string strPath = strHead.substr(nSpace + 1, strHead.find(' ', nSpace + 1) - nSpace - 1);
        if (auto it = m_script.find(strPath); it != m_script.end())
            response = it->second;
    }
    if (response.bNeverAnswer)
    {
        // Silent until the client gives up or the test ends.
        while (!bStop && readSome())
        {
        }
        return;
    }
    size_t nSent = 0;
    while (nSent < response.strRaw.size())
    {
        const ssize_t n =
            ::send(nSocket, response.strRaw.data() + nSent, response.strRaw.size() - nSent, MSG_NOSIGNAL);
        if (n <= 0)
            return;
        nSent += static_cast<size_t>(n);
    }
    ::shutdown(nSocket, SHUT_WR);
}

// The update check against a loopback HTTP server started by each test: the line scan, what the
// About box's lines end up showing, HTTP errors, refused and silent servers, oversized bodies,
// the status lines of one download and what goes out on the wire.
#include "about/AboutTexts.h"
#include "about/UpdateCheck.h"
#include "platform/UpdateStatus.h"
#include "platform/curl/CurlUpdateSession.h"
#include "tests/LoopbackHttpServer.h"

#include <gtest/gtest.h>

#include <chrono>
#include <mutex>
#include <thread>

namespace
{
// What the About box would show: the last text of each line and the button.
class CRecordingView : public IUpdateView
{
  public:
    void SetOfferedLine(const std::string& str) override
    {
        std::lock_guard lock(m_mutex);
        strOffered = str;
        arrOffered.push_back(str);
    }
    void SetNoteLine(const std::string& str) override
    {
        std::lock_guard lock(m_mutex);
        strNote = str;
    }
    void ShowUpdateButton() override { bButton = true; }

    std::string strOffered = "(untouched)";
    std::string strNote = "(untouched)";
    std::vector<std::string> arrOffered;
    bool bButton = false;

  private:
    std::mutex m_mutex;
};

const std::string kNew = std::string(AboutTxt::kNewVersion) + " Tonegrove ";
const std::string kUpdated = std::string(AboutTxt::kUpdated) + " ";

struct SRun
{
    CRecordingView view;
};

void RunCheck(const std::string& strServer, const std::string& strVersion, CRecordingView& view,
              SDownloadLimits limits = {}, const std::string& strCodePage = "CP1251")
{
    CCurlUpdateSession session(limits);
    CheckForUpdate(session, strServer, strVersion, strCodePage, view);
}
} // namespace

TEST(UpdateScan, LinesForUsAndTheirValues)
{
    struct SCase
    {
        std::u16string strText;
        std::optional<std::u16string> value;
    };
    const SCase cases[] = {
        {u"Tonegrove 1.0.0.4\r\n", u"1.0.0.4"},
        {u"Tonegrove 1.0.0.4\n", u"1.0.0.4"},      // line feeds only: the value is whole
        {u"Tonegrove 1.0.0.4", u"1.0.0.4"},        // no line end at all
        {u" Tonegrove 1.0.0.4\r\n", u" 1.0.0.4"},  // counted from the line's start
        {u"tonegrove 1.0.0.4\r\n", std::nullopt},  // letter case counts
        {u"Tonegrove: 1.0.0.4\r\n", std::nullopt}, // the first word is "Tonegrove:"
        {u"Tonegrove\r\n", std::nullopt},          // the word is "Tonegrove\r"
        {u"Tonegrove\n", u""},                     // too short for a value
        {u"Tonegrove \r\n", u""},
        {u"Other 2.0\r\nTonegrove 1.0.0.1\r\n\n\nTonegrove 1.0.0.4\r\nOther 3.0\r\n",
         u"1.0.0.4"}, // last wins
        {u"Tonegrove two words here\r\n", u"two words here"},
        {u"\n\n\r\n   \n", std::nullopt},
        {u"", std::nullopt},
    };
    for (const SCase& c : cases)
        EXPECT_EQ(c.value, ScanUpdateText(c.strText)) << std::string(c.strText.begin(), c.strText.end());
}

TEST(UpdateServer, EnvironmentThenHostSettingThenOurHost)
{
    EXPECT_EQ("http://127.0.0.1:8080", UpdateServerUrl("http://127.0.0.1:8080/", "other.example"));
    EXPECT_EQ("http://mirror.example", UpdateServerUrl(std::string(), "mirror.example"));
    EXPECT_EQ("http://mirror.example:81", UpdateServerUrl(std::nullopt, "mirror.example:81"));
    EXPECT_EQ(std::string("http://") + kDefaultUpdateHost, UpdateServerUrl(std::nullopt, std::string()));
    EXPECT_EQ(std::string("http://") + kDefaultUpdateHost, UpdateServerUrl(std::nullopt, std::nullopt));
}

TEST(UpdateCheck, WhatTheBoxShowsForTheServersFiles)
{
    struct SCase
    {
        const char* pName;
        std::string strVersions;
        std::string strNote;
        std::string strRunning;
        std::string strOffered;
        bool bButton;
        std::string strNoteLine;
    };
    const SCase cases[] = {
        {"newer", "Tonegrove 1.0.0.4\r\n", "Tonegrove 12.03.2016\r\n", "1.0.0.3", kNew + "1.0.0.4", true,
         kUpdated + "12.03.2016"},
        {"same", "Tonegrove 1.0.0.3\r\n", "", "1.0.0.3", kNew + "1.0.0.3", false, ""},
        {"older also offered", "Tonegrove 1.0.0.2\r\n", "", "1.0.0.3", kNew + "1.0.0.2", true, ""},
        {"line feeds only", "Other\nTonegrove 1.0.0.3\n", "Tonegrove 12.03.2016\n", "1.0.0.3",
         kNew + "1.0.0.3", false, kUpdated + "12.03.2016"},
        {"indented line", " Tonegrove 1.0.0.3\r\n", "", "1.0.0.3", kNew + " 1.0.0.3", true, ""},
        {"no line for us", "tonegrove 1.0.0.4\r\nTonegrove: 1.0.0.4\r\n", "Readme\r\n", "1.0.0.3", "", false,
         ""},
        {"cut at a zero byte", std::string("Tonegrove 1.0.0.3\r\n\0Tonegrove 9.9.9.9\r\n", 40), "", "1.0.0.3",
         kNew + "1.0.0.3", false, ""},
        {"no version of our own", "Tonegrove 1.0.0.3\r\n", "", "", kNew + "1.0.0.3", true, ""},
        {"the code page's letters", "", "Tonegrove \xcd\xee\xe2\xee\xe5 \xe2 1.0\r\n", "1.0.0.3", "", false,
         kUpdated + "Новое в 1.0"},
    };
    for (const SCase& c : cases)
    {
        CLoopbackHttpServer server;
        server.Script(kVersionsPath, HttpResponse(200, "OK", c.strVersions));
        server.Script(kNotePath, HttpResponse(200, "OK", c.strNote));
        CRecordingView view;
        RunCheck(server.Url(), c.strRunning, view);
        EXPECT_EQ(c.strOffered, view.strOffered) << c.pName;
        EXPECT_EQ(c.bButton, view.bButton) << c.pName;
        EXPECT_EQ(c.strNoteLine, view.strNote) << c.pName;
    }
}

TEST(UpdateCheck, AnHttpErrorFailsWithItsStatusAndItsPageIsNotRead)
{
    const std::pair<SScriptedResponse, std::string> cases[] = {
        {HttpResponse(404, "Not Found", "Tonegrove 9.9.9.9\r\n"), "HTTP 404 Not Found"},
        {HttpResponse(500, "Internal Server Error", "Tonegrove 9.9.9.9\r\n"),
         "HTTP 500 Internal Server Error"},
        {HttpResponse(503, "", "Tonegrove 9.9.9.9\r\n"), "HTTP 503"},
    };
    for (const auto& [response, strStatus] : cases)
    {
        CLoopbackHttpServer server;
        server.Script(kVersionsPath, response);
        server.Script(kNotePath, response);
        CRecordingView view;
        RunCheck(server.Url(), "1.0.0.3", view);
        EXPECT_EQ(strStatus, view.strOffered);
        EXPECT_EQ(strStatus, view.strNote);
        EXPECT_FALSE(view.bButton);
    }
}

TEST(UpdateCheck, ARefusedConnectionFailsBothLinesWithItsText)
{
    CRecordingView view;
    RunCheck("http://127.0.0.1:" + std::to_string(CLoopbackHttpServer::ClosedPort()), "1.0.0.3", view);
    // libcurl's text names the time the attempt took, which may differ by a millisecond between
    // the two downloads: both lines say the connection was refused.
    for (const std::string& strLine : {view.strOffered, view.strNote})
        EXPECT_NE(std::string::npos, strLine.find("Couldn't connect to server")) << strLine;
    EXPECT_FALSE(view.bButton);
}

TEST(UpdateCheck, AServerThatNeverAnswersFailsWithinTheBound)
{
    CLoopbackHttpServer server;
    server.Script(kVersionsPath, SScriptedResponse{"", true});
    server.Script(kNotePath, HttpResponse(200, "OK", "Tonegrove 12.03.2016\r\n"));
    CRecordingView view;
    RunCheck(server.Url(), "1.0.0.3", view, SDownloadLimits{500, 1000, 65536});
    EXPECT_NE(std::string::npos, view.strOffered.find("timed out")) << view.strOffered;
    EXPECT_FALSE(view.bButton);
    // The silent first file does not cost the second.
    EXPECT_EQ(kUpdated + "12.03.2016", view.strNote);
}

TEST(UpdateCheck, CancelEndsAWaitingDownloadAtOnceAndEveryLaterOne)
{
    CLoopbackHttpServer server;
    server.Script(kVersionsPath, SScriptedResponse{"", true});
    CCurlUpdateSession session; // the program's own limits: 15 s
    std::thread canceller(
        [&]
        {
            while (server.Requests().empty())
                std::this_thread::sleep_for(std::chrono::milliseconds(5));
            session.Cancel();
        });
    const auto start = std::chrono::steady_clock::now();
    std::string strBody;
    std::vector<std::string> arrLines;
    const bool bDone = session.Download(server.Url() + kVersionsPath, strBody,
                                        [&](const std::string& s) { arrLines.push_back(s); });
    canceller.join();
    EXPECT_FALSE(bDone);
    EXPECT_EQ(UpdateStatus::kCancelled, arrLines.back());
    // Far below the 15 s the download could otherwise wait.
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(10));
    arrLines.clear();
    EXPECT_FALSE(session.Download(server.Url() + kNotePath, strBody,
                                  [&](const std::string& s) { arrLines.push_back(s); }));
    EXPECT_EQ(std::vector<std::string>{UpdateStatus::kCancelled}, arrLines);
    EXPECT_EQ(1u, server.Requests().size());
}

TEST(UpdateCheck, ABodyPastTheLimitFails)
{
    const std::string strBig = "Tonegrove 9.9.9.9\r\n" + std::string(1 << 20, 'x');
    SScriptedResponse unsized; // no length given: the limit is found while reading
    unsized.strRaw = "HTTP/1.1 200 OK\r\nConnection: close\r\n\r\n" + strBig;
    for (const SScriptedResponse& response : {HttpResponse(200, "OK", strBig), unsized})
    {
        CLoopbackHttpServer server;
        server.Script(kVersionsPath, response);
        server.Script(kNotePath, HttpResponse(200, "OK", "Tonegrove 12.03.2016\r\n"));
        CRecordingView view;
        RunCheck(server.Url(), "1.0.0.3", view);
        EXPECT_EQ(TooLargeStatus(65536), view.strOffered);
        EXPECT_FALSE(view.bButton);
        EXPECT_EQ(kUpdated + "12.03.2016", view.strNote);
    }
}

TEST(UpdateDownload, StatusLinesOfOneDownload)
{
    CLoopbackHttpServer server;
    server.Script(kVersionsPath, HttpResponse(200, "OK", "Tonegrove 1.0.0.4\r\n"));
    CCurlUpdateSession session;
    std::string strBody;
    std::vector<std::string> arrLines;
    ASSERT_TRUE(session.Download(server.Url() + kVersionsPath, strBody,
                                 [&](const std::string& s) { arrLines.push_back(s); }));
    EXPECT_EQ("Tonegrove 1.0.0.4\r\n", strBody);
    const std::vector<std::string> expected = {"",
                                               "Resolving name for 127.0.0.1",
                                               "Resolved name for 127.0.0.1",
                                               "Connecting to socket address ",
                                               "Connected to socket address",
                                               "Sending request...",
                                               "Request sent",
                                               "Response received",
                                               "Read 19 bytes",
                                               "Closing the connection to the server",
                                               "Connection to the server closed",
                                               ""};
    EXPECT_EQ(expected, arrLines);
}

TEST(UpdateDownload, ReadLinesCountChunksOfAtMost4095Bytes)
{
    CLoopbackHttpServer server;
    server.Script(kVersionsPath, HttpResponse(200, "OK", std::string(20000, 'a')));
    CCurlUpdateSession session;
    std::string strBody;
    std::vector<size_t> arrTotals;
    ASSERT_TRUE(session.Download(server.Url() + kVersionsPath, strBody,
                                 [&](const std::string& s)
                                 {
                                     if (s.rfind("Read ", 0) == 0)
                                         arrTotals.push_back(std::stoul(s.substr(5)));
                                 }));
    ASSERT_FALSE(arrTotals.empty());
    size_t nBefore = 0;
    for (size_t n : arrTotals)
    {
        EXPECT_GT(n, nBefore);
        EXPECT_LE(n - nBefore, 4095u);
        nBefore = n;
    }
    EXPECT_EQ(20000u, arrTotals.back());
    EXPECT_EQ(20000u, strBody.size());
}

TEST(UpdateDownload, ReadLineFormats)
{
    EXPECT_EQ("Read 19 bytes", ReadStatus(19, 0));
    EXPECT_EQ("Read 4096 bytes (2.0 Kb/s)", ReadStatus(4096, 2));
}

TEST(UpdateCheck, OnlyTheTwoGetsGoOutAsTonegroveWithNoCache)
{
    CLoopbackHttpServer server;
    server.Script(kVersionsPath, HttpResponse(200, "OK", "Tonegrove 1.0.0.3\r\n"));
    server.Script(kNotePath, HttpResponse(200, "OK", "Tonegrove 12.03.2016\r\n"));
    CRecordingView view;
    RunCheck(server.Url(), "1.0.0.3", view);
    const std::vector<std::string> arrRequests = server.Requests();
    ASSERT_EQ(2u, arrRequests.size());
    EXPECT_EQ(0u, arrRequests[0].find("GET /_download/versions.dat HTTP/1.1\r\n"));
    EXPECT_EQ(0u, arrRequests[1].find("GET /_download/update.dat HTTP/1.1\r\n"));
    for (const std::string& str : arrRequests)
    {
        EXPECT_NE(std::string::npos, str.find("\r\nUser-Agent: Tonegrove\r\n")) << str;
        EXPECT_NE(std::string::npos, str.find("\r\nCache-Control: no-cache\r\n")) << str;
    }
}

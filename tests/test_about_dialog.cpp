// The About box under the offscreen platform, with the update check against a loopback HTTP
// server of the test's own: its controls, what the server's files make of them, and that the box
// is shown and closed without waiting for the server.
#include "about/AboutDlg.h"
#include "about/AboutTexts.h"
#include "about/ProgramVersion.h"
#include "about/UpdateCheck.h"
#include "mainwnd/CommandIds.h"
#include "mainwnd/DialogUnits.h"
#include "mainwnd/TonegroveDlg.h"
#include "platform/curl/CurlUpdateSession.h"
#include "tests/LoopbackHttpServer.h"
#include "tests/TestServices.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QLabel>
#include <QPushButton>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <regex>

namespace
{
class AboutDialogTest : public ::testing::Test, protected CTestServices
{
  protected:
    void SetUp() override { unsetenv(kUpdateUrlEnv); }
    void TearDown() override { unsetenv(kUpdateUrlEnv); }

    // The box checking the test's server, named by the host setting as a user would name it.
    std::unique_ptr<CAboutDlg> MakeBox(const std::string& strVersion, SDownloadLimits limits = {})
    {
        settings.WriteText(kUpdateHostSetting, server.Url().substr(std::string("http://").size()));
        auto pDlg =
            std::make_unique<CAboutDlg>(settings, CurlUpdateSessionFactory(limits), QIcon(), strVersion);
        pDlg->SetUrlOpener([this](const QString& str) { arrOpened.push_back(str.toStdString()); });
        return pDlg;
    }
    static QString Text(const CAboutDlg& dlg, int nId)
    {
        const QString strName = QStringLiteral("id%1").arg(nId);
        if (auto* p = dlg.findChild<QLabel*>(strName))
            return p->text();
        if (auto* p = dlg.findChild<QPushButton*>(strName))
            return p->text();
        return "(none)";
    }
    static bool WaitForCheck(CAboutDlg& dlg)
    {
        return QTest::qWaitFor([&] { return !dlg.IsChecking(); }, 30000);
    }

    CLoopbackHttpServer server;
    std::vector<std::string> arrOpened;
};

QString U(const std::string& str)
{
    return QString::fromStdString(str);
}
} // namespace

TEST_F(AboutDialogTest, ControlsTextsAndRectanglesInDialogUnits)
{
    CAboutDlg dlg(settings, {}, QIcon(), "1.0.0.3");
    EXPECT_EQ(U(AboutTxt::kCaption), dlg.windowTitle());
    EXPECT_EQ(DialogUnitsToPixels(DialogFont(), QRect(0, 0, 269, 98)).size(), dlg.size());
    struct SCase
    {
        int nId;
        QRect rect;
        QString strText;
    };
    const SCase cases[] = {
        {AboutId::Version, {51, 22, 145, 8}, "Tonegrove Version 1.0.0.3"},
        {AboutId::Offered, {51, 33, 150, 9}, "Новая версия: Tonegrove Version 1.0"},
        {AboutId::Update, {193, 34, 59, 9}, "Обновить"},
        {AboutId::Note, {51, 41, 135, 9}, "Обновлено:"},
        {AboutId::Ok, {212, 77, 50, 14}, "ОК"},
    };
    for (const SCase& c : cases)
    {
        auto* p = dlg.findChild<QWidget*>(QStringLiteral("id%1").arg(c.nId));
        ASSERT_NE(nullptr, p) << c.nId;
        EXPECT_EQ(DialogUnitsToPixels(DialogFont(), c.rect), p->geometry()) << c.nId;
        EXPECT_EQ(c.strText, Text(dlg, c.nId)) << c.nId;
    }
    EXPECT_TRUE(dlg.findChild<QWidget*>("id1105")->isHidden());
    EXPECT_EQ("1.0.0.3", dlg.Version());
    EXPECT_FALSE(dlg.IsChecking()) << "no session, no check";
}

TEST_F(AboutDialogTest, TheProgramsVersionIsFourNumbersOfTheBuild)
{
    const std::string strVersion = ProgramVersion();
    EXPECT_TRUE(std::regex_match(strVersion, std::regex(R"(\d+\.\d+\.\d+\.\d+)"))) << strVersion;
    EXPECT_EQ(0u, strVersion.find(TG_PROJECT_VERSION)) << strVersion;
}

TEST_F(AboutDialogTest, WhatTheServerOffersReachesTheBox)
{
    struct SCase
    {
        std::string strVersions;
        std::string strRunning;
        QString strOffered;
        bool bButton;
    };
    const SCase cases[] = {
        {"Tonegrove 1.0.0.4\r\n", "1.0.0.3", "Новая версия Tonegrove 1.0.0.4", true},
        {"Tonegrove 1.0.0.3\r\n", "1.0.0.3", "Новая версия Tonegrove 1.0.0.3", false},
        {"Tonegrove 1.0.0.3\n", "1.0.0.3", "Новая версия Tonegrove 1.0.0.3", false},
    };
    server.Script(kNotePath, HttpResponse(200, "OK", "Tonegrove 12.03.2016\r\n"));
    for (const SCase& c : cases)
    {
        server.Script(kVersionsPath, HttpResponse(200, "OK", c.strVersions));
        auto pDlg = MakeBox(c.strRunning);
        pDlg->show();
        ASSERT_TRUE(WaitForCheck(*pDlg));
        EXPECT_EQ(c.strOffered, Text(*pDlg, AboutId::Offered));
        EXPECT_EQ("Обновлено: 12.03.2016", Text(*pDlg, AboutId::Note));
        auto* pButton = pDlg->findChild<QPushButton*>("id1105");
        EXPECT_EQ(c.bButton, pButton->isVisible()) << c.strVersions;
        EXPECT_TRUE(pButton->isEnabled());
        if (c.bButton)
        {
            QTest::mouseClick(pButton, Qt::LeftButton);
            EXPECT_EQ(std::vector<std::string>{server.Url() + "/_download/"}, arrOpened);
            arrOpened.clear();
        }
    }
}

TEST_F(AboutDialogTest, FailedDownloadsLeaveTheirStatusInTheirLines)
{
    server.Script(kVersionsPath, HttpResponse(404, "Not Found", "Tonegrove 9.9.9.9\r\n"));
    server.Script(kNotePath, HttpResponse(500, "Internal Server Error", "Tonegrove 12.03.2016\r\n"));
    auto pDlg = MakeBox("1.0.0.3");
    ASSERT_TRUE(WaitForCheck(*pDlg));
    EXPECT_EQ("HTTP 404 Not Found", Text(*pDlg, AboutId::Offered));
    EXPECT_EQ("HTTP 500 Internal Server Error", Text(*pDlg, AboutId::Note));
    EXPECT_TRUE(pDlg->findChild<QWidget*>("id1105")->isHidden());
}

TEST_F(AboutDialogTest, TheEnvironmentsServerWinsOverTheHostSetting)
{
    server.Script(kVersionsPath, HttpResponse(200, "OK", "Tonegrove 2.0.0.0\r\n"));
    CLoopbackHttpServer other;
    setenv(kUpdateUrlEnv, other.Url().c_str(), 1);
    auto pDlg = MakeBox("1.0.0.3");
    EXPECT_EQ(other.Url(), pDlg->Server());
    ASSERT_TRUE(WaitForCheck(*pDlg));
    EXPECT_TRUE(server.Requests().empty());
    EXPECT_EQ(2u, other.Requests().size());
    unsetenv(kUpdateUrlEnv);
    settings.WriteText(kUpdateHostSetting, "");
    EXPECT_EQ(std::string("http://") + kDefaultUpdateHost, ConfiguredUpdateServer(settings));
}

// The About command with a server that answers and one that never does: the box is in front
// while the check still runs, and closing it does not wait for the server. The times are
// printed, not asserted.
TEST_F(AboutDialogTest, TheAboutCommandShowsTheBoxAtOnceAndClosingItEndsTheCheck)
{
    server.Script(kNotePath, HttpResponse(200, "OK", "Tonegrove 12.03.2016\r\n"));
    for (bool bSilent : {false, true})
    {
        server.Script(kVersionsPath, bSilent ? SScriptedResponse{"", true}
                                             : HttpResponse(200, "OK", "Tonegrove 1.0.0.4\r\n"));
        settings.WriteText(kUpdateHostSetting, server.Url().substr(std::string("http://").size()));
        CTonegroveDlg wnd(settings, SServices{prompter,
                                              reg.Store(),
                                              midiOut,
                                              clock,
                                              mediaCommands,
                                              {},
                                              CurlUpdateSessionFactory(),
                                              {},
                                              {}});
        wnd.show();
        QElapsedTimer timer;
        qint64 nShownNs = -1;
        qint64 nCloseNs = -1;
        bool bCheckingWhenShown = false;
        QString strOffered;
        QTimer::singleShot(0,
                           [&]
                           {
                               auto* pBox = qobject_cast<CAboutDlg*>(QApplication::activeModalWidget());
                               ASSERT_NE(nullptr, pBox);
                               ASSERT_TRUE(pBox->isVisible());
                               nShownNs = timer.nsecsElapsed();
                               bCheckingWhenShown = pBox->IsChecking();
                               if (!bSilent)
                                   EXPECT_TRUE(WaitForCheck(*pBox));
                               else
                                   EXPECT_TRUE(
                                       QTest::qWaitFor([&] { return !server.Requests().empty(); }, 5000));
                               strOffered = Text(*pBox, AboutId::Offered);
                               timer.restart();
                               pBox->reject();
                           });
        timer.start();
        EXPECT_TRUE(wnd.OnCommand(Cmd::About));
        nCloseNs = timer.nsecsElapsed();
        EXPECT_GE(nShownNs, 0);
        if (bSilent)
        {
            EXPECT_TRUE(bCheckingWhenShown);
            // Far below the 15 s a silent server could hold a download.
            EXPECT_LT(nCloseNs, 5'000'000'000);
        }
        else
            EXPECT_EQ("Новая версия Tonegrove 1.0.0.4", strOffered);
        std::printf("About command to box shown, %s server: %.2f ms; close to return: %.2f ms\n",
                    bSilent ? "silent" : "live", nShownNs / 1e6, nCloseNs / 1e6);
        wnd.done(QDialog::Accepted);
    }
}

TEST_F(AboutDialogTest, EndingTheProgramWithTheBoxOpenOnASilentServerEndsCleanly)
{
    server.Script(kVersionsPath, SScriptedResponse{"", true});
    settings.WriteText(kUpdateHostSetting, server.Url().substr(std::string("http://").size()));
    CTonegroveDlg wnd(
        settings,
        SServices{
            prompter, reg.Store(), midiOut, clock, mediaCommands, {}, CurlUpdateSessionFactory(), {}, {}});
    wnd.show();
    bool bSeen = false;
    QTimer::singleShot(0,
                       [&]
                       {
                           auto* pBox = qobject_cast<CAboutDlg*>(QApplication::activeModalWidget());
                           ASSERT_NE(nullptr, pBox);
                           EXPECT_TRUE(QTest::qWaitFor([&] { return !server.Requests().empty(); }, 5000));
                           bSeen = pBox->IsChecking();
                           wnd.OnTerminationRequest();
                       });
    EXPECT_TRUE(wnd.OnCommand(Cmd::About));
    EXPECT_TRUE(bSeen);
    EXPECT_FALSE(wnd.isVisible());
    EXPECT_EQ(nullptr, QApplication::activeModalWidget());
}

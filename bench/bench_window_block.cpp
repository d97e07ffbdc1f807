// How long the main window's thread is kept from its event loop while the transport is driven
// hard: F4, F6, F5, row clicks and double clicks at random, on a project and a WAV row, with
// players that cannot open their output or their file and so keep putting up message boxes,
// answered by a slow "user" some time later. A 1 ms heartbeat timer on the window thread gives
// the longest gap between two of its ticks.
//
// Run under a display (Xvfb) or offscreen:
//   SDL_AUDIODRIVER=dummy xvfb-run -a build/bench/bench_window_block [seconds] [DeviceIndex]
#include "app/Settings.h"
#include "mainwnd/CommandIds.h"
#include "mainwnd/QtPrompter.h"
#include "mainwnd/TonegroveApp.h"
#include "mainwnd/TonegroveDlg.h"
#include "platform/MediaCommands.h"
#include "platform/sdl/SdlAudioOut.h"
#include "platform/std/SteadyClock.h"
#include "platform/xdg/FileRegistryStore.h"
#include "sound/ProgramOutputs.h"
#include "tests/MediaFixtures.h"

#include <QAbstractButton>
#include <QApplication>
#include <QElapsedTimer>
#include <QKeyEvent>
#include <QMessageBox>
#include <QTimer>

#include <algorithm>
#include <cstdio>
#include <deque>
#include <filesystem>
#include <random>
#include <string>
#include <vector>

namespace
{
// The Qt prompter with the Open dialog answered from a list.
class CBenchPrompter : public CQtPrompter
{
  public:
    std::deque<std::string> m_paths;
    std::string AskOpenPath(const std::string&) override
    {
        if (m_paths.empty())
            return {};
        std::string str = m_paths.front();
        m_paths.pop_front();
        return str;
    }
};

void Key(int nKey)
{
    QWidget* pTarget =
        QApplication::focusWidget() ? QApplication::focusWidget() : QApplication::activeWindow();
    if (!pTarget)
        pTarget = QApplication::activeModalWidget();
    if (!pTarget)
        return;
    QKeyEvent press(QEvent::KeyPress, nKey, Qt::NoModifier);
    QApplication::sendEvent(pTarget, &press);
    QKeyEvent release(QEvent::KeyRelease, nKey, Qt::NoModifier);
    QApplication::sendEvent(pTarget, &release);
}
} // namespace

int main(int argc, char** argv)
{
    QApplication qapp(argc, argv);
    const int nSeconds = argc > 1 ? std::atoi(argv[1]) : 20;
    const int nDevice = argc > 2 ? std::atoi(argv[2]) : 5;

    const std::string strFolder = (std::filesystem::temp_directory_path() / "tonegrove-block").string();
    std::filesystem::create_directories(strFolder);
    const std::string strWav = strFolder + "/five seconds.wav";
    WriteBytes(strWav, MakeWav(SWavShape{44100, 1, 16, 44100 * 5}));
    const std::string strGone = strFolder + "/gone.wav";
    WriteBytes(strGone, MakeWav(SWavShape{44100, 1, 16, 4410}));
    const std::string strProject = std::string(TG_SOURCE_DIR) + "/resources/demo.tgp";

    // The program's own services, as main() makes them, with a prompter that answers itself.
    CBenchPrompter prompter;
    CFileRegistryStore registry(CFileRegistryStore::DefaultUserFolder(),
                                CFileRegistryStore::DefaultMachineFolder());
    CSettings settings(registry, prompter);
    CProgramOutputs outputs([&settings](FAudioOutFactory fAudioOut)
                            { return MakeSettingsMidiOut(std::move(fAudioOut), settings); });
    const SServices services = outputs.Services(prompter, registry);
    CTonegroveApp app;
    int nResult = 0;
    {
        CTonegroveDlg dlg(settings, services, {strProject});
        settings.DeviceIndex = nDevice; // an output that cannot open: every project puts up its box
        app.SetMainWindow(&dlg);
        prompter.SetOwner(&dlg);
        // Rows: the project from the command line, a WAV file, and one that is gone by the
        // time it plays.
        prompter.m_paths = {strWav, strGone};
        dlg.OnCommand(Cmd::Open);
        dlg.OnCommand(Cmd::Open);
        std::filesystem::remove(strGone);
        dlg.show();

        std::mt19937 random(12345);
        QElapsedTimer clock;
        clock.start();
        qint64 nLast = 0;
        qint64 nLongest = 0;
        qint64 nLongestAt = 0;
        std::vector<qint64> arrGaps;
        QTimer heartbeat;
        heartbeat.setTimerType(Qt::PreciseTimer);
        QObject::connect(&heartbeat, &QTimer::timeout,
                         [&]
                         {
                             const qint64 nNow = clock.elapsed();
                             const qint64 nGap = nNow - nLast;
                             nLast = nNow;
                             arrGaps.push_back(nGap);
                             // The first second shows and lays out the window: not the transport's doing.
                             if (nNow > 1000 && nGap > nLongest)
                             {
                                 nLongest = nGap;
                                 nLongestAt = nNow;
                             }
                         });
        heartbeat.start(1);

        qint64 nBoxSeen = -1;
        int nActions = 0;
        int nBoxesAnswered = 0;
        QTimer driver;
        QObject::connect(
            &driver, &QTimer::timeout,
            [&]
            {
                if (clock.elapsed() > nSeconds * 1000)
                {
                    qapp.quit();
                    return;
                }
                driver.setInterval(std::uniform_int_distribution<int>(20, 150)(random));
                // The user answers a box after 300 to 1500 ms.
                if (auto* pBox = qobject_cast<QMessageBox*>(QApplication::activeModalWidget()))
                {
                    if (nBoxSeen < 0)
                        nBoxSeen = clock.elapsed() + std::uniform_int_distribution<int>(300, 1500)(random);
                    if (clock.elapsed() >= nBoxSeen)
                    {
                        if (QAbstractButton* pOk = pBox->button(QMessageBox::Ok))
                            pOk->click();
                        else
                            pBox->reject();
                        nBoxSeen = -1;
                        ++nBoxesAnswered;
                        return;
                    }
                }
                ++nActions;
                const int nRows = dlg.RowCount();
                switch (std::uniform_int_distribution<int>(0, 5)(random))
                {
                case 0:
                case 1:
                    Key(Qt::Key_F4);
                    break;
                case 2:
                    Key(Qt::Key_F6);
                    break;
                case 3:
                    Key(Qt::Key_F5);
                    break;
                case 4:
                    if (nRows > 0 && !QApplication::activeModalWidget())
                        dlg.ClickRow(std::uniform_int_distribution<int>(0, nRows - 1)(random));
                    break;
                default:
                    if (nRows > 0 && !QApplication::activeModalWidget())
                        dlg.DoubleClickRow(std::uniform_int_distribution<int>(0, nRows - 1)(random));
                    break;
                }
            });
        driver.start(50);
        qapp.exec();
        heartbeat.stop();
        driver.stop();
        std::sort(arrGaps.begin(), arrGaps.end());
        const qint64 nP99 = arrGaps.empty() ? 0 : arrGaps[arrGaps.size() * 99 / 100];
        std::printf("rows %d, actions %d, boxes answered %d, %zu heartbeats in %d s\n", dlg.RowCount(),
                    nActions, nBoxesAnswered, arrGaps.size(), nSeconds);
        std::printf("longest window-thread gap after the first second %lld ms (at %lld ms), 99th percentile "
                    "%lld ms\n",
                    static_cast<long long>(nLongest), static_cast<long long>(nLongestAt),
                    static_cast<long long>(nP99));
        dlg.done(0);
        app.SetMainWindow(nullptr);
        prompter.SetOwner(nullptr);
    }
    return nResult;
}

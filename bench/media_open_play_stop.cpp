// Times what the window does with one large media file, through the media-command layer and the
// program's own outputs: the playlist measuring it (open, length, close), then playing it for a
// while and stopping it. Run it under /usr/bin/time -v for the peak memory:
//   media_open_play_stop FILE [SECONDS_PLAYED] [STOP_AFTER_MS]
// With STOP_AFTER_MS the stop comes that long after the play, whether playing has begun or not
// (a large MIDI file is still being read then).
#include "platform/sdl/SdlAudioOut.h"
#include "sound/MciInterpreter.h"
#include "sound/MciPlayer.h"
#include "sound/RealMediaBackends.h"

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <thread>

namespace
{
using TClock = std::chrono::steady_clock;

double MsSince(TClock::time_point t)
{
    return std::chrono::duration<double, std::milli>(TClock::now() - t).count();
}
} // namespace

int main(int argc, char** argv)
{
    if (argc < 2)
    {
        std::fprintf(stderr, "usage: %s FILE [SECONDS_PLAYED] [STOP_AFTER_MS]\n", argv[0]);
        return 2;
    }
    const std::string strPath = argv[1];
    const double fSeconds = argc > 2 ? std::atof(argv[2]) : 1.0;
    CSharedSdlAudioOut audioOut;
    CMciInterpreter layer{RealMediaBackends(audioOut.Factory())};
    CStderrPrompter prompter;
    CMciPlayer player(layer, prompter);

    auto t = TClock::now();
    player.Open(strPath, 0);
    const float fLength = player.GetLength(0);
    player.Close(0);
    std::printf("measure (open, length, close): %.1f ms, length %.0f ms\n", MsSince(t), double(fLength));

    t = TClock::now();
    player.Play(0, strPath);
    if (argc > 3)
    {
        std::this_thread::sleep_for(std::chrono::duration<double, std::milli>(std::atof(argv[3])));
        const bool bBegun = player.m_fPosition > 0;
        const auto tQuery = TClock::now();
        player.Stop(0);
        std::printf("stop %.0f ms after play%s returns: %.1f ms\n",
                    std::chrono::duration<double, std::milli>(tQuery - t).count(),
                    bBegun ? "" : ", before playing began", MsSince(tQuery));
        player.Shutdown();
        std::printf("stop until the thread has ended: %.1f ms\n", MsSince(tQuery));
        return 0;
    }
    // Playback has begun once the thread polls a position past the start (a MIDI file's messages
    // are read first, and meanwhile it stands at 0).
    while (player.m_bPlaying && player.m_fPosition == 0 && MsSince(t) < 60000)
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    std::printf("play until playing: %.1f ms\n", MsSince(t));
    std::this_thread::sleep_for(std::chrono::duration<double>(fSeconds));
    std::printf("position after %.1f s: %.0f ms\n", fSeconds, double(player.m_fPosition));

    t = TClock::now();
    player.Stop(0);
    std::printf("stop returns: %.1f ms\n", MsSince(t));
    player.Shutdown();
    std::printf("stop until the thread has ended: %.1f ms\n", MsSince(t));
    return 0;
}

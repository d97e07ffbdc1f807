// The waveaudio and sequencer devices of our interpreter, on WAV and MIDI files the tests write,
// driven through their commands: the audio stream is a double whose mixing the test calls, the
// MIDI output a recorder, the clock the manual one. Then the player thread on the real layer.
#include "platform/MciErrors.h"
#include "platform/sndfile/SndfileWavReader.h"
#include "sound/MciInterpreter.h"
#include "sound/MciPlayer.h"
#include "tests/ManualClock.h"
#include "tests/MediaDoubles.h"
#include "tests/MediaFixtures.h"
#include "tests/RecorderMidiOut.h"
#include "tests/TestSupport.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <cmath>
#include <condition_variable>
#include <future>
#include <mutex>
#include <string>
#include <vector>

namespace
{

using TMessages = std::vector<uint32_t>;

uint32_t Msg3(uint32_t nStatus, uint32_t nData1, uint32_t nData2 = 0)
{
    return nStatus | nData1 << 8 | nData2 << 16;
}

// What the sequencer sends, after its note offs, on each channel it used when it falls silent:
// sustain, sostenuto and soft pedal up, then all notes off and all sound off.
TMessages PedalsUp(uint32_t nChannel)
{
    return {Msg3(0xB0 | nChannel, 64), Msg3(0xB0 | nChannel, 66), Msg3(0xB0 | nChannel, 67)};
}
TMessages Cut(uint32_t nChannel)
{
    return {Msg3(0xB0 | nChannel, 123), Msg3(0xB0 | nChannel, 120)};
}
constexpr size_t kSilence0 = 5; // both on channel 0

class CDeviceTest : public ::testing::Test
{
  protected:
    CDeviceTest()
    {
        SMediaBackends backends;
        backends.fAudioOut = [this] { return std::shared_ptr<IAudioOut>(&m_audio, [](IAudioOut*) {}); };
        backends.fMidiOut = [this] { return std::shared_ptr<IMidiOut>(&m_midi, [](IMidiOut*) {}); };
        backends.fClock = [this] { return std::shared_ptr<IClock>(&m_clock, [](IClock*) {}); };
        backends.fOpenWav = OpenSndfileWav;
        m_pLayer = std::make_unique<CMciInterpreter>(std::move(backends));
    }
    ~CDeviceTest() override { m_pLayer.reset(); }

    std::string Put(const std::string& strName, const TBytes& bytes)
    {
        const std::string strPath = m_folder.File(strName);
        WriteBytes(strPath, bytes);
        return strPath;
    }
    // Sends a command that must succeed; gives its reply.
    std::string Do(const std::string& strCommand)
    {
        std::string strReply;
        EXPECT_EQ(m_pLayer->Send(strCommand, strReply), 0) << strCommand;
        return strReply;
    }
    int Code(const std::string& strCommand)
    {
        std::string strReply;
        return m_pLayer->Send(strCommand, strReply);
    }
    std::string Mode() { return Do("status mus1 mode"); }
    std::string Position() { return Do("status mus1 position"); }
    // Sleepers wake in turn up to nMs. bSleepsAgain: a sequencer plays and must be asleep at
    // its next deadline before time moves on; otherwise (nothing plays, or its last wait ends
    // at nMs) time moves as soon as nobody is on the way out of a sleep.
    void StepTo(int64_t nMs, bool bSleepsAgain = true)
    {
        ASSERT_TRUE(m_clock.AdvanceTo(nMs, [bSleepsAgain] { return !bSleepsAgain; }));
    }
    // The recorded messages from index nFrom on, with their times.
    std::vector<std::pair<int64_t, uint32_t>> Timed(size_t nFrom = 0) const
    {
        std::vector<std::pair<int64_t, uint32_t>> out;
        const std::vector<SSent> arrSent = m_midi.Sent();
        for (size_t i = nFrom; i < arrSent.size(); ++i)
            out.emplace_back(arrSent[i].Ms(), arrSent[i].dwMessage);
        return out;
    }

    CTempFolder m_folder;
    CScriptedPrompter m_prompter;
    CFakeAudioOut m_audio;
    CManualClock m_clock;
    CRecorderMidiOut m_midi{m_clock};
    std::unique_ptr<CMciInterpreter> m_pLayer;
};

// --- waveaudio -------------------------------------------------------------------------------

TEST_F(CDeviceTest, WavePositionCountsTheFramesTheStreamTook)
{
    struct SCase
    {
        SWavShape shape;
        int nMix;             // stream frames per step
        const char* pszAfter; // position after one step, then after two
        const char* pszAfterTwo;
    };
    const SCase kCases[] = {
        {{44100, 1, 16, 88200}, 4410, "100", "200"},
        {{44100, 2, 16, 88200}, 441, "10", "20"},
        // Other rates are converted: 0.1 s of stream is 0.1 s of file.
        {{8000, 1, 8, 16000}, 4410, "100", "200"},
        {{48000, 2, 16, 96000}, 4410, "100", "200"},
        // 1 stream frame is 22.68 us: 43 of them are 0.975 ms, still 0.
        {{22050, 1, 16, 22050}, 43, "0", "1"},
    };
    for (const SCase& c : kCases)
    {
        SCOPED_TRACE(std::to_string(c.shape.nRate) + " Hz, " + std::to_string(c.nMix) + " frames");
        const std::string strPath = Put("a.wav", MakeWav(c.shape));
        Do("open " + strPath + " type waveaudio alias mus1");
        EXPECT_EQ(Mode(), "stopped");
        EXPECT_EQ(Position(), "0");
        Do("play mus1");
        EXPECT_EQ(Mode(), "playing");
        EXPECT_EQ(Position(), "0"); // nothing has been mixed yet
        m_audio.Mix(c.nMix);
        EXPECT_EQ(Position(), c.pszAfter);
        m_audio.Mix(c.nMix);
        EXPECT_EQ(Position(), c.pszAfterTwo);
        Do("close mus1");
        EXPECT_EQ(m_audio.Sources(), 0);
    }
}

TEST_F(CDeviceTest, WaveSamplesReachTheStreamInStereoAtItsRate)
{
    // 16-bit mono: sample k is the bytes 14k and 14k+7 of the saw tooth MakeWav writes.
    auto Sample = [](uint32_t k)
    {
        const uint8_t nLow = uint8_t(2 * k * 7);
        const uint8_t nHigh = uint8_t((2 * k + 1) * 7);
        return float(int16_t(uint16_t(nLow | nHigh << 8))) / 32768.0f;
    };
    struct SCase
    {
        uint32_t nRate;
        // Stream frame i holds source sample i * rate / 44100, halfway between two at 22050.
        std::function<float(uint32_t)> fExpected;
    };
    const SCase kCases[] = {
        {44100, [&](uint32_t i) { return Sample(i); }},
        {22050, [&](uint32_t i) { return i % 2 ? (Sample(i / 2) + Sample(i / 2 + 1)) / 2 : Sample(i / 2); }},
    };
    for (const SCase& c : kCases)
    {
        SCOPED_TRACE(c.nRate);
        const std::string strPath = Put("saw.wav", MakeWav({c.nRate, 1, 16, 1000}));
        Do("open " + strPath + " type waveaudio alias mus1");
        Do("play mus1");
        const std::vector<float> arrOut = m_audio.Mix(64);
        for (uint32_t i = 0; i < 64; ++i)
        {
            EXPECT_NEAR(arrOut[i * 2], c.fExpected(i), 1e-6) << i;
            EXPECT_EQ(arrOut[i * 2], arrOut[i * 2 + 1]) << i;
        }
        Do("close mus1");
    }
}

// The file streams from disk through a ring of about a second and a half: a file several times
// longer must play every sample in order across the ring's wrap, and from wherever a seek goes,
// in every container. Each "play" while playing makes sure of the next block, so the test
// never outruns the reader.
TEST_F(CDeviceTest, WaveStreamsFilesLongerThanItsBufferSampleForSample)
{
    auto Sample = [](uint32_t k)
    {
        const uint8_t nLow = uint8_t(2 * k * 7);
        const uint8_t nHigh = uint8_t((2 * k + 1) * 7);
        return float(int16_t(uint16_t(nLow | nHigh << 8))) / 32768.0f;
    };
    const uint32_t kFrames = 200000; // 4.5 s, three times round the ring
    for (EWavContainer eContainer : {EWavContainer::Riff, EWavContainer::Rf64, EWavContainer::Wave64})
    {
        SCOPED_TRACE(int(eContainer));
        const std::string strPath = Put("long.wav", MakeWav({44100, 1, 16, kFrames, false, eContainer}));
        Do("open " + strPath + " type waveaudio alias mus1");
        EXPECT_EQ(Do("status mus1 length"), "4535");
        auto Expect = [&](uint32_t nFrom, uint32_t nCount)
        {
            for (uint32_t nDone = 0; nDone < nCount; nDone += 10000)
            {
                Do("play mus1");
                const uint32_t nStep = std::min(10000u, nCount - nDone);
                const std::vector<float> arrOut = m_audio.Mix(int(nStep));
                for (uint32_t i = 0; i < nStep; ++i)
                    if (arrOut[i * 2] != Sample(nFrom + nDone + i) || arrOut[i * 2 + 1] != arrOut[i * 2])
                    {
                        ADD_FAILURE() << "frame " << nFrom + nDone + i;
                        return;
                    }
            }
        };
        Expect(0, kFrames - 1);  // the last frame would blend with nothing: leave it
        Do("seek mus1 to 4000"); // frame 176400, ahead of what the ring holds
        Expect(176400, 5000);
        Do("seek mus1 to 500"); // frame 22050, long dropped from the ring
        Expect(22050, 70000);
        EXPECT_EQ(Position(), "2087"); // 92050 frames
        Do("close mus1");
    }
}

TEST_F(CDeviceTest, WavePausesResumesSeeksAndStopsAtItsEnd)
{
    const std::string strPath = Put("b.wav", MakeWav({44100, 2, 16, 44100})); // 1000 ms
    Do("open " + strPath + " type waveaudio alias mus1");
    Do("play mus1");
    m_audio.Mix(4410);

    Do("pause mus1");
    EXPECT_EQ(Mode(), "paused");
    const std::vector<float> arrPaused = m_audio.Mix(4410);
    EXPECT_TRUE(std::all_of(arrPaused.begin(), arrPaused.end(), [](float f) { return f == 0; }));
    EXPECT_EQ(Position(), "100");

    Do("play mus1"); // from where it paused
    EXPECT_EQ(Mode(), "playing");
    m_audio.Mix(4410);
    EXPECT_EQ(Position(), "200");

    Do("set mus1 time format milliseconds");
    Do("Seek mus1 to 750.5");
    EXPECT_EQ(Mode(), "stopped");
    EXPECT_EQ(Position(), "750");
    m_audio.Mix(441);
    EXPECT_EQ(Position(), "750"); // stopped: the stream takes nothing
    Do("play mus1");
    m_audio.Mix(441);
    EXPECT_EQ(Position(), "760");

    // 240 ms are left: 10584 frames, and the stream asks for more.
    const std::vector<float> arrEnd = m_audio.Mix(11000);
    EXPECT_EQ(Mode(), "stopped");
    EXPECT_EQ(Position(), "1000");
    EXPECT_TRUE(std::all_of(arrEnd.begin() + 10584 * 2, arrEnd.end(), [](float f) { return f == 0; }));
    Do("play mus1"); // at the end nothing is left to play
    EXPECT_EQ(Mode(), "stopped");

    Do("seek mus1 to start");
    EXPECT_EQ(Position(), "0");
    Do("seek mus1 to end");
    EXPECT_EQ(Position(), "1000");
    Do("stop mus1");
    EXPECT_EQ(Mode(), "stopped");
}

TEST_F(CDeviceTest, PlayCommandFailuresHaveTheirCodes)
{
    const std::string strWav = Put("c.wav", MakeWav({44100, 1, 16, 4410}));
    const std::string strMid =
        Put("c.mid", MakeMidi(0, 480, {CMidiTrack().Event(0, {0x90, 60, 100}).End(480)}));
    Do("open " + strWav + " type waveaudio alias mus1");
    Do("open " + strMid + " type sequencer alias mus2");
    struct SCase
    {
        std::string strCommand;
        int nCode;
    };
    const SCase kCases[] = {
        {"seek mus1 to 101", MciError::kOutOfRange},
        {"seek mus1 to -1", MciError::kOutOfRange},
        {"seek mus1 to abc", MciError::kBadInteger},
        {"seek mus1 to 12ms", MciError::kBadInteger},
        {"seek mus1 to", MciError::kMissingArgument},
        {"seek mus1", MciError::kMissingParameter},
        {"seek mus1 1500", MciError::kUnrecognizedKeyword},
        {"seek mus1 to 5 now", MciError::kUnrecognizedKeyword},
        {"seek mus2 to 1001", MciError::kOutOfRange},
        {"play mus9", MciError::kUnknownDevice},
        {"pause mus9", MciError::kUnknownDevice},
        {"stop mus9", MciError::kUnknownDevice},
        {"play", MciError::kMissingParameter},
        {"play mus1 fast", MciError::kUnrecognizedKeyword},
        {"status mus9 mode", MciError::kUnknownDevice},
        {"status mus1 speed", MciError::kUnrecognizedKeyword},
    };
    for (const SCase& c : kCases)
    {
        SCOPED_TRACE(c.strCommand);
        EXPECT_EQ(Code(c.strCommand), c.nCode);
        EXPECT_FALSE(m_pLayer->ErrorText(c.nCode).empty());
    }
    EXPECT_EQ(Position(), "0");                // none of the refused seeks moved it
    EXPECT_EQ(Do("seek mus1 to 5.e-003"), ""); // the player's way with tiny fractions

    // No stream and no MIDI output: the play command says so.
    m_audio.FailAdd(true);
    m_midi.FailOpen(true);
    EXPECT_EQ(Code("play mus1"), MciError::kWaveOutputsUnsuitable);
    EXPECT_EQ(Code("play mus2"), MciError::kSeqNoMidiPresent);
    EXPECT_EQ(Mode(), "stopped");
    EXPECT_EQ(Do("status mus2 mode"), "stopped");
}

// --- sequencer -------------------------------------------------------------------------------

// 480 ticks a quarter. Channel 0: program 5 and a note at 0; at 960 ticks (1000 ms) the note
// ends, the tempo doubles and another note starts; it ends 480 ticks (250 ms) later; the track
// ends at 1920 ticks (1500 ms).
TBytes TwoNotes()
{
    CMidiTrack track;
    track.Tempo(0, 500000)
        .Event(0, {0xC0, 5})
        .Event(0, {0x90, 60, 100})
        .Event(960, {0x80, 60, 0})
        .Tempo(0, 250000)
        .Event(0, {0x90, 62, 90})
        .Event(480, {0x80, 62, 0})
        .End(480);
    return MakeMidi(0, 480, {track});
}

TEST_F(CDeviceTest, SequencerSendsEachMessageAtItsTimeAndStopsAtTheEnd)
{
    Do("open " + Put("two.mid", TwoNotes()) + " type sequencer alias mus1");
    EXPECT_EQ(Do("status mus1 length"), "1500");
    Do("play mus1");
    StepTo(999);
    EXPECT_EQ(Position(), "999");
    StepTo(1100);
    EXPECT_EQ(Mode(), "playing");
    StepTo(1499);
    EXPECT_EQ(Mode(), "playing");
    StepTo(1500, false);
    ASSERT_TRUE(WaitFor([&] { return Mode() == "stopped"; }));
    EXPECT_EQ(Position(), "1500");
    EXPECT_EQ(Timed(), (std::vector<std::pair<int64_t, uint32_t>>{
                           {0, Msg3(0xC0, 5)},
                           {0, Msg3(0x90, 60, 100)},
                           {1000, Msg3(0x80, 60)},
                           {1000, Msg3(0x90, 62, 90)},
                           {1250, Msg3(0x80, 62)},
                           {1500, Msg3(0xB0, 64)},
                           {1500, Msg3(0xB0, 66)},
                           {1500, Msg3(0xB0, 67)},
                           {1500, Msg3(0xB0, 123)},
                           {1500, Msg3(0xB0, 120)},
                       }));
    EXPECT_EQ(m_midi.OpenedDevices(), std::vector<int>{kMidiMapper});
}

TEST_F(CDeviceTest, SequencerPauseAndStopSilenceAndPlayGoesOnFromThere)
{
    for (const char* pszVerb : {"pause", "stop"})
    {
        SCOPED_TRACE(pszVerb);
        CManualClock clock;
        CRecorderMidiOut midi(clock);
        SMediaBackends backends;
        backends.fMidiOut = [&] { return std::shared_ptr<IMidiOut>(&midi, [](IMidiOut*) {}); };
        backends.fClock = [&] { return std::shared_ptr<IClock>(&clock, [](IClock*) {}); };
        CMciInterpreter layer(std::move(backends));
        std::string strReply;
        ASSERT_EQ(layer.Send("open " + Put("two.mid", TwoNotes()) + " type sequencer alias mus1", strReply),
                  0);
        ASSERT_EQ(layer.Send("play mus1", strReply), 0);
        ASSERT_TRUE(clock.AdvanceTo(400, [] { return false; }));
        ASSERT_EQ(layer.Send(std::string(pszVerb) + " mus1", strReply), 0);
        layer.Send("status mus1 mode", strReply);
        EXPECT_EQ(strReply, std::string(pszVerb) == "pause" ? "paused" : "stopped");
        layer.Send("status mus1 position", strReply);
        EXPECT_EQ(strReply, "400");
        // The note that was sounding is switched off at once.
        ASSERT_EQ(midi.Messages().size(), 3u + kSilence0);
        EXPECT_EQ(midi.Messages()[2], Msg3(0x80, 60));
        EXPECT_EQ(midi.Sent()[2].Ms(), 400);

        // Held for a second: nothing plays meanwhile.
        ASSERT_TRUE(clock.AdvanceTo(1400, [] { return true; }));
        EXPECT_EQ(midi.Messages().size(), 3u + kSilence0);
        ASSERT_EQ(layer.Send("play mus1", strReply), 0);
        // The rest of the file keeps its spacing from where it held: 600 ms on, the next notes.
        ASSERT_TRUE(clock.AdvanceTo(2000, [] { return false; }));
        const std::vector<SSent> arrSent = midi.Sent();
        ASSERT_EQ(arrSent.size(), 5u + kSilence0);
        EXPECT_EQ(arrSent[3 + kSilence0].dwMessage, Msg3(0x80, 60));
        EXPECT_EQ(arrSent[3 + kSilence0].Ms(), 2000);
        EXPECT_EQ(arrSent[4 + kSilence0].dwMessage, Msg3(0x90, 62, 90));
        EXPECT_EQ(arrSent[4 + kSilence0].Ms(), 2000);
        layer.Send("status mus1 position", strReply);
        EXPECT_EQ(strReply, "1000");
    }
}

// Channel 0: program 5, volume 100, a note; at 500 ms volume 50; at 600 ms a pitch bend.
// Channel 9: a drum at 0. Channel 3 only from 800 ms on.
TBytes Controllers()
{
    CMidiTrack track;
    track.Event(0, {0xC0, 5})
        .Event(0, {0xB0, 7, 100})
        .Event(0, {0x90, 60, 100})
        .Event(0, {0x99, 36, 80})
        .Event(480, {0xB0, 7, 50})
        .Event(96, {0xE0, 0, 80})
        .Event(192, {0xC3, 40})
        .Event(960, {0x80, 60, 0})
        .End(0);
    return MakeMidi(0, 480, {track});
}

TEST_F(CDeviceTest, SequencerSeekSwitchesNotesOffAndSendsTheStateAtTheTarget)
{
    Do("open " + Put("cc.mid", Controllers()) + " type sequencer alias mus1");
    Do("play mus1");
    StepTo(300);
    const size_t nBefore = m_midi.Messages().size();
    ASSERT_EQ(nBefore, 4u);
    Do("seek mus1 to 700");
    EXPECT_EQ(Mode(), "stopped");
    EXPECT_EQ(Position(), "700");
    const TMessages arrAll = m_midi.Messages();
    const TMessages arrSeek(arrAll.begin() + std::ptrdiff_t(nBefore), arrAll.end());
    TMessages arrExpected = {Msg3(0x80, 60), Msg3(0x89, 36)}; // what sounded
    for (const TMessages& arrPart : {PedalsUp(0), PedalsUp(9), Cut(0), Cut(9),
                                     TMessages{Msg3(0xB0, 121), Msg3(0xB9, 121), // channels used so far
                                               Msg3(0xC0, 5), Msg3(0xB0, 7, 50), Msg3(0xE0, 0, 80)}})
        arrExpected.insert(arrExpected.end(), arrPart.begin(), arrPart.end());
    EXPECT_EQ(arrSeek, arrExpected);
    // Playing on from the target starts with the first message after it.
    Do("play mus1");
    StepTo(400);
    EXPECT_EQ(m_midi.Messages().size(), arrAll.size() + 1);
    EXPECT_EQ(m_midi.Messages().back(), Msg3(0xC3, 40));
}

TEST_F(CDeviceTest, SequencerSoughtBeforeItsFirstPlaySendsTheStateBeforeTheFirstNote)
{
    Do("open " + Put("cc.mid", Controllers()) + " type sequencer alias mus1");
    Do("seek mus1 to 550");
    EXPECT_TRUE(m_midi.Messages().empty()); // the output opens only to play
    Do("play mus1");
    StepTo(50);
    EXPECT_EQ(m_midi.Messages(), (TMessages{Msg3(0xB0, 121), Msg3(0xB9, 121), Msg3(0xC0, 5),
                                            Msg3(0xB0, 7, 50), Msg3(0xE0, 0, 80)}));
}

// A MIDI file reader that holds each read until the test lets it go (or the device asks it to
// stop, as the real reader gives up when told), then reads as the program does.
class CHeldReader
{
  public:
    bool Read(const std::string& strPath, SMidiFile& out, std::string& strError,
              const std::atomic<bool>& bStop)
    {
        std::unique_lock lock(m_mutex);
        const int nRead = ++m_nStarted;
        m_cv.notify_all();
        // The stop flag comes without a notification, so it is looked at now and then.
        while (!bStop && m_nReleased < nRead)
            m_cv.wait_for(lock, std::chrono::milliseconds(1));
        if (bStop)
        {
            strError = "stopped";
            return false;
        }
        lock.unlock();
        return ReadMidiFile(strPath, out, strError);
    }
    // Waits (bounded) until the nth read has begun.
    bool Started(int nRead)
    {
        std::unique_lock lock(m_mutex);
        return m_cv.wait_for(lock, std::chrono::seconds(10), [&] { return m_nStarted >= nRead; });
    }
    void Release(int nUpTo)
    {
        std::lock_guard lock(m_mutex);
        m_nReleased = std::max(m_nReleased, nUpTo);
        m_cv.notify_all();
    }
    int Released()
    {
        std::lock_guard lock(m_mutex);
        return m_nReleased;
    }

  private:
    std::mutex m_mutex;
    std::condition_variable m_cv;
    int m_nStarted = 0;
    int m_nReleased = 0;
};

// The messages of a large file are read at the first play, which takes a while. The commands
// must not wait for it: play, the status queries and stop or close all answer while the read is
// still held, stop and close end it, and the file plays from where the read ended.
TEST_F(CDeviceTest, SequencerCommandsAnswerWhileTheFileIsRead)
{
    CHeldReader reader;
    SMediaBackends backends;
    backends.fMidiOut = [this] { return std::shared_ptr<IMidiOut>(&m_midi, [](IMidiOut*) {}); };
    backends.fClock = [this] { return std::shared_ptr<IClock>(&m_clock, [](IClock*) {}); };
    backends.fReadMidiFile =
        [&](const std::string& strPath, SMidiFile& out, std::string& strError, const std::atomic<bool>& bStop)
    { return reader.Read(strPath, out, strError, bStop); };
    CMciInterpreter layer(std::move(backends));
    // Sends a command from another thread; its reply, or "(waits for the read)" when it has not
    // answered in a generous while. Then every read is let go, so that nothing is left hanging.
    auto Answer = [&](const std::string& strCommand) -> std::string
    {
        const int nReleased = reader.Released();
        auto answer = std::async(std::launch::async,
                                 [&]
                                 {
                                     std::string strReply;
                                     const int nCode = layer.Send(strCommand, strReply);
                                     return nCode == 0 ? strReply : "error " + std::to_string(nCode);
                                 });
        if (answer.wait_for(std::chrono::seconds(10)) != std::future_status::ready)
        {
            reader.Release(1000);
            answer.wait();
            return "(waits for the read)";
        }
        EXPECT_EQ(reader.Released(), nReleased) << strCommand;
        return answer.get();
    };

    const std::string strPath = Put("two.mid", TwoNotes());
    for (const char* pszEnd : {"stop", "close"})
    {
        SCOPED_TRACE(pszEnd);
        ASSERT_EQ(Answer("open " + strPath + " type sequencer alias mus1"), "");
        ASSERT_EQ(Answer("play mus1"), "");
        ASSERT_TRUE(reader.Started(std::string(pszEnd) == "stop" ? 1 : 3));
        EXPECT_EQ(Answer("status mus1 mode"), "playing");
        EXPECT_EQ(Answer("status mus1 position"), "0");
        EXPECT_EQ(Answer("status mus1 length"), "1500");
        EXPECT_EQ(Answer(std::string(pszEnd) + " mus1"), "");
        if (std::string(pszEnd) == "stop")
        {
            EXPECT_EQ(Answer("status mus1 mode"), "stopped");
            EXPECT_EQ(Answer("status mus1 position"), "0");
            EXPECT_TRUE(m_midi.Messages().empty());

            // Played again, the file is read again; time spent reading is not time played.
            ASSERT_EQ(Answer("play mus1"), "");
            ASSERT_TRUE(reader.Started(2));
            ASSERT_TRUE(m_clock.AdvanceTo(300, [] { return true; })); // nobody sleeps: time moves
            EXPECT_EQ(Answer("status mus1 position"), "0");
            reader.Release(2);
            ASSERT_TRUE(m_clock.AdvanceTo(1000, [] { return false; }));
            EXPECT_EQ(Answer("status mus1 position"), "700");
            EXPECT_EQ(Timed(), (std::vector<std::pair<int64_t, uint32_t>>{{300, Msg3(0xC0, 5)},
                                                                          {300, Msg3(0x90, 60, 100)}}));
            ASSERT_EQ(Answer("close mus1"), "");
        }
    }
}

// --- the player thread on the real layer ------------------------------------------------------

TEST_F(CDeviceTest, PlayerThreadPlaysAWavPausedAndResumedToItsEnd)
{
    const std::string strPath = Put("song one.wav", MakeWav({44100, 1, 16, 22050})); // 500 ms
    CMciPlayer player(*m_pLayer, m_prompter, &m_clock);
    auto Done = [&] { return !player.ThreadRunning(); };
    player.Play(1, strPath);
    ASSERT_TRUE(m_clock.AdvanceTo(0, Done));
    EXPECT_EQ(player.m_fLength, 500.0f);
    EXPECT_EQ(player.GetMode(1), "playing");

    m_audio.Mix(4410);
    ASSERT_TRUE(m_clock.AdvanceTo(10, Done));
    EXPECT_EQ(player.m_fPosition, 100.0f);

    player.m_bPause = true;
    ASSERT_TRUE(m_clock.AdvanceTo(20, Done));
    EXPECT_EQ(player.GetMode(1), "paused");
    m_audio.Mix(4410);
    ASSERT_TRUE(m_clock.AdvanceTo(40, Done));
    EXPECT_EQ(player.GetPosition(1), 100.0f);

    player.Play(1, strPath); // resume
    ASSERT_TRUE(m_clock.AdvanceTo(50, Done));
    EXPECT_EQ(player.GetMode(1), "playing");
    m_audio.Mix(4410);
    ASSERT_TRUE(m_clock.AdvanceTo(60, Done));
    EXPECT_EQ(player.m_fPosition, 200.0f);

    // A seek while playing: it goes on from the target.
    player.Seek(1, 400);
    ASSERT_TRUE(m_clock.AdvanceTo(70, Done));
    EXPECT_EQ(player.GetMode(1), "playing");
    EXPECT_EQ(player.m_fPosition, 400.0f);
    // The last 100 ms: the device stops at the end and the thread ends at its next poll.
    m_audio.Mix(4410);
    EXPECT_EQ(player.GetMode(1), "stopped");
    ASSERT_TRUE(m_clock.AdvanceTo(80, Done));
    ASSERT_TRUE(WaitFor(Done));
    EXPECT_FALSE(player.m_bPlaying);
    EXPECT_EQ(m_audio.Sources(), 0); // closed
    EXPECT_TRUE(m_prompter.Messages().empty());
}

// The player thread polls on a clock of its own here, so that each clock has one thread asleep
// on it and the test knows who moves when.
TEST_F(CDeviceTest, PlayerThreadPlaysAMidiFileAndShutdownSilencesIt)
{
    CManualClock pollClock;
    CMciPlayer player(*m_pLayer, m_prompter, &pollClock);
    auto Done = [&] { return !player.ThreadRunning(); };
    player.Play(2, Put("two.mid", TwoNotes()));
    ASSERT_TRUE(pollClock.AdvanceTo(0, Done));
    StepTo(500);
    ASSERT_TRUE(pollClock.AdvanceTo(10, Done));
    EXPECT_EQ(player.m_fLength, 1500.0f);
    EXPECT_EQ(player.m_fPosition, 500.0f);
    EXPECT_EQ(player.GetMode(2), "playing");

    player.Shutdown();
    EXPECT_FALSE(player.ThreadRunning());
    TMessages arrExpected = {Msg3(0xC0, 5), Msg3(0x90, 60, 100), Msg3(0x80, 60)};
    for (const TMessages& arrPart : {PedalsUp(0), Cut(0)})
        arrExpected.insert(arrExpected.end(), arrPart.begin(), arrPart.end());
    EXPECT_EQ(m_midi.Messages(), arrExpected);
    EXPECT_EQ(m_midi.OpenHandles(), 0);
}

TEST_F(CDeviceTest, PlayerThreadPlaysAMidiFileToItsEnd)
{
    CManualClock pollClock;
    CMciPlayer player(*m_pLayer, m_prompter, &pollClock);
    auto Done = [&] { return !player.ThreadRunning(); };
    player.Play(2, Put("two.mid", TwoNotes()));
    ASSERT_TRUE(pollClock.AdvanceTo(0, Done));
    StepTo(1499);
    StepTo(1500, false);
    ASSERT_TRUE(WaitFor([&] { return player.GetMode(2) == "stopped"; }));
    ASSERT_TRUE(pollClock.AdvanceTo(10, Done));
    ASSERT_TRUE(WaitFor(Done));
    EXPECT_FALSE(player.m_bPlaying);
    EXPECT_EQ(m_midi.Messages().size(), 5u + kSilence0);
    EXPECT_EQ(m_midi.OpenHandles(), 0);
}

} // namespace

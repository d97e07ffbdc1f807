// The device numbering of the program's MIDI outputs and the sharing of the one built-in
// synthesizer, with the synthesizer, the audio stream and the system's ports replaced.
#include "platform/ClockPacedStream.h"
#include "platform/RealBackends.h"
#include "platform/SystemMidiOut.h"
#include "platform/fluidsynth/FluidSynth.h"
#include "sound/MidiDevices.h"
#include "tests/ManualClock.h"
#include "tests/TestSupport.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <map>
#include <set>
#include <unistd.h>

namespace
{
struct SWorld
{
    std::vector<uint32_t> arrSynth;                // messages that reached the synthesizer
    std::map<int, std::vector<uint32_t>> mapPorts; // messages per port
    int nSynthsMade = 0;
    std::set<IAudioSource*> setSources;
    bool bSynthFails = false;
    bool bAudioFails = false;
    std::string strChoice = "first.sf2"; // the SoundFont chosen now
    std::vector<std::string> arrLoads;   // SoundFonts loaded into a playing synthesizer
};

class CFakeSynth : public ISynthesizer
{
  public:
    explicit CFakeSynth(SWorld& world) : m_world(world) {}
    void ShortMsg(uint32_t dwMessage) override { m_world.arrSynth.push_back(dwMessage); }
    void Render(float* pStereo, int nFrames) override { std::fill(pStereo, pStereo + 2 * nFrames, 0.0f); }
    int ActiveVoices() override { return 0; }
    bool LoadSoundFont(const std::string& strPath) override
    {
        if (strPath.ends_with(".bad"))
            return false;
        m_world.arrLoads.push_back(strPath);
        return true;
    }

  private:
    SWorld& m_world;
};

class CFakeAudio : public IAudioOut
{
  public:
    explicit CFakeAudio(SWorld& world) : m_world(world) {}
    bool AddSource(IAudioSource* pSource) override
    {
        if (!m_world.bAudioFails)
            m_world.setSources.insert(pSource);
        return !m_world.bAudioFails;
    }
    void RemoveSource(IAudioSource* pSource) override { m_world.setSources.erase(pSource); }

  private:
    SWorld& m_world;
};

class CFakePortHandle : public IMidiOutHandle
{
  public:
    CFakePortHandle(SWorld& world, int nPort) : m_world(world), m_nPort(nPort) {}
    void ShortMsg(uint32_t dwMessage) override { m_world.mapPorts[m_nPort].push_back(dwMessage); }
    void Reset() override {}

  private:
    SWorld& m_world;
    int m_nPort;
};

class CFakePorts : public IMidiPorts
{
  public:
    explicit CFakePorts(SWorld& world) : m_world(world) {}
    int Count() override { return 2; }
    std::string Name(int nPort) override { return nPort == 0 ? "Port A" : "Port B"; }
    std::unique_ptr<IMidiOutHandle> Open(int nPort) override
    {
        return nPort >= 0 && nPort < 2 ? std::make_unique<CFakePortHandle>(m_world, nPort) : nullptr;
    }

  private:
    SWorld& m_world;
};

CSystemMidiOut MakeOutputs(SWorld& world)
{
    return CSystemMidiOut(
        [&world]() -> std::unique_ptr<ISynthesizer>
        {
            ++world.nSynthsMade;
            return world.bSynthFails ? nullptr : std::make_unique<CFakeSynth>(world);
        },
        [&world]() -> std::shared_ptr<IAudioOut> { return std::make_shared<CFakeAudio>(world); },
        [&world]() -> std::unique_ptr<IMidiPorts> { return std::make_unique<CFakePorts>(world); },
        [&world] { return world.strChoice; });
}

TEST(SystemMidiOut, ANewSoundFontReachesThePlayingSynthesizerOnceAndABadOneChangesNothing)
{
    SWorld world;
    CSystemMidiOut outputs = MakeOutputs(world);
    world.strChoice = "second.sf2";
    outputs.SoundFontChanged();
    EXPECT_TRUE(world.arrLoads.empty()) << "no synthesizer plays yet: the first one loads the choice itself";

    auto pHandle = outputs.Open(0);
    ASSERT_NE(nullptr, pHandle);
    outputs.SoundFontChanged();
    EXPECT_TRUE(world.arrLoads.empty()) << "made with second.sf2 already";

    world.strChoice = "third.sf2";
    outputs.SoundFontChanged();
    outputs.SoundFontChanged();
    EXPECT_EQ((std::vector<std::string>{"third.sf2"}), world.arrLoads);

    // A file the synthesizer refuses leaves it with third.sf2, which is then no change.
    world.strChoice = "broken.bad";
    outputs.SoundFontChanged();
    world.strChoice = "third.sf2";
    outputs.SoundFontChanged();
    EXPECT_EQ((std::vector<std::string>{"third.sf2"}), world.arrLoads);
    EXPECT_EQ(1, world.nSynthsMade);
}

TEST(BuiltInSynthesizer, ASoundFontThatCannotBeLoadedKeepsTheOneItHad)
{
    auto pSynth = CFluidSynth::Create(kSystemSoundFont);
    ASSERT_NE(nullptr, pSynth);
    const auto Sounds = [&]
    {
        pSynth->ShortMsg(0x7F3C90);
        std::vector<float> block(2 * 4410);
        pSynth->Render(block.data(), 4410);
        pSynth->ShortMsg(0x3C80);
        return std::any_of(block.begin(), block.end(), [](float f) { return f > 0.01f || f < -0.01f; });
    };
    EXPECT_FALSE(pSynth->LoadSoundFont("/nonexistent.sf2"));
    const std::string strJunk =
        (std::filesystem::temp_directory_path() / ("tonegrove-junk-" + std::to_string(getpid()) + ".sf2"))
            .string();
    std::ofstream(strJunk) << "RIFF, but no SoundFont";
    EXPECT_FALSE(pSynth->LoadSoundFont(strJunk));
    std::filesystem::remove(strJunk);
    EXPECT_TRUE(Sounds());
    // The same file again: the new copy plays and the old one is let go.
    EXPECT_TRUE(pSynth->LoadSoundFont(kSystemSoundFont));
    EXPECT_TRUE(Sounds());
}

TEST(SystemMidiOut, ListsTheSynthesizerThenThePortsAfterTheMapper)
{
    SWorld world;
    CSystemMidiOut outputs = MakeOutputs(world);
    EXPECT_EQ((std::vector<std::string>{"MIDI Mapper", "Tonegrove Synth", "Port A", "Port B"}),
              MidiDeviceNames(outputs));
    EXPECT_EQ(4u, MidiDeviceNames(outputs).size()) << "made afresh, not appended to";
    EXPECT_EQ(0, world.nSynthsMade) << "listing loads no SoundFont";
}

TEST(SystemMidiOut, EachNumberReachesItsDevice)
{
    SWorld world;
    CSystemMidiOut outputs = MakeOutputs(world);
    const std::pair<int, uint32_t> sends[] = {{-1, 0x101}, {0, 0x102}, {1, 0x103}, {2, 0x104}};
    for (auto [nDevice, dwMessage] : sends)
    {
        auto pHandle = outputs.Open(nDevice);
        ASSERT_TRUE(pHandle) << nDevice;
        pHandle->ShortMsg(dwMessage);
    }
    EXPECT_EQ((std::vector<uint32_t>{0x101, 0x102}), world.arrSynth)
        << "the mapper is the built-in synthesizer";
    EXPECT_EQ(std::vector<uint32_t>{0x103}, world.mapPorts[0]);
    EXPECT_EQ(std::vector<uint32_t>{0x104}, world.mapPorts[1]);
    for (int nDevice : {-2, 3, 100})
        EXPECT_FALSE(outputs.Open(nDevice)) << nDevice;
}

// Several handles play on one synthesizer; closing one switches off only its own notes.
TEST(SystemMidiOut, HandlesShareOneSynthesizerAndCloseTheirOwnNotes)
{
    SWorld world;
    {
        CSystemMidiOut outputs = MakeOutputs(world);
        auto pPlayer = outputs.Open(0);
        auto pLive = outputs.Open(kMidiMapper);
        ASSERT_TRUE(pPlayer && pLive);
        EXPECT_EQ(1, world.nSynthsMade);
        EXPECT_EQ(1u, world.setSources.size());
        pPlayer->ShortMsg(0x7F3C90);
        pLive->ShortMsg(0x7F3E90);
        pPlayer.reset();
        EXPECT_EQ((std::vector<uint32_t>{0x7F3C90, 0x7F3E90, 0x3C80}), world.arrSynth);
        pLive->Reset();
        EXPECT_EQ(0x3E80u, world.arrSynth.back());
        pLive.reset();
        EXPECT_EQ(4u, world.arrSynth.size()) << "nothing left to switch off";
        EXPECT_TRUE(outputs.Open(0)) << "the synthesizer stays for the next playing";
        EXPECT_EQ(1, world.nSynthsMade);
    }
    EXPECT_EQ(0u, world.setSources.size()) << "the stream lets the synthesizer go with the outputs";
}

TEST(SystemMidiOut, SynthesizerThatCannotStartGivesNoHandle)
{
    for (bool bSynthFails : {true, false})
    {
        SWorld world;
        world.bSynthFails = bSynthFails;
        world.bAudioFails = !bSynthFails;
        CSystemMidiOut outputs = MakeOutputs(world);
        EXPECT_FALSE(outputs.Open(0));
        EXPECT_EQ(0u, world.setSources.size());
        world.bSynthFails = world.bAudioFails = false;
        EXPECT_TRUE(outputs.Open(0)) << "a later open tries again";
    }
}
// A SoundFont that cannot be loaded (from the environment or a garbage setting) must not leave
// the program without its synthesizer: the system's General MIDI SoundFont plays, and the user
// is told which font failed and why. Only when that one fails too is there no synthesizer.
TEST(BuiltInSynthesizer, ABadSoundFontFallsBackToTheSystemOneAndSaysWhy)
{
    CTempFolder folder;
    std::ofstream(folder.File("junk.sf2")) << "RIFF, but no SoundFont";
    struct SCase
    {
        std::string strChosen;
        std::string strWhy;
    };
    const SCase cases[] = {
        {"/nonexistent.sf2", "No such file or directory"},
        {folder.Path(), "it is a folder"},
        {"/etc/passwd", "it is not a SoundFont"},
        {folder.File("junk.sf2"), "it is not a SoundFont"},
        {"", "no file named"},
    };
    for (const SCase& c : cases)
    {
        SCOPED_TRACE(c.strChosen);
        std::vector<std::string> arrTold;
        auto pSynth = CreateSynthWithFallback(
            c.strChosen, kSystemSoundFont, [&](const std::string& strText) { arrTold.push_back(strText); });
        EXPECT_NE(nullptr, pSynth);
        ASSERT_EQ(1u, arrTold.size());
        EXPECT_NE(std::string::npos,
                  arrTold[0].find("\"" + c.strChosen + "\" cannot be loaded (" + c.strWhy + ")"))
            << arrTold[0];
        EXPECT_NE(std::string::npos, arrTold[0].find(kSystemSoundFont)) << "and what plays instead";
    }

    std::vector<std::string> arrTold;
    auto Tell = [&](const std::string& strText) { arrTold.push_back(strText); };
    EXPECT_EQ(nullptr, CreateSynthWithFallback("/nonexistent.sf2", "/etc/passwd", Tell));
    ASSERT_EQ(1u, arrTold.size());
    EXPECT_NE(std::string::npos, arrTold[0].find("cannot play")) << arrTold[0];
    arrTold.clear();
    EXPECT_NE(nullptr, CreateSynthWithFallback(kSystemSoundFont, "/nonexistent.sf2", Tell));
    EXPECT_TRUE(arrTold.empty()) << "a good choice is not talked about";
}

// Every open of the built-in synthesizer tries again while it cannot start (here: no audio
// stream); the SoundFont that fails is told once for each choice, not at every try.
TEST(BuiltInSynthesizer, EachFailingSoundFontChoiceIsToldOnce)
{
    if (!std::filesystem::exists(kSystemSoundFont))
        GTEST_SKIP() << kSystemSoundFont << " is not installed";
    SWorld world;
    world.bAudioFails = true;
    std::string strChoice = "/nonexistent.sf2";
    std::vector<SSoundFontFallback> arrTold;
    auto pOut = MakeSystemMidiOut(
        [&world]() -> std::shared_ptr<IAudioOut> { return std::make_shared<CFakeAudio>(world); },
        [&] { return strChoice; }, [&](const SSoundFontFallback& fallback) { arrTold.push_back(fallback); });
    for (const char* pChoice :
         {"/nonexistent.sf2", "/nonexistent.sf2", "/etc/passwd", "/etc/passwd", "/nonexistent.sf2"})
    {
        strChoice = pChoice;
        EXPECT_EQ(nullptr, pOut->Open(0));
    }
    ASSERT_EQ(3u, arrTold.size());
    EXPECT_EQ("/nonexistent.sf2", arrTold[0].strChosen);
    EXPECT_EQ("No such file or directory", arrTold[0].strWhy);
    EXPECT_EQ(kSystemSoundFont, arrTold[0].strFallback);
    EXPECT_TRUE(arrTold[0].bFallbackLoaded);
    EXPECT_EQ("/etc/passwd", arrTold[1].strChosen);
    EXPECT_EQ("it is not a SoundFont", arrTold[1].strWhy);
    EXPECT_EQ("/nonexistent.sf2", arrTold[2].strChosen) << "a choice made again is a new choice";

    // Once it plays, a good choice says nothing.
    world.bAudioFails = false;
    strChoice = kSystemSoundFont;
    EXPECT_NE(nullptr, pOut->Open(0));
    EXPECT_EQ(3u, arrTold.size());
}

// Without a sound card our own thread pulls the mix: by the clock, at 44100 frames a second of
// its time, however long it runs, and not one buffer more once it is gone.
TEST(ClockPacedStream, PullsTheMixAtTheTrueRateOfTheClock)
{
    CManualClock clock;
    std::atomic<int64_t> nMixed{0};
    {
        CClockPacedStream stream(
            clock,
            [&](float* pStereo, int nFrames)
            {
                std::fill(pStereo, pStereo + 2 * nFrames, 0.0f);
                nMixed += nFrames;
            },
            44100, 128);
        const auto NeverDone = [] { return false; };
        for (int64_t nSeconds : {1, 2, 10})
        {
            ASSERT_TRUE(clock.AdvanceTo(nSeconds * 1000, NeverDone));
            // Buffer k is pulled at k x 128 / 44100 s, the first one at once.
            const int64_t nExpected = (nSeconds * 44100 / 128 + 1) * 128;
            EXPECT_EQ(nExpected, stream.Frames()) << nSeconds << " s";
            EXPECT_EQ(nExpected, nMixed.load());
        }
    }
    const int64_t nAtEnd = nMixed;
    ASSERT_TRUE(clock.AdvanceTo(11000, [] { return true; }));
    EXPECT_EQ(nAtEnd, nMixed.load());
}
} // namespace

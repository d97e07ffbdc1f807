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
#include <cmath>
#include <filesystem>
#include <fstream>
#include <map>
#include <set>
#include <unistd.h>

namespace
{
struct SWorld
{
    std::vector<uint32_t> arrSynth;                        // messages that reached the synthesizer
    std::map<std::string, std::vector<uint32_t>> mapNamed; // messages per port, by its name
    int nSynthsMade = 0;
    std::set<IAudioSource*> setSources;
    bool bSynthFails = false;
    bool bAudioFails = false;
    std::string strChoice = "first.sf2";                      // the SoundFont chosen now
    std::vector<std::string> arrLoads;                        // SoundFonts loaded into a playing synthesizer
    std::vector<std::string> arrPorts = {"Port A", "Port B"}; // the system's ports now, in its order
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
    CFakePortHandle(SWorld& world, int nPort) : m_world(world), m_strName(world.arrPorts[size_t(nPort)]) {}
    // Messages are kept by the port's name: the same port may be listed at another number later.
    void ShortMsg(uint32_t dwMessage) override { m_world.mapNamed[m_strName].push_back(dwMessage); }
    void Reset() override {}

  private:
    SWorld& m_world;
    std::string m_strName;
};

class CFakePorts : public IMidiPorts
{
  public:
    explicit CFakePorts(SWorld& world) : m_world(world) {}
    int Count() override { return static_cast<int>(m_world.arrPorts.size()); }
    std::string Name(int nPort) override
    {
        return nPort >= 0 && nPort < Count() ? m_world.arrPorts[size_t(nPort)] : "";
    }
    std::unique_ptr<IMidiOutHandle> Open(int nPort) override
    {
        return nPort >= 0 && nPort < Count() ? std::make_unique<CFakePortHandle>(m_world, nPort) : nullptr;
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
    EXPECT_EQ(std::vector<uint32_t>{0x103}, world.mapNamed["Port A"]);
    EXPECT_EQ(std::vector<uint32_t>{0x104}, world.mapNamed["Port B"]);
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

// The 48 resets a panic ends with on each device.
std::vector<uint32_t> Resets()
{
    std::vector<uint32_t> out;
    for (uint32_t nChannel = 0; nChannel < 16; ++nChannel)
        for (uint32_t nController : {123u, 121u, 120u})
            out.push_back(0xB0 | nChannel | nController << 8);
    return out;
}

std::vector<uint32_t> Then(std::vector<uint32_t> first, const std::vector<uint32_t>& second)
{
    first.insert(first.end(), second.begin(), second.end());
    return first;
}

// Every device opened during the run: the notes each open handle holds are switched off through
// it, then each device gets the resets once; a port closed since gets them through a handle of
// the panic's own, found by its name; a port that has gone is passed over.
TEST(SystemMidiOut, PanicSwitchesOffWhatEachHandleHoldsAndResetsEveryDeviceOpened)
{
    SWorld world;
    CSystemMidiOut outputs = MakeOutputs(world);
    outputs.Panic();
    EXPECT_EQ(0, world.nSynthsMade) << "nothing opened, nothing made, nothing sent";
    EXPECT_TRUE(world.mapNamed.empty());

    auto pPlayer = outputs.Open(0);
    auto pLive = outputs.Open(kMidiMapper);
    auto pPortB = outputs.Open(2);
    outputs.Open(1).reset(); // Port A played and closed
    ASSERT_TRUE(pPlayer && pLive && pPortB);
    pPlayer->ShortMsg(0x7F3C90);
    pPlayer->ShortMsg(0x7F4099); // drums
    pPlayer->ShortMsg(0x7F3C90); // struck twice: one off ends it for the panic
    pLive->ShortMsg(0x7F3E91);
    pLive->ShortMsg(0x3E81); // already off: not sent again
    pLive->ShortMsg(0x7F4391);
    pPortB->ShortMsg(0x604690);
    world.arrSynth.clear();
    world.mapNamed.clear();
    // Port A is listed at another number now, and a new port came before it.
    world.arrPorts = {"Port C", "Port B", "Port A"};

    outputs.Panic();
    EXPECT_EQ(Then({0x3C80, 0x4089, 0x4381}, Resets()), world.arrSynth);
    EXPECT_EQ(Then({0x4680}, Resets()), world.mapNamed["Port B"]);
    EXPECT_EQ(Resets(), world.mapNamed["Port A"]);
    EXPECT_EQ(0u, world.mapNamed.count("Port C")) << "never opened";

    // What the panic switched off is not switched off again when the handles close.
    world.arrSynth.clear();
    world.mapNamed.clear();
    pPlayer.reset();
    pLive.reset();
    pPortB.reset();
    EXPECT_TRUE(world.arrSynth.empty());
    EXPECT_TRUE(world.mapNamed["Port B"].empty());

    // Nothing open: the synthesizer gets the resets all the same; a port that has gone nothing.
    world.arrPorts = {"Port B"};
    outputs.Panic();
    EXPECT_EQ(Resets(), world.arrSynth);
    EXPECT_EQ(Resets(), world.mapNamed["Port B"]);
    EXPECT_EQ(0u, world.mapNamed.count("Port A"));
}

// The real synthesizer with a chord held by the sustain pedal (its note offs sent, so only the
// pedal keeps it) and a note held on another channel: after a panic no voice is left, and once
// the reverb has died away nothing renders any more.
TEST(BuiltInSynthesizer, PanicLeavesNothingRinging)
{
    for (bool bPanic : {false, true})
    {
        SCOPED_TRACE(bPanic);
        SWorld world;
        CFluidSynth* pSynth = nullptr;
        CSystemMidiOut outputs(
            [&pSynth]() -> std::unique_ptr<ISynthesizer>
            {
                auto p = CFluidSynth::Create(kSystemSoundFont);
                pSynth = p.get();
                return p;
            },
            [&world]() -> std::shared_ptr<IAudioOut> { return std::make_shared<CFakeAudio>(world); }, {});
        auto pHandle = outputs.Open(0);
        if (!pHandle)
            GTEST_SKIP() << kSystemSoundFont << " cannot be loaded";
        ASSERT_EQ(1u, world.setSources.size());
        IAudioSource* pSource = *world.setSources.begin();
        const auto Render = [&](int nFrames)
        {
            std::vector<float> block(2 * size_t(nFrames), 0.0f);
            pSource->Mix(block.data(), nFrames);
            return *std::max_element(block.begin(), block.end(),
                                     [](float a, float b) { return std::abs(a) < std::abs(b); });
        };
        pHandle->ShortMsg(0x7F40B0); // sustain down
        for (uint32_t nKey : {60u, 64u, 67u})
            pHandle->ShortMsg(0x7F0090 | nKey << 8);
        pHandle->ShortMsg(0x7F4891); // held on channel 1
        Render(4410);
        for (uint32_t nKey : {60u, 64u, 67u})
            pHandle->ShortMsg(0x0080 | nKey << 8);
        EXPECT_GT(std::abs(Render(4410)), 0.01f);

        if (bPanic)
            outputs.Panic();
        // A second for the reverb's tail of what was cut to die away; the chord itself, held by
        // the pedal, would still sound then.
        Render(44100);
        const float fLoudest = std::abs(Render(4410));
        if (bPanic)
        {
            EXPECT_EQ(0, pSynth->ActiveVoices());
            EXPECT_LT(fLoudest, 1e-4f);
        }
        else
        {
            EXPECT_GT(pSynth->ActiveVoices(), 0) << "the chord rings without a panic";
            EXPECT_GT(fLoudest, 0.01f);
        }
    }
}

TEST(MidiDevices, TheOutputChosenIsFoundByItsName)
{
    const std::vector<std::string> arrNames = {"MIDI Mapper", "Tonegrove Synth", "Port C", "Port A",
                                               "Port A"};
    struct SCase
    {
        int32_t nIndex;
        const char* pName;
        int32_t nFound;
        const char* pLost;
    };
    const SCase cases[] = {
        {1, "", 1, ""},                // no name stored: the index as it is
        {9, "", 9, ""},                // even one that names nothing
        {1, "Port A", 2, ""},          // Port A is listed at 2 now
        {3, "Port A", 3, ""},          // the second of two of one name stays
        {1, "Port C", 1, ""},          // where it was
        {-1, "MIDI Mapper", -1, ""},   //
        {5, "Tonegrove Synth", 0, ""}, //
        {2, "Port B", 0, "Port B"},    // gone: the built-in synthesizer
        {-2, "Port B", 0, "Port B"},   //
    };
    for (const SCase& c : cases)
    {
        const SOutputByName found = FindOutputByName(arrNames, c.nIndex, c.pName);
        EXPECT_EQ(c.nFound, found.nDeviceIndex) << c.nIndex << " " << c.pName;
        EXPECT_EQ(c.pLost, found.strLost) << c.nIndex << " " << c.pName;
    }
    EXPECT_EQ(-1, FindOutputByName({"MIDI Mapper", "Recorder"}, 0, "Port B").nDeviceIndex)
        << "no built-in synthesizer listed: the mapper";
    EXPECT_EQ(3, FindOutputByName({}, 3, "Port B").nDeviceIndex) << "no list at all: nothing to find it in";
    EXPECT_EQ("", FindOutputByName({}, 3, "Port B").strLost);
}
} // namespace

// The backends a program falls back on where a device is missing: they take what they are
// given and sound nothing, but keep time and keep values as the real ones do.
#include "platform/SystemMidiOut.h"
#include "platform/null/MemoryRegistryStore.h"
#include "platform/null/NullAudioOut.h"
#include "platform/null/NullMidiOut.h"
#include "platform/null/NullSynthesizer.h"
#include "tests/ManualClock.h"

#include <gtest/gtest.h>

#include <atomic>
#include <vector>

namespace
{

TEST(MemoryRegistryStore, KeepsWhatIsWrittenApartByRootKeyAndName)
{
    CMemoryRegistryStore store;
    const SRegValue text{EValueType::String, "440"};
    const SRegValue other{EValueType::Other, std::string("\0\x01", 2)};
    ASSERT_EQ(0, store.Write(ERoot::CurrentUser, "Software\\Tonegrove", "Frequency", text));
    ASSERT_EQ(0, store.Write(ERoot::LocalMachine, "Software\\Tonegrove", "Frequency", other));

    struct SCase
    {
        ERoot eRoot;
        const char* pszKey;
        const char* pszName;
        const SRegValue* pExpected; // null: nothing there
    };
    const SCase cases[] = {
        {ERoot::CurrentUser, "Software\\Tonegrove", "Frequency", &text},
        {ERoot::LocalMachine, "Software\\Tonegrove", "Frequency", &other},
        {ERoot::CurrentUser, "Software\\Tonegrove", "frequency", nullptr},
        {ERoot::CurrentUser, "Software", "Frequency", nullptr},
    };
    for (const SCase& c : cases)
    {
        SCOPED_TRACE(std::string(c.pszKey) + " " + c.pszName);
        const auto value = store.Read(c.eRoot, c.pszKey, c.pszName);
        ASSERT_EQ(c.pExpected != nullptr, value.has_value());
        if (c.pExpected)
        {
            EXPECT_EQ(c.pExpected->eType, value->eType);
            EXPECT_EQ(c.pExpected->strData, value->strData);
        }
    }

    // A second write replaces, several go in one call, a removal takes only its own value.
    ASSERT_EQ(0, store.WriteValues(
                     ERoot::CurrentUser, "Software\\Tonegrove",
                     {{"Frequency", {EValueType::String, "432"}}, {"Mode", {EValueType::String, "1"}}}));
    EXPECT_EQ("432", store.Read(ERoot::CurrentUser, "Software\\Tonegrove", "Frequency")->strData);
    EXPECT_EQ(0, store.Remove(ERoot::CurrentUser, "Software\\Tonegrove", "Frequency"));
    EXPECT_EQ(0, store.Remove(ERoot::CurrentUser, "Software\\Tonegrove", "Frequency")) << "gone already";
    EXPECT_FALSE(store.Read(ERoot::CurrentUser, "Software\\Tonegrove", "Frequency"));
    EXPECT_EQ("1", store.Read(ERoot::CurrentUser, "Software\\Tonegrove", "Mode")->strData);
    EXPECT_TRUE(store.Read(ERoot::LocalMachine, "Software\\Tonegrove", "Frequency"));
}

class CCountingSource : public IAudioSource
{
  public:
    void Mix(float* pStereo, int nFrames) override
    {
        // What the stream hands over is silence for every source to add to.
        for (int i = 0; i < 2 * nFrames; ++i)
            bDirty = bDirty || pStereo[i] != 0.0f;
        nFrames_ += nFrames;
    }
    std::atomic<int64_t> nFrames_{0};
    std::atomic<bool> bDirty{false};
};

// Without a sound card the sources are still pulled, at 44100 frames a second of the clock's
// time, and not once more after they are taken out or the stream is gone.
TEST(NullAudioOut, MixesItsSourcesAtTheTrueRateOfTheClock)
{
    CManualClock clock;
    CCountingSource first;
    CCountingSource second;
    const auto NeverDone = [] { return false; };
    int64_t nFirstAtEnd = 0;
    {
        CNullAudioOut out(std::shared_ptr<IClock>(&clock, [](IClock*) {}));
        ASSERT_TRUE(out.AddSource(&first));
        ASSERT_TRUE(clock.AdvanceTo(1000, NeverDone));
        // Buffer k of 512 frames is pulled at k x 512 / 44100 s, the first one at once.
        EXPECT_EQ((44100 / 512 + 1) * 512, first.nFrames_.load());

        // A source added later is pulled from then on, alongside the first.
        const int64_t nFirstBefore = first.nFrames_;
        ASSERT_TRUE(out.AddSource(&second));
        ASSERT_TRUE(clock.AdvanceTo(2000, NeverDone));
        EXPECT_EQ((2 * 44100 / 512 + 1) * 512, first.nFrames_.load());
        EXPECT_EQ(first.nFrames_ - nFirstBefore, second.nFrames_.load());

        const int64_t nSecondAtRemoval = second.nFrames_;
        out.RemoveSource(&second);
        ASSERT_TRUE(clock.AdvanceTo(3000, NeverDone));
        EXPECT_EQ(nSecondAtRemoval, second.nFrames_.load());
        EXPECT_EQ((3 * 44100 / 512 + 1) * 512, first.nFrames_.load());
        nFirstAtEnd = first.nFrames_;
    }
    ASSERT_TRUE(clock.AdvanceTo(4000, [] { return true; }));
    EXPECT_EQ(nFirstAtEnd, first.nFrames_.load());
    EXPECT_FALSE(first.bDirty.load());
}

TEST(NullSynthesizer, RendersSilenceOverWhatTheBufferHeld)
{
    CNullSynthesizer synth;
    synth.ShortMsg(0x7F3C90); // a note on: nothing sounds all the same
    std::vector<float> arrStereo(2 * 64, 0.5f);
    synth.Render(arrStereo.data(), 64);
    EXPECT_EQ(std::vector<float>(2 * 64, 0.0f), arrStereo);
    EXPECT_EQ(0, synth.ActiveVoices());
    EXPECT_FALSE(synth.LoadSoundFont("/usr/share/sounds/sf2/TimGM6mb.sf2"));
}

// "MIDI Mapper" opens, so that a player runs silently; no device number does.
TEST(NullMidiOut, OnlyTheMapperOpensAndItTakesEveryMessage)
{
    CNullMidiOut out;
    EXPECT_EQ(0, out.DeviceCount());
    EXPECT_EQ("", out.DeviceName(0));
    EXPECT_EQ(nullptr, out.Open(0));
    EXPECT_EQ(nullptr, out.Open(1));
    std::unique_ptr<IMidiOutHandle> pHandle = out.Open(kMidiMapper);
    ASSERT_NE(nullptr, pHandle);
    pHandle->ShortMsg(0x7F3C90);
    pHandle->Reset();

    CNullMidiPorts ports;
    EXPECT_EQ(0, ports.Count());
    EXPECT_EQ(nullptr, ports.Open(0));
}

// Where FluidSynth, the sound card and the MIDI ports are all missing, the program's outputs
// built from the null backends still offer the built-in device, and it plays silence on time.
TEST(NullBackends, MakeSystemOutputsThatOpenTheBuiltInDevice)
{
    CManualClock clock;
    auto pAudio = std::make_shared<CNullAudioOut>(std::shared_ptr<IClock>(&clock, [](IClock*) {}));
    CSystemMidiOut outputs([] { return std::make_unique<CNullSynthesizer>(); }, [pAudio] { return pAudio; },
                           [] { return std::make_unique<CNullMidiPorts>(); });
    EXPECT_EQ(1, outputs.DeviceCount());
    EXPECT_EQ(kBuiltInSynthName, outputs.DeviceName(0));
    std::unique_ptr<IMidiOutHandle> pDevice = outputs.Open(0);
    ASSERT_NE(nullptr, pDevice);
    ASSERT_NE(nullptr, outputs.Open(kMidiMapper));
    EXPECT_EQ(nullptr, outputs.Open(1));
    pDevice->ShortMsg(0x7F3C90);
    ASSERT_TRUE(clock.AdvanceTo(100, [] { return false; }));
}

} // namespace

// The offline render: each record reaches the synthesizer on the frame of its millisecond, the
// file gets every frame up to the end of the release, and a full disk stops it.
#include "platform/fluidsynth/FluidSynth.h"
#include "sound/ProjectRender.h"
#include "tests/MediaFixtures.h"
#include "tests/ProjectFixtures.h"
#include "tests/TestSupport.h"
#include "tests/ToneFixtures.h"

#include <gtest/gtest.h>

namespace
{
constexpr int kRate = 44100;

// Notes the frame each message arrived on; sounds while a note is on, plus a release.
class CFrameSynth : public ISynthesizer
{
  public:
    explicit CFrameSynth(int64_t nReleaseFrames) : m_nReleaseFrames(nReleaseFrames) {}
    void ShortMsg(uint32_t dwMessage) override
    {
        m_arrArrivals.emplace_back(m_nFrame, dwMessage);
        if ((dwMessage & 0xF0) == 0x90)
            ++m_nOn;
        else if ((dwMessage & 0xF0) == 0x80 && m_nOn > 0 && --m_nOn == 0)
            m_nQuietFrom = m_nFrame + m_nReleaseFrames;
    }
    void Render(float* pStereo, int nFrames) override
    {
        std::fill(pStereo, pStereo + 2 * nFrames, 0.0f);
        m_nFrame += nFrames;
    }
    int ActiveVoices() override { return m_nOn > 0 || m_nFrame < m_nQuietFrom ? 1 : 0; }

    std::vector<std::pair<int64_t, uint32_t>> m_arrArrivals;

  private:
    int64_t m_nReleaseFrames;
    int64_t m_nFrame = 0;
    int m_nOn = 0;
    int64_t m_nQuietFrom = 0;
};

class CCountingWriter : public IAudioFileWriter
{
  public:
    explicit CCountingWriter(int64_t nRoom = INT64_MAX) : m_nRoom(nRoom) {}
    bool Write(const float*, int nFrames) override
    {
        m_nFrames += nFrames;
        return m_nFrames <= m_nRoom;
    }
    bool Close() override { return true; }
    int64_t m_nFrames = 0;

  private:
    int64_t m_nRoom;
};

using TArrivals = std::vector<std::pair<int64_t, uint32_t>>;

// What every end of a render sends on channel 0, the only one these projects use: sustain,
// sostenuto and soft pedal up (the release), then all notes off and all sound off (the cut).
TArrivals Release0(int64_t nFrame)
{
    return {{nFrame, 0x0040B0}, {nFrame, 0x0042B0}, {nFrame, 0x0043B0}};
}
TArrivals Cut0(int64_t nFrame)
{
    return {{nFrame, 0x007BB0}, {nFrame, 0x0078B0}};
}
using ::operator+;
TArrivals operator+(TArrivals a, const TArrivals& b)
{
    a.insert(a.end(), b.begin(), b.end());
    return a;
}

TEST(ProjectRender, EventsLandOnTheFrameOfTheirMillisecond)
{
    CScriptedPrompter prompter;
    auto odd = MakeHeader(1);
    AppendEventRecord(odd, 1, 0x7F3C90);   // 44.1 frames: frame 44
    AppendEventRecord(odd, 22, 0x3C80);    // 23 ms: 1014.3, frame 1014
    AppendEventRecord(odd, 977, 0x7F3C90); // 1000 ms: frame 44100 exactly
    AppendEventRecord(odd, 0, 0x3C80);
    struct SCase
    {
        const char* pName;
        std::vector<uint8_t> project;
        std::vector<std::pair<int64_t, uint32_t>> arrivals;
        int64_t nFrames; // written, the release of 441 frames included
    };
    const SCase cases[] = {
        // The release before the closing silence, again after it, then the cut.
        {"one note 0.0, its closing silence", OneNoteProject(0),
         TArrivals{{4410, 0x7F3C90}, {26460, 0x3C80}} + Release0(26460) + Release0(57330) + Cut0(57330),
         57330},
        // The cut comes once the release has died away.
        {"one note 0.1", OneNoteProject(1),
         TArrivals{{4410, 0x7F3C90}, {26460, 0x3C80}} + Release0(26460) + Cut0(26460 + 441), 26460 + 441},
        {"odd milliseconds", odd,
         TArrivals{{44, 0x7F3C90}, {1014, 0x3C80}, {44100, 0x7F3C90}, {44100, 0x3C80}} + Release0(44100) +
             Cut0(44100 + 441),
         44100 + 441},
    };
    for (const SCase& c : cases)
    {
        SCOPED_TRACE(c.pName);
        CFrameSynth synth(441);
        CCountingWriter writer;
        const SRenderResult result = RenderProject(prompter, c.project, synth, writer, kRate, {});
        EXPECT_EQ(EPlayEnd::Finished, result.eEnd);
        EXPECT_EQ(c.arrivals, synth.m_arrArrivals);
        EXPECT_EQ(c.nFrames, result.nFrames);
        EXPECT_EQ(c.nFrames, writer.m_nFrames);
        EXPECT_FALSE(result.bWriteFailed);
    }
}

TEST(ProjectRender, EndlessReleaseFullFileAndEndlessDelaysAreCut)
{
    CScriptedPrompter prompter;
    auto held = MakeHeader(1);
    AppendEventRecord(held, 100, 0x7F3C90);
    CFrameSynth endless(INT64_MAX / 2);
    CCountingWriter writer;
    SRenderResult result = RenderProject(prompter, held, endless, writer, kRate, {});
    const int64_t nReleaseEnd = 4410 + static_cast<int64_t>(kMaxReleaseMs) * kRate / 1000;
    EXPECT_EQ(nReleaseEnd, result.nFrames);
    EXPECT_EQ((TArrivals{{4410, 0x7F3C90}, {4410, 0x3C80}} + Release0(4410) + Cut0(nReleaseEnd)),
              endless.m_arrArrivals)
        << "the note left on is switched off, and what still sounds is cut at the end";

    // 60 s of project into a file that takes one second: the render stops, it does not go on.
    auto longOne = MakeHeader(1);
    AppendEventRecord(longOne, 100, 0x7F3C90);
    AppendEventRecord(longOne, 60000, 0x3C80);
    CFrameSynth synth(0);
    CCountingWriter small(kRate);
    result = RenderProject(prompter, longOne, synth, small, kRate, {});
    EXPECT_TRUE(result.bWriteFailed);
    EXPECT_LT(result.nFrames, 2 * kRate);
    EXPECT_EQ(EPlayEnd::Stopped, result.eEnd);

    // Delays of 24 days each: the render stops at its limit (here 2 s) and the note is let go.
    auto slow = MakeHeader(1);
    AppendEventRecord(slow, 100, 0x7F3C90);
    AppendEventRecord(slow, INT32_MAX, 0x3C80);
    AppendEventRecord(slow, INT32_MAX, 0x7F3C90);
    CFrameSynth patient(0);
    CCountingWriter roomy;
    result = RenderProject(prompter, slow, patient, roomy, kRate, {}, 2000);
    EXPECT_TRUE(result.bTooLong);
    EXPECT_FALSE(result.bWriteFailed);
    EXPECT_EQ(2 * kRate, result.nFrames);
    EXPECT_EQ((TArrivals{{4410, 0x7F3C90}, {2 * kRate, 0x3C80}} + Release0(2 * kRate) + Cut0(2 * kRate)),
              patient.m_arrArrivals);
}

TEST(ProjectRender, DamagedProjectRendersWhatCameBeforeAndTells)
{
    CScriptedPrompter prompter;
    auto damaged = DamagedOneNoteProject(1);
    CFrameSynth synth(0);
    CCountingWriter writer;
    const SRenderResult result = RenderProject(prompter, damaged, synth, writer, kRate, {});
    EXPECT_EQ(EPlayEnd::Damaged, result.eEnd);
    EXPECT_EQ((TArrivals{{4410, 0x7F3C90}, {26460, 0x3C80}} + Release0(26460) + Cut0(26460)),
              synth.m_arrArrivals);
    EXPECT_EQ(std::vector<std::string>{"Ошибка воспроизведения!|TGP - файл поврежден, и поэтому его "
                                       "воспроизведение невозможно!"},
              prompter.Lines());
}
// A note held by the sostenuto pedal has had its note off; only the pedal going up ends it. With
// the real synthesizer the render must neither write seconds of it nor leave it sounding.
TEST(ProjectRender, ANoteHeldBySostenutoEndsWithTheRender)
{
    CScriptedPrompter prompter;
    std::unique_ptr<CFluidSynth> pSynth = CFluidSynth::Create(kSystemSoundFont);
    ASSERT_TRUE(pSynth) << kSystemSoundFont;
    auto project = MakeHeader(1);
    AppendEventRecord(project, 100, 0x7F3C92); // note 60 on, channel 2
    AppendEventRecord(project, 0, 0x7F42B2);   // sostenuto down: it holds note 60
    AppendEventRecord(project, 100, 0x3C82);   // note off: held on by the pedal
    AppendEventRecord(project, 0, 0x7F3E95);   // a note on channel 5, left on
    CCountingWriter writer;
    const SRenderResult result = RenderProject(prompter, project, *pSynth, writer, kRate, {});
    EXPECT_EQ(EPlayEnd::Finished, result.eEnd);
    EXPECT_LT(result.nFrames, 200 * kRate / 1000 + kMaxReleaseMs * kRate / 1000 / 2)
        << "the release rings out, not the held note";
    EXPECT_EQ(0, pSynth->ActiveVoices()) << "nothing sounds on after the render";
}

// A MID file: each message on the frame of its microsecond, the file's own end (after its last
// message) rendered, then the release and the cut on the channels it used.
TEST(ProjectRender, MidiFileMessagesLandOnTheirFramesAndTheFileEndsSilenced)
{
    // 480 ticks a quarter at 500000 us: a tick is 1041.67 us.
    const TBytes bytes = MakeMidi(0, 480,
                                  {CMidiTrack()
                                       .Event(0, {0xC3, 5})
                                       .Event(96, {0x93, 60, 100}) // 100 ms: frame 4410
                                       .Event(1, {0x93, 64, 100})  // 101041 us: frame 4455
                                       .Event(383, {0x83, 60, 0})  // 500 ms: frame 22050
                                       .End(480)});                // 1000 ms
    SMidiFile file;
    std::string strError;
    ASSERT_TRUE(ReadMidiFile(bytes, file, strError)) << strError;
    CFrameSynth synth(441);
    CCountingWriter writer;
    const SRenderResult result = RenderMidiFile(file, synth, writer, kRate, {});
    EXPECT_EQ(EPlayEnd::Finished, result.eEnd);
    EXPECT_EQ((TArrivals{{0, 0x05C3},
                         {4410, 0x643C93},
                         {4455, 0x644093},
                         {22050, 0x3C83},
                         {44100, 0x4083}, // the note the file left on
                         {44100, 0x0040B3},
                         {44100, 0x0042B3},
                         {44100, 0x0043B3},
                         {44100 + 441, 0x007BB3},
                         {44100 + 441, 0x0078B3}}),
              synth.m_arrArrivals);
    EXPECT_EQ(44100 + 441, result.nFrames);
}

// Ctrl+C during a render: it stops within a block, keeps what it wrote and silences at once,
// for projects and MID files alike.
TEST(ProjectRender, CancelStopsAtOnceAndSilences)
{
    CScriptedPrompter prompter;
    auto project = MakeHeader(1);
    AppendEventRecord(project, 100, 0x7F3C90);
    AppendEventRecord(project, 60000, 0x3C80);
    SMidiFile file;
    std::string strError;
    ASSERT_TRUE(ReadMidiFile(MakeMidi(0, 480, {CMidiTrack().Event(96, {0x90, 60, 127}).End(480 * 120)}), file,
                             strError))
        << strError;
    for (const bool bMidi : {false, true})
    {
        SCOPED_TRACE(bMidi ? "MID file" : "project");
        CFrameSynth synth(INT64_MAX / 2);
        CCountingWriter writer;
        int nAsked = 0;
        const std::function<bool()> fCancel = [&nAsked] { return ++nAsked > 20; }; // a few blocks in
        const SRenderResult result =
            bMidi ? RenderMidiFile(file, synth, writer, kRate, {}, kMaxRenderMs, fCancel)
                  : RenderProject(prompter, project, synth, writer, kRate, {}, kMaxRenderMs, fCancel);
        EXPECT_TRUE(result.bCancelled);
        EXPECT_EQ(EPlayEnd::Stopped, result.eEnd);
        EXPECT_GT(result.nFrames, 4410);
        EXPECT_LE(result.nFrames, 20 * 4096) << "no block rendered once it was cancelled";
        EXPECT_EQ(result.nFrames, writer.m_nFrames);
        ASSERT_GE(synth.m_arrArrivals.size(), 2u);
        const TArrivals tail(synth.m_arrArrivals.end() - 2, synth.m_arrArrivals.end());
        EXPECT_EQ(Cut0(result.nFrames), tail);
        EXPECT_EQ(1, std::count(synth.m_arrArrivals.begin(), synth.m_arrArrivals.end(),
                                std::pair<int64_t, uint32_t>{result.nFrames, 0x3C80}))
            << "the note sounding is switched off where the render stopped";
    }
}
} // namespace

// Each tone fills exactly the frames of its duration from its start, with the settings in force;
// a tone without voices is the wave's constant level and starts the next voices from phase 0;
// after the last tone, and before the next event, the oscillator adds nothing.
TEST(ProjectRender, TonesFillTheFramesOfTheirDuration)
{
    const VoiceRatioTable ratios = ComputeVoiceRatios(ComputeSemitones());
    auto project = MakeHeader(1);
    uint8_t voice11[kMaskBytes] = {0, 0x08, 0, 0, 0, 0}, none[kMaskBytes] = {},
            voice24[kMaskBytes] = {0, 0, 0, 1, 0, 0};
    AppendToneRecord(project, voice11, 100);           // frames 0 .. 4409, the settings given
    AppendToneRecord(project, none, 51);               // 4410 .. 6658 (151 ms: 6659.1)
    AppendSettingsRecord(project, 330, 2, 1000, 1, 0); // "B", "Sin", volume 2
    AppendToneRecord(project, voice24, 149);           // 6659 .. 13229
    AppendEventRecord(project, 10, 0x7F3C90);          // at 310 ms: frame 13671
    const SOscSettings given{440, 0.5f, 1, 0, 0};
    CScriptedPrompter prompter;
    CFrameSynth synth(0);
    CFrameWriter writer;
    const SRenderResult result =
        RenderProject(prompter, project, synth, writer, kRate, {}, kMaxRenderMs, {}, given);
    ASSERT_EQ(EPlayEnd::Finished, result.eEnd);
    const std::vector<float>& frames = writer.m_arrStereo;
    ASSERT_GE(frames.size(), 2u * 13671);

    std::vector<int> expected = ToneSamples(given, ratios[11], 4410);
    expected.resize(6659, 128);
    const std::vector<int> second = ToneSamples({330, 2, 1, 1, 0}, ratios[24], 13230 - 6659);
    expected.insert(expected.end(), second.begin(), second.end());
    expected.resize(13671, 128);
    for (size_t i = 0; i < expected.size(); ++i)
    {
        ASSERT_EQ(static_cast<float>(expected[i] - 128) / 128.0f, frames[2 * i]) << "frame " << i;
        ASSERT_EQ(frames[2 * i], frames[2 * i + 1]) << "frame " << i;
    }
    EXPECT_EQ((TArrivals{{13671, 0x7F3C90}}),
              TArrivals(synth.m_arrArrivals.begin(), synth.m_arrArrivals.begin() + 1));
}

// The offline render: each record reaches the synthesizer on the frame of its millisecond, the
// file gets every frame up to the end of the release, and a full disk stops it.
#include "sound/ProjectRender.h"
#include "tests/ProjectFixtures.h"
#include "tests/TestSupport.h"

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

TEST(ProjectRender, EventsLandOnTheFrameOfTheirMillisecond)
{
    auto odd = MakeHeader(1);
    AppendEventRecord(odd, 1, 0x7F3C90);  // 44.1 frames: frame 44
    AppendEventRecord(odd, 22, 0x3C80);   // 23 ms: 1014.3, frame 1014
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
        {"one note 0.0, its closing silence", OneNoteProject(0), {{4410, 0x7F3C90}, {26460, 0x3C80}}, 57330},
        {"one note 0.1", OneNoteProject(1), {{4410, 0x7F3C90}, {26460, 0x3C80}}, 26460 + 441},
        {"odd milliseconds", odd, {{44, 0x7F3C90}, {1014, 0x3C80}, {44100, 0x7F3C90}, {44100, 0x3C80}}, 44100 + 441},
    };
    for (const SCase& c : cases)
    {
        SCOPED_TRACE(c.pName);
        CFrameSynth synth(441);
        CCountingWriter writer;
        const SRenderResult result = RenderProject(c.project, synth, writer, kRate, {});
        EXPECT_EQ(EPlayEnd::Finished, result.eEnd);
        EXPECT_EQ(c.arrivals, synth.m_arrArrivals);
        EXPECT_EQ(c.nFrames, result.nFrames);
        EXPECT_EQ(c.nFrames, writer.m_nFrames);
        EXPECT_FALSE(result.bWriteFailed);
    }
}

TEST(ProjectRender, EndlessReleaseFullFileAndEndlessDelaysAreCut)
{
    auto held = MakeHeader(1);
    AppendEventRecord(held, 100, 0x7F3C90);
    CFrameSynth endless(INT64_MAX / 2);
    CCountingWriter writer;
    SRenderResult result = RenderProject(held, endless, writer, kRate, {});
    EXPECT_EQ(4410 + static_cast<int64_t>(kMaxReleaseMs) * kRate / 1000, result.nFrames);
    EXPECT_EQ(0x3C80u, endless.m_arrArrivals.back().second) << "the note left on is switched off";

    // 60 s of project into a file that takes one second: the render stops, it does not go on.
    auto longOne = MakeHeader(1);
    AppendEventRecord(longOne, 100, 0x7F3C90);
    AppendEventRecord(longOne, 60000, 0x3C80);
    CFrameSynth synth(0);
    CCountingWriter small(kRate);
    result = RenderProject(longOne, synth, small, kRate, {});
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
    result = RenderProject(slow, patient, roomy, kRate, {}, 2000);
    EXPECT_TRUE(result.bTooLong);
    EXPECT_FALSE(result.bWriteFailed);
    EXPECT_EQ(2 * kRate, result.nFrames);
    EXPECT_EQ((std::vector<std::pair<int64_t, uint32_t>>{{4410, 0x7F3C90}, {2 * kRate, 0x3C80}}), patient.m_arrArrivals);
}

TEST(ProjectRender, DamagedProjectRendersWhatCameBeforeAndTells)
{
    CScriptedPrompter prompter;
    auto damaged = OneNoteProject(1);
    damaged[39] = 'X'; // the note off's marker
    CFrameSynth synth(0);
    CCountingWriter writer;
    const SRenderResult result = RenderProject(damaged, synth, writer, kRate, {});
    EXPECT_EQ(EPlayEnd::Damaged, result.eEnd);
    EXPECT_EQ((std::vector<std::pair<int64_t, uint32_t>>{{4410, 0x7F3C90}, {26460, 0x3C80}}), synth.m_arrArrivals);
    EXPECT_EQ(std::vector<std::string>{"Ошибка воспроизведения!|TGP - файл поврежден, и поэтому его "
                                       "воспроизведение невозможно!"},
              prompter.Lines());
}
} // namespace

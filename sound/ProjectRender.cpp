#include "sound/ProjectRender.h"

#include "project/ProjectPlayer.h"

#include <algorithm>
#include <vector>

using std::chrono::nanoseconds;

namespace
{
constexpr int kBlockFrames = 4096;

// The synthesizer and the file, advanced together frame by frame.
class CRenderTarget
{
  public:
    CRenderTarget(ISynthesizer& synth, IAudioFileWriter& writer, int nRate,
                  const std::function<void(int64_t)>& fProgress, int64_t nMaxMs)
        : m_synth(synth), m_writer(writer), m_nRate(nRate), m_fProgress(fProgress),
          m_nMaxFrames(nMaxMs / 1000 * nRate + nMaxMs % 1000 * nRate / 1000), m_arrBlock(2 * kBlockFrames)
    {
    }

    // The frame a time falls on: whole seconds and the rest apart, so no product overflows.
    int64_t FrameOf(nanoseconds t) const
    {
        const int64_t nNs = std::max<int64_t>(t.count(), 0);
        return nNs / 1000000000 * m_nRate + nNs % 1000000000 * m_nRate / 1000000000;
    }

    // False once the file refuses frames or the render has grown too long.
    bool RenderTo(int64_t nFrame)
    {
        if (nFrame > m_nMaxFrames)
        {
            nFrame = m_nMaxFrames;
            m_bTooLong = true;
        }
        while (m_nFrames < nFrame && !m_bFailed)
        {
            const int nPiece = static_cast<int>(std::min<int64_t>(nFrame - m_nFrames, kBlockFrames));
            m_synth.Render(m_arrBlock.data(), nPiece);
            m_bFailed = !m_writer.Write(m_arrBlock.data(), nPiece);
            m_nFrames += nPiece;
            if (m_fProgress && m_nFrames - m_nLastReport >= m_nRate / 10)
            {
                m_nLastReport = m_nFrames;
                m_fProgress(m_nFrames * 1000 / m_nRate);
            }
        }
        return !m_bFailed && !m_bTooLong;
    }

    ISynthesizer& Synth() { return m_synth; }
    int64_t Frames() const { return m_nFrames; }
    bool Failed() const { return m_bFailed; }
    bool TooLong() const { return m_bTooLong; }
    int Rate() const { return m_nRate; }

  private:
    ISynthesizer& m_synth;
    IAudioFileWriter& m_writer;
    int m_nRate;
    const std::function<void(int64_t)>& m_fProgress;
    int64_t m_nMaxFrames;
    std::vector<float> m_arrBlock;
    int64_t m_nFrames = 0;
    int64_t m_nLastReport = 0;
    bool m_bFailed = false;
    bool m_bTooLong = false;
};

// Time is what has been rendered: a sleep renders up to its wake time.
class CRenderClock : public IClock
{
  public:
    CRenderClock(CRenderTarget& target, std::atomic<bool>& bStop) : m_target(target), m_bStop(bStop) {}
    nanoseconds Now() override { return m_tNow; }
    void SleepUntil(nanoseconds tWake, const std::atomic<bool>*) override
    {
        if (!m_target.RenderTo(m_target.FrameOf(tWake)))
            m_bStop = true; // a full disk, or a project of endless delays, ends it as a stop would
        m_tNow = std::max(m_tNow, tWake);
    }
    void Interrupt() override {}

  private:
    CRenderTarget& m_target;
    std::atomic<bool>& m_bStop;
    nanoseconds m_tNow{0};
};

class CRenderHandle : public IMidiOutHandle
{
  public:
    explicit CRenderHandle(ISynthesizer& synth) : m_synth(synth) {}
    void ShortMsg(uint32_t dwMessage) override { m_synth.ShortMsg(dwMessage); }
    void Reset() override {}

  private:
    ISynthesizer& m_synth;
};

// Every device number is the synthesizer the render was given.
class CRenderMidiOut : public IMidiOut
{
  public:
    explicit CRenderMidiOut(ISynthesizer& synth) : m_synth(synth) {}
    int DeviceCount() override { return 1; }
    std::string DeviceName(int) override { return {}; }
    std::unique_ptr<IMidiOutHandle> Open(int) override { return std::make_unique<CRenderHandle>(m_synth); }

  private:
    ISynthesizer& m_synth;
};
} // namespace

SRenderResult RenderProject(std::span<const uint8_t> project, ISynthesizer& synth, IAudioFileWriter& writer,
                            int nRate, const std::function<void(int64_t nDoneMs)>& fProgress, int64_t nMaxMs)
{
    CProjectPlayer player;
    player.SetData(project);
    CRenderTarget target(synth, writer, nRate, fProgress, nMaxMs);
    CRenderClock clock(target, player.m_bStop);
    CRenderMidiOut midiOut(synth);

    SRenderResult result;
    result.eEnd = CProjectPlayback(player, midiOut, clock).PlayThread(project, 0);
    // The notes were switched off when the playing ended; what is left is their release.
    const int64_t nMaxFrame = target.Frames() + static_cast<int64_t>(kMaxReleaseMs) * nRate / 1000;
    while (!target.Failed() && !target.TooLong() && target.Frames() < nMaxFrame && synth.ActiveVoices() > 0)
        target.RenderTo(std::min(nMaxFrame, target.Frames() + nRate / 100));
    result.bWriteFailed = target.Failed();
    result.bTooLong = target.TooLong();
    result.nFrames = target.Frames();
    return result;
}

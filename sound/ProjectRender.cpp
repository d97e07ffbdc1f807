#include "sound/ProjectRender.h"

#include "platform/SoundingNotes.h"
#include "project/ProjectPlayer.h"

#include <algorithm>
#include <vector>

using std::chrono::nanoseconds;

namespace
{
constexpr int kBlockFrames = 4096;

// The synthesizer and the file, advanced together frame by frame.
class CRenderTarget : public IAudioOut
{
  public:
    CRenderTarget(ISynthesizer& synth, IAudioFileWriter& writer, int nRate,
                  const std::function<void(int64_t)>& fProgress, int64_t nMaxMs,
                  const std::function<bool()>& fCancel)
        : m_synth(synth), m_writer(writer), m_nRate(nRate), m_fProgress(fProgress), m_fCancel(fCancel),
          m_nMaxFrames(nMaxMs / 1000 * nRate + nMaxMs % 1000 * nRate / 1000), m_arrBlock(2 * kBlockFrames)
    {
    }

    // The frame a time falls on: whole seconds and the rest apart, so no product overflows.
    int64_t FrameOf(nanoseconds t) const
    {
        const int64_t nNs = std::max<int64_t>(t.count(), 0);
        return nNs / 1000000000 * m_nRate + nNs % 1000000000 * m_nRate / 1000000000;
    }

    // False once the file refuses frames, the render has grown too long or is cancelled.
    bool RenderTo(int64_t nFrame)
    {
        if (nFrame > m_nMaxFrames)
        {
            nFrame = m_nMaxFrames;
            m_bTooLong = true;
        }
        while (m_nFrames < nFrame && !m_bFailed && !m_bCancelled)
        {
            if (m_fCancel && m_fCancel())
            {
                m_bCancelled = true;
                break;
            }
            const int nPiece = static_cast<int>(std::min<int64_t>(nFrame - m_nFrames, kBlockFrames));
            m_synth.Render(m_arrBlock.data(), nPiece);
            for (IAudioSource* pSource : m_arrSources)
                pSource->Mix(m_arrBlock.data(), nPiece);
            m_bFailed = !m_writer.Write(m_arrBlock.data(), nPiece);
            m_nFrames += nPiece;
            if (m_fProgress && m_nFrames - m_nLastReport >= m_nRate / 10)
            {
                m_nLastReport = m_nFrames;
                m_fProgress(m_nFrames * 1000 / m_nRate);
            }
        }
        return !Ended();
    }

    // The render's own stream: what joins it is mixed into the synthesizer's frames.
    bool AddSource(IAudioSource* pSource) override
    {
        m_arrSources.push_back(pSource);
        return true;
    }
    void RemoveSource(IAudioSource* pSource) override { std::erase(m_arrSources, pSource); }

    // Nothing more may be rendered.
    bool Ended() const { return m_bFailed || m_bTooLong || m_bCancelled; }
    int64_t Frames() const { return m_nFrames; }
    int Rate() const { return m_nRate; }

    void Fill(SRenderResult& result) const
    {
        result.bWriteFailed = m_bFailed;
        result.bTooLong = m_bTooLong;
        result.bCancelled = m_bCancelled;
        result.nFrames = m_nFrames;
    }

  private:
    ISynthesizer& m_synth;
    IAudioFileWriter& m_writer;
    int m_nRate;
    const std::function<void(int64_t)>& m_fProgress;
    const std::function<bool()>& m_fCancel;
    int64_t m_nMaxFrames;
    std::vector<float> m_arrBlock;
    std::vector<IAudioSource*> m_arrSources;
    int64_t m_nFrames = 0;
    int64_t m_nLastReport = 0;
    bool m_bFailed = false;
    bool m_bTooLong = false;
    bool m_bCancelled = false;
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
            m_bStop = true; // a full disk, endless delays or a cancel end it as a stop would
        m_tNow = std::max(m_tNow, tWake);
    }
    void Interrupt() override {}

  private:
    CRenderTarget& m_target;
    std::atomic<bool>& m_bStop;
    nanoseconds m_tNow{0};
};

// The synthesizer as an output; every message it takes is followed, whichever handle sent it,
// so that the render can silence at its end what the playing left.
class CRenderHandle : public IMidiOutHandle
{
  public:
    CRenderHandle(ISynthesizer& synth, CSoundingNotes& notes) : m_synth(synth), m_notes(notes) {}
    void ShortMsg(uint32_t dwMessage) override
    {
        m_synth.ShortMsg(dwMessage);
        m_notes.Follow(dwMessage);
    }
    void Reset() override {}

  private:
    ISynthesizer& m_synth;
    CSoundingNotes& m_notes;
};

// Every device number is the synthesizer the render was given.
class CRenderMidiOut : public IMidiOut
{
  public:
    CRenderMidiOut(ISynthesizer& synth, CSoundingNotes& notes) : m_synth(synth), m_notes(notes) {}
    int DeviceCount() override { return 1; }
    std::string DeviceName(int) override { return {}; }
    std::unique_ptr<IMidiOutHandle> Open(int) override
    {
        return std::make_unique<CRenderHandle>(m_synth, m_notes);
    }
    // The render's one thread plays and would panic alike; the messages go into the render.
    void Panic() override
    {
        CRenderHandle handle(m_synth, m_notes);
        for (uint32_t dwMessage : m_notes.NoteOffMessages())
            handle.ShortMsg(dwMessage);
        for (uint32_t dwMessage : PanicResetMessages())
            handle.ShortMsg(dwMessage);
        m_notes.Clear();
    }

  private:
    ISynthesizer& m_synth;
    CSoundingNotes& m_notes;
};

// The end of a render that played to its end: the last notes released (note offs, every pedal
// up), their release rendered until every voice has died away or for kMaxReleaseMs at most, then
// every channel used cut, so that nothing is left sounding in the synthesizer either. A render
// that cannot go on is cut at once.
void RingOutAndSilence(CRenderTarget& target, ISynthesizer& synth, CSoundingNotes& notes)
{
    CRenderHandle handle(synth, notes);
    if (!target.Ended())
    {
        for (uint32_t dwMessage : notes.ReleaseMessages())
            handle.ShortMsg(dwMessage);
        const int64_t nMaxFrame =
            target.Frames() + static_cast<int64_t>(kMaxReleaseMs) * target.Rate() / 1000;
        while (!target.Ended() && target.Frames() < nMaxFrame && synth.ActiveVoices() > 0)
            target.RenderTo(std::min(nMaxFrame, target.Frames() + target.Rate() / 100));
        for (uint32_t dwMessage : notes.CutMessages())
            handle.ShortMsg(dwMessage);
        notes.Clear();
        return;
    }
    SilenceOutput(handle, notes);
}
} // namespace

SRenderResult RenderProject(IPrompter& prompter, std::span<const uint8_t> project, ISynthesizer& synth,
                            IAudioFileWriter& writer, int nRate,
                            const std::function<void(int64_t nDoneMs)>& fProgress, int64_t nMaxMs,
                            const std::function<bool()>& fCancel, const SOscSettings& osc)
{
    CRenderTarget target(synth, writer, nRate, fProgress, nMaxMs, fCancel);
    // Made after the target, so that its tone output leaves the target's stream before the
    // target ends.
    CProjectPlayer player(prompter);
    player.SetData(project);
    CRenderClock clock(target, player.m_bStop);
    CSoundingNotes notes;
    CRenderMidiOut midiOut(synth, notes);

    SRenderResult result;
    // The target is the tones' stream for as long as the player lives (it is made after it).
    auto fStream = [&target] { return std::shared_ptr<IAudioOut>(std::shared_ptr<void>(), &target); };
    result.eEnd = CProjectPlayback(player, midiOut, clock, true, {fStream, osc}).PlayThread(project, 0);
    // Any other end has silenced the output already.
    if (result.eEnd == EPlayEnd::Finished || result.eEnd == EPlayEnd::UnknownType)
        RingOutAndSilence(target, synth, notes);
    target.Fill(result);
    return result;
}

SRenderResult RenderMidiFile(const SMidiFile& file, ISynthesizer& synth, IAudioFileWriter& writer, int nRate,
                             const std::function<void(int64_t nDoneMs)>& fProgress, int64_t nMaxMs,
                             const std::function<bool()>& fCancel)
{
    CRenderTarget target(synth, writer, nRate, fProgress, nMaxMs, fCancel);
    CSoundingNotes notes;
    CRenderHandle handle(synth, notes);
    auto FrameOfUs = [&](uint64_t nUs)
    {
        return target.FrameOf(
            std::chrono::microseconds(static_cast<int64_t>(std::min<uint64_t>(nUs, INT64_MAX / 1000))));
    };
    SRenderResult result;
    result.eEnd = EPlayEnd::Stopped;
    bool bWhole = true;
    for (const SMidiEvent& event : file.events)
    {
        if (!target.RenderTo(FrameOfUs(event.nTimeUs)))
        {
            bWhole = false;
            break;
        }
        handle.ShortMsg(event.dwMessage);
    }
    // The file lasts until its longest track ends, which may be after its last message.
    if (bWhole && target.RenderTo(FrameOfUs(file.nLengthUs)))
        result.eEnd = EPlayEnd::Finished;
    RingOutAndSilence(target, synth, notes);
    target.Fill(result);
    return result;
}

#include "platform/SystemMidiOut.h"

#include "platform/SoundingNotes.h"

#include <algorithm>
#include <array>
#include <atomic>
#include <mutex>
#include <string>

// The synthesizer as a source of the audio stream; the handles on device 0 share it.
class CSynthDevice : public IAudioSource
{
  public:
    CSynthDevice(std::unique_ptr<ISynthesizer> pSynth, std::shared_ptr<IAudioOut> pAudioOut)
        : m_pSynth(std::move(pSynth)), m_pAudioOut(std::move(pAudioOut))
    {
    }
    ~CSynthDevice() override { m_pAudioOut->RemoveSource(this); }
    bool Start() { return m_pAudioOut->AddSource(this); }
    ISynthesizer& Synth() { return *m_pSynth; }

    void Mix(float* pStereo, int nFrames) override
    {
        // Rendered in pieces into a buffer of our own: the stream's callback must not allocate.
        while (nFrames > 0)
        {
            const int nPiece = std::min(nFrames, kPieceFrames);
            m_pSynth->Render(m_arrPiece.data(), nPiece);
            for (int i = 0; i < 2 * nPiece; ++i)
                pStereo[i] += m_arrPiece[static_cast<size_t>(i)];
            pStereo += 2 * nPiece;
            nFrames -= nPiece;
        }
    }

  private:
    static constexpr int kPieceFrames = 1024;
    std::unique_ptr<ISynthesizer> m_pSynth;
    std::shared_ptr<IAudioOut> m_pAudioOut;
    std::array<float, 2 * kPieceFrames> m_arrPiece{};
};

namespace
{
class CSynthHandle : public IMidiOutHandle
{
  public:
    explicit CSynthHandle(std::shared_ptr<CSynthDevice> pDevice) : m_pDevice(std::move(pDevice)) {}
    // Nothing this handle switched on keeps sounding after it closes, whoever else still plays.
    ~CSynthHandle() override { Reset(); }

    void ShortMsg(uint32_t dwMessage) override
    {
        m_notes.Follow(dwMessage);
        m_pDevice->Synth().ShortMsg(dwMessage);
    }

    void Reset() override
    {
        for (uint32_t dwMessage : m_notes.SilencingMessages())
            m_pDevice->Synth().ShortMsg(dwMessage);
        m_notes.Clear();
    }

  private:
    std::shared_ptr<CSynthDevice> m_pDevice;
    CSoundingNotes m_notes;
};
} // namespace

CSystemMidiOut::CSystemMidiOut(FSynthFactory fSynth, FAudioOutFactory fAudioOut, FMidiPortsFactory fPorts,
                               std::function<std::string()> fSoundFont)
    : m_fSynth(std::move(fSynth)), m_fAudioOut(std::move(fAudioOut)), m_pPorts(fPorts ? fPorts() : nullptr),
      m_fSoundFont(std::move(fSoundFont))
{
}

void CSystemMidiOut::SoundFontChanged()
{
    std::lock_guard lock(m_mutex);
    if (!m_pSynthDevice || !m_fSoundFont)
        return; // the next synthesizer made loads the choice of its day
    const std::string strChosen = m_fSoundFont();
    if (strChosen != m_strSoundFont && m_pSynthDevice->Synth().LoadSoundFont(strChosen))
        m_strSoundFont = strChosen;
}

CSystemMidiOut::~CSystemMidiOut() = default;

int CSystemMidiOut::DeviceCount()
{
    return 1 + (m_pPorts ? m_pPorts->Count() : 0);
}

std::string CSystemMidiOut::DeviceName(int nDevice)
{
    if (nDevice == 0)
        return kBuiltInSynthName;
    if (nDevice > 0 && m_pPorts)
        return m_pPorts->Name(nDevice - 1);
    return {};
}

std::unique_ptr<IMidiOutHandle> CSystemMidiOut::Open(int nDevice)
{
    if (nDevice > 0)
        return m_pPorts ? m_pPorts->Open(nDevice - 1) : nullptr;
    if (nDevice != 0 && nDevice != kMidiMapper)
        return nullptr;
    std::lock_guard lock(m_mutex);
    if (!m_pSynthDevice)
    {
        m_strSoundFont = m_fSoundFont ? m_fSoundFont() : std::string();
        std::unique_ptr<ISynthesizer> pSynth = m_fSynth ? m_fSynth() : nullptr;
        std::shared_ptr<IAudioOut> pAudioOut = m_fAudioOut ? m_fAudioOut() : nullptr;
        if (!pSynth || !pAudioOut)
            return nullptr;
        auto pDevice = std::make_shared<CSynthDevice>(std::move(pSynth), std::move(pAudioOut));
        if (!pDevice->Start())
            return nullptr;
        m_pSynthDevice = pDevice;
    }
    return std::make_unique<CSynthHandle>(m_pSynthDevice);
}

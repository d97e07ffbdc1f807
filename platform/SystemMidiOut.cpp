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

// A handle as the outputs give it out: sends under a lock of its own, so that a panic on another
// thread can switch off what it holds between two of its messages.
class CTrackedHandle : public IMidiOutHandle
{
  public:
    CTrackedHandle(std::unique_ptr<IMidiOutHandle> pInner, std::shared_ptr<CDeviceHandles> pDevice);
    ~CTrackedHandle() override;

    void ShortMsg(uint32_t dwMessage) override
    {
        std::lock_guard lock(m_mutex);
        m_pInner->ShortMsg(dwMessage);
        m_notes.Follow(dwMessage);
    }

    void Reset() override
    {
        std::lock_guard lock(m_mutex);
        m_pInner->Reset();
        m_notes.Clear();
    }

    // The note offs of what this handle holds.
    void SwitchOff()
    {
        std::lock_guard lock(m_mutex);
        for (uint32_t dwMessage : m_notes.NoteOffMessages())
            m_pInner->ShortMsg(dwMessage);
        m_notes.Clear();
    }
    void SendAll(const std::vector<uint32_t>& arrMessages)
    {
        std::lock_guard lock(m_mutex);
        for (uint32_t dwMessage : arrMessages)
        {
            m_pInner->ShortMsg(dwMessage);
            m_notes.Follow(dwMessage);
        }
    }

  private:
    std::mutex m_mutex;
    std::unique_ptr<IMidiOutHandle> m_pInner;
    CSoundingNotes m_notes;
    std::shared_ptr<CDeviceHandles> m_pDevice;
};
} // namespace

// The handles open on one device.
class CDeviceHandles
{
  public:
    void Add(CTrackedHandle* pHandle)
    {
        std::lock_guard lock(m_mutex);
        m_arrHandles.push_back(pHandle);
    }
    void Remove(CTrackedHandle* pHandle)
    {
        std::lock_guard lock(m_mutex);
        std::erase(m_arrHandles, pHandle);
    }
    // Every open handle switches off its notes, then the first sends arrResets; false when
    // none is open. A handle closing meanwhile waits until the panic has passed.
    bool Panic(const std::vector<uint32_t>& arrResets)
    {
        std::lock_guard lock(m_mutex);
        if (m_arrHandles.empty())
            return false;
        for (CTrackedHandle* pHandle : m_arrHandles)
            pHandle->SwitchOff();
        m_arrHandles.front()->SendAll(arrResets);
        return true;
    }

  private:
    std::mutex m_mutex;
    std::vector<CTrackedHandle*> m_arrHandles;
};

CTrackedHandle::CTrackedHandle(std::unique_ptr<IMidiOutHandle> pInner,
                               std::shared_ptr<CDeviceHandles> pDevice)
    : m_pInner(std::move(pInner)), m_pDevice(std::move(pDevice))
{
    m_pDevice->Add(this);
}

CTrackedHandle::~CTrackedHandle()
{
    // Out of the panic's reach first; the inner handle then closes and switches off its notes.
    m_pDevice->Remove(this);
}

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
    std::lock_guard lock(m_portsMutex);
    return 1 + (m_pPorts ? m_pPorts->Count() : 0);
}

std::string CSystemMidiOut::DeviceName(int nDevice)
{
    if (nDevice == 0)
        return kBuiltInSynthName;
    std::lock_guard lock(m_portsMutex);
    if (nDevice > 0 && m_pPorts)
        return m_pPorts->Name(nDevice - 1);
    return {};
}

int CSystemMidiOut::PortIndexLocked(const std::string& strName)
{
    const int nCount = m_pPorts ? m_pPorts->Count() : 0;
    for (int nPort = 0; nPort < nCount; ++nPort)
        if (m_pPorts->Name(nPort) == strName)
            return nPort;
    return -1;
}

void CSystemMidiOut::Panic()
{
    std::shared_ptr<CSynthDevice> pSynth;
    std::shared_ptr<CDeviceHandles> pSynthHandles;
    std::vector<std::pair<std::string, std::shared_ptr<CDeviceHandles>>> arrPorts;
    {
        std::lock_guard lock(m_openedMutex);
        pSynth = m_pOpenedSynth;
        pSynthHandles = m_pSynthHandles;
        arrPorts = m_arrOpenedPorts;
    }
    const std::vector<uint32_t> arrResets = PanicResetMessages();
    // The synthesizer takes messages from any thread; with no handle open they go to it directly.
    if (pSynth && !pSynthHandles->Panic(arrResets))
        for (uint32_t dwMessage : arrResets)
            pSynth->Synth().ShortMsg(dwMessage);
    for (const auto& [strName, pHandles] : arrPorts)
    {
        if (pHandles->Panic(arrResets))
            continue;
        // Closed since: the port still gets the resets, through a handle of the panic's own
        // (an instrument may hold what an earlier run or another program left on it). A port
        // that has gone is passed over.
        std::unique_ptr<IMidiOutHandle> pHandle;
        {
            std::lock_guard lock(m_portsMutex);
            const int nPort = PortIndexLocked(strName);
            if (nPort >= 0)
                pHandle = m_pPorts->Open(nPort);
        }
        if (pHandle)
            for (uint32_t dwMessage : arrResets)
                pHandle->ShortMsg(dwMessage);
    }
}

std::unique_ptr<IMidiOutHandle> CSystemMidiOut::Open(int nDevice)
{
    if (nDevice > 0)
    {
        std::unique_ptr<IMidiOutHandle> pPort;
        std::string strName;
        {
            std::lock_guard lock(m_portsMutex);
            if (!m_pPorts)
                return nullptr;
            pPort = m_pPorts->Open(nDevice - 1);
            if (!pPort)
                return nullptr;
            strName = m_pPorts->Name(nDevice - 1);
        }
        std::shared_ptr<CDeviceHandles> pHandles;
        {
            std::lock_guard lock(m_openedMutex);
            for (const auto& [strOpened, pOpened] : m_arrOpenedPorts)
                if (strOpened == strName)
                    pHandles = pOpened;
            if (!pHandles)
            {
                pHandles = std::make_shared<CDeviceHandles>();
                m_arrOpenedPorts.emplace_back(strName, pHandles);
            }
        }
        return std::make_unique<CTrackedHandle>(std::move(pPort), pHandles);
    }
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
        std::lock_guard opened(m_openedMutex);
        m_pOpenedSynth = pDevice;
        m_pSynthHandles = std::make_shared<CDeviceHandles>();
    }
    return std::make_unique<CTrackedHandle>(std::make_unique<CSynthHandle>(m_pSynthDevice), m_pSynthHandles);
}

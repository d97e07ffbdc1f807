#include "sound/SequencerDevice.h"

#include "platform/MciErrors.h"
#include "platform/ThreadPriority.h"

#include <algorithm>
#include <array>
#include <map>

using std::chrono::nanoseconds;

namespace
{
constexpr uint32_t kControl = 0xB0;
constexpr uint32_t kProgram = 0xC0;
constexpr uint32_t kPressure = 0xD0;
constexpr uint32_t kBend = 0xE0;
constexpr uint32_t kResetControllers = 121;
constexpr uint32_t kFirstModeMessage = 120; // 120-127 are channel modes, not state to restore

// The reader refuses files longer than a day, so the clamp never bites on a file it gave us;
// it keeps the conversion to nanoseconds from overflowing whatever reaches it.
nanoseconds FromUs(uint64_t nUs)
{
    return std::chrono::microseconds(int64_t(std::min(nUs, kMaxMidiLengthUs)));
}
} // namespace

CSequencerDevice::CSequencerDevice(std::string strPath, SMidiFile measured,
                                   std::shared_ptr<CMediaOutputs> pOutputs)
    : m_strPath(std::move(strPath)), m_file(std::move(measured)), m_pOutputs(std::move(pOutputs))
{
}

uint32_t CSequencerDevice::LengthMs() const
{
    std::lock_guard lock(m_readMutex);
    return m_file.nLengthMs;
}

CSequencerDevice::~CSequencerDevice()
{
    std::lock_guard lock(m_mutex);
    EndThreadLocked();
    SilenceLocked();
}

std::vector<uint32_t> CSequencerDevice::StateAt(uint64_t nAtUs) const
{
    // The last event of each kind per channel (controllers each by number), by its index in the
    // file: sending them in that order keeps sequences such as RPN select then data entry.
    std::map<uint32_t, size_t> mapLast;
    std::array<bool, 16> arrUsed{};
    for (size_t i = 0; i < m_file.events.size() && m_file.events[i].nTimeUs < nAtUs; ++i)
    {
        const uint32_t dwMessage = m_file.events[i].dwMessage;
        const uint32_t nStatus = dwMessage & 0xF0;
        const uint32_t nChannel = dwMessage & 0x0F;
        const uint32_t nData1 = (dwMessage >> 8) & 0x7F;
        arrUsed[nChannel] = true;
        if (nStatus == kControl && nData1 < kFirstModeMessage)
            mapLast[nChannel << 16 | kControl << 8 | nData1] = i;
        else if (nStatus == kProgram || nStatus == kPressure || nStatus == kBend)
            mapLast[nChannel << 16 | nStatus << 8] = i;
    }
    std::vector<size_t> arrIndices;
    for (const auto& [nKey, nIndex] : mapLast)
        arrIndices.push_back(nIndex);
    std::sort(arrIndices.begin(), arrIndices.end());

    std::vector<uint32_t> out;
    // What an earlier stretch changed and the target does not set must not linger either.
    for (uint32_t nChannel = 0; nChannel < 16; ++nChannel)
        if (arrUsed[nChannel])
            out.push_back(kControl | nChannel | kResetControllers << 8);
    for (size_t nIndex : arrIndices)
        out.push_back(m_file.events[nIndex].dwMessage);
    return out;
}

int CSequencerDevice::Play()
{
    std::lock_guard lock(m_mutex);
    if (m_eMode == EMediaMode::Playing && !m_bFinished && !m_bReadFailed)
        return MciError::kNone;
    EndThreadLocked();
    if (!m_pHandle)
    {
        m_pMidiOut = m_pOutputs->MidiOut();
        m_pClock = m_pOutputs->Clock();
        if (m_pMidiOut && m_pClock)
            m_pHandle = m_pMidiOut->Open(kMidiMapper);
        if (!m_pHandle)
            return MciError::kSeqNoMidiPresent;
    }
    // Played to the end, the file stays there: MCI plays from where the device stands.
    if (m_nFromUs >= m_file.nLengthUs)
    {
        m_eMode = EMediaMode::Stopped;
        return MciError::kNone;
    }
    if (m_bStateDue && m_bLoaded)
    {
        for (uint32_t dwMessage : StateAt(m_nFromUs))
            SendLocked(dwMessage);
        m_bStateDue = false;
    }
    m_eMode = EMediaMode::Playing;
    m_bFinished = false;
    m_bReadFailed = false;
    m_bCut = false;
    m_tStart = m_pClock->Now();
    {
        std::lock_guard read(m_readMutex);
        m_bReading = !m_bLoaded;
    }
    m_thread = std::thread(&CSequencerDevice::Run, this, m_tStart, !m_bLoaded);
    return MciError::kNone;
}

int CSequencerDevice::Pause()
{
    std::lock_guard lock(m_mutex);
    if (m_eMode != EMediaMode::Playing)
        return MciError::kNone;
    const bool bFinished = m_bFinished || m_bReadFailed;
    EndThreadLocked();
    m_eMode = bFinished ? EMediaMode::Stopped : EMediaMode::Paused;
    return MciError::kNone;
}

int CSequencerDevice::Stop()
{
    std::lock_guard lock(m_mutex);
    EndThreadLocked();
    m_eMode = EMediaMode::Stopped;
    return MciError::kNone;
}

int CSequencerDevice::Seek(double fMs)
{
    std::lock_guard lock(m_mutex);
    EndThreadLocked();
    m_eMode = EMediaMode::Stopped;
    m_nFromUs = std::min<uint64_t>(uint64_t(std::max(fMs, 0.0) * 1000.0), m_file.nLengthUs);
    SilenceLocked();
    // Before the messages are read there is no state to send: the thread sends it once they are.
    if (m_pHandle && m_bLoaded)
    {
        for (uint32_t dwMessage : StateAt(m_nFromUs))
            SendLocked(dwMessage);
        m_bStateDue = false;
    }
    else
    {
        m_bStateDue = true; // sent when the output opens and the file is read, before the first note
    }
    return MciError::kNone;
}

uint64_t CSequencerDevice::PositionUsLocked()
{
    if (!m_thread.joinable())
        return m_nFromUs;
    std::lock_guard read(m_readMutex);
    // Still reading (or the read failed): nothing has played yet.
    if (m_bReading || m_bReadFailed)
        return m_nFromUs;
    if (m_bFinished)
        return m_file.nLengthUs;
    const nanoseconds tPlayed = std::max(m_pClock->Now() - m_tStart, nanoseconds(0));
    const uint64_t nPlayedUs =
        uint64_t(std::chrono::duration_cast<std::chrono::microseconds>(tPlayed).count());
    return std::min(m_nFromUs + nPlayedUs, m_file.nLengthUs);
}

uint32_t CSequencerDevice::PositionMs()
{
    std::lock_guard lock(m_mutex);
    const uint64_t nUs = PositionUsLocked();
    return uint32_t(std::min<uint64_t>(nUs / 1000, LengthMs()));
}

EMediaMode CSequencerDevice::Mode()
{
    std::lock_guard lock(m_mutex);
    // A failed read ends playing as the end of the file does.
    if (m_eMode == EMediaMode::Playing && (m_bFinished || m_bReadFailed))
    {
        EndThreadLocked();
        m_eMode = EMediaMode::Stopped;
    }
    return m_eMode;
}

void CSequencerDevice::EndThreadLocked()
{
    if (!m_thread.joinable())
        return;
    const uint64_t nAtUs = PositionUsLocked();
    m_bCut = true;
    m_pClock->Interrupt();
    m_thread.join();
    m_bCut = false;
    m_bReading = false; // a read cut short leaves the measured file; the next Play reads again
    m_nFromUs = nAtUs;
}

void CSequencerDevice::SendLocked(uint32_t dwMessage)
{
    m_pHandle->ShortMsg(dwMessage);
    m_notes.Follow(dwMessage);
}

void CSequencerDevice::SilenceLocked()
{
    if (m_pHandle)
        SilenceOutput(*m_pHandle, m_notes);
    m_notes.Clear();
}

bool CSequencerDevice::ReadOnThread()
{
    SMidiFile file;
    std::string strReason;
    // The file may have changed since it was measured; what it holds now is what plays.
    const bool bRead = m_pOutputs->ReadMidiFile(m_strPath, file, strReason, m_bCut);
    if (m_bCut)
        return false;
    if (!bRead)
    {
        m_bReadFailed = true;
        return false;
    }
    const nanoseconds tNow = m_pClock->Now();
    std::lock_guard read(m_readMutex);
    m_file = std::move(file);
    m_nFromUs = std::min(m_nFromUs, m_file.nLengthUs);
    m_bLoaded = true;
    m_bReading = false;
    m_tStart = tNow; // the schedule starts now, not when the read began
    return true;
}

void CSequencerDevice::Run(nanoseconds tStart, bool bRead)
{
    // Until it ends, the handle and the sounding notes are this thread's alone.
    if (bRead)
    {
        // At the ordinary priority: reading is work, not timing, and must not crowd the window.
        if (!ReadOnThread())
            return;
        tStart = m_tStart;
        if (m_bStateDue) // a seek before the file was read
        {
            for (uint32_t dwMessage : StateAt(m_nFromUs))
                SendLocked(dwMessage);
            m_bStateDue = false;
        }
    }
    RequestRealtimePriority(kPlayerPriority);
    const uint64_t nFromUs = m_nFromUs;
    auto it = std::lower_bound(m_file.events.begin(), m_file.events.end(), nFromUs,
                               [](const SMidiEvent& event, uint64_t nUs) { return event.nTimeUs < nUs; });
    for (; it != m_file.events.end(); ++it)
    {
        const nanoseconds tDue = tStart + FromUs(it->nTimeUs - nFromUs);
        if (m_pClock->Now() < tDue)
            m_pClock->SleepUntilExactly(tDue, &m_bCut);
        if (m_bCut)
            break;
        m_pHandle->ShortMsg(it->dwMessage);
        m_notes.Follow(it->dwMessage);
    }
    if (!m_bCut)
    {
        // The file lasts until its last track ends, which may be after its last message.
        m_pClock->SleepUntil(tStart + FromUs(m_file.nLengthUs - nFromUs), &m_bCut);
        if (!m_bCut)
            m_bFinished = true;
    }
    // Paused, stopped, sought or at the end: nothing this stretch switched on keeps sounding.
    SilenceOutput(*m_pHandle, m_notes);
}

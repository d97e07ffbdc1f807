#include "tests/RecorderMidiOut.h"

class CRecorderHandle : public IMidiOutHandle
{
  public:
    CRecorderHandle(CRecorderMidiOut& out, int nHandle) : m_out(out), m_nHandle(nHandle) {}
    ~CRecorderHandle() override
    {
        std::lock_guard lock(m_out.m_mutex);
        --m_out.m_nOpenHandles;
        m_out.m_mapNotes.erase(m_nHandle);
    }
    void ShortMsg(uint32_t dwMessage) override
    {
        const auto tNow = m_out.m_clock.Now();
        std::lock_guard lock(m_out.m_mutex);
        m_out.m_arrSent.push_back({tNow, dwMessage, m_nHandle});
        m_out.m_mapNotes[m_nHandle].Follow(dwMessage);
    }
    void Reset() override
    {
        std::lock_guard lock(m_out.m_mutex);
        ++m_out.m_nResets;
    }

  private:
    CRecorderMidiOut& m_out;
    int m_nHandle;
};

CRecorderMidiOut::CRecorderMidiOut(IClock& clock, std::vector<std::string> arrNames)
    : m_clock(clock), m_arrNames(std::move(arrNames))
{
}

int CRecorderMidiOut::DeviceCount()
{
    return static_cast<int>(m_arrNames.size());
}

std::string CRecorderMidiOut::DeviceName(int nDevice)
{
    return nDevice >= 0 && nDevice < DeviceCount() ? m_arrNames[static_cast<size_t>(nDevice)] : std::string();
}

std::unique_ptr<IMidiOutHandle> CRecorderMidiOut::Open(int nDevice)
{
    std::lock_guard lock(m_mutex);
    if (m_bFailOpen || nDevice < kMidiMapper || nDevice >= static_cast<int>(m_arrNames.size()))
        return nullptr;
    m_arrOpened.push_back(nDevice);
    ++m_nOpenHandles;
    const int nHandle = static_cast<int>(m_arrOpened.size());
    m_mapNotes[nHandle];
    return std::make_unique<CRecorderHandle>(*this, nHandle);
}

std::vector<SSent> CRecorderMidiOut::Sent() const
{
    std::lock_guard lock(m_mutex);
    return m_arrSent;
}

std::vector<uint32_t> CRecorderMidiOut::Messages() const
{
    std::lock_guard lock(m_mutex);
    std::vector<uint32_t> out;
    for (const SSent& sent : m_arrSent)
        out.push_back(sent.dwMessage);
    return out;
}

std::vector<int> CRecorderMidiOut::OpenedDevices() const
{
    std::lock_guard lock(m_mutex);
    return m_arrOpened;
}

int CRecorderMidiOut::OpenHandles() const
{
    std::lock_guard lock(m_mutex);
    return m_nOpenHandles;
}

void CRecorderMidiOut::Panic()
{
    const auto tNow = m_clock.Now();
    std::lock_guard lock(m_mutex);
    ++m_nPanics;
    for (auto& [nHandle, notes] : m_mapNotes)
    {
        for (uint32_t dwMessage : notes.NoteOffMessages())
            m_arrSent.push_back({tNow, dwMessage, nHandle});
        notes.Clear();
    }
    for (uint32_t dwMessage : PanicResetMessages())
        m_arrSent.push_back({tNow, dwMessage, 0});
}

int CRecorderMidiOut::Panics() const
{
    std::lock_guard lock(m_mutex);
    return m_nPanics;
}

int CRecorderMidiOut::Resets() const
{
    std::lock_guard lock(m_mutex);
    return m_nResets;
}

std::vector<std::string> CRecorderMidiOut::NoteOns() const
{
    std::vector<std::string> out;
    for (const SSent& s : Sent())
    {
        if ((s.dwMessage & 0xF0) == 0x90 && (s.dwMessage >> 16) != 0)
            out.push_back(std::to_string((s.dwMessage >> 8) & 0x7F) + "@" + std::to_string(s.Ms()));
    }
    return out;
}

bool CRecorderMidiOut::Silenced(int nNote) const
{
    for (const SSent& s : Sent())
    {
        const uint32_t dw = s.dwMessage;
        const bool bOff = (dw & 0xF0) == 0x80 || ((dw & 0xF0) == 0x90 && (dw >> 16) == 0);
        if (bOff && static_cast<int>((dw >> 8) & 0x7F) == nNote)
            return true;
    }
    return false;
}

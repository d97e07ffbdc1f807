#include "tests/MidiInDouble.h"

#include <algorithm>
#include <thread>

class CMidiInDoublePort : public IMidiInPort
{
  public:
    explicit CMidiInDoublePort(std::shared_ptr<CMidiInDouble::SState> pState) : m_pState(std::move(pState)) {}
    ~CMidiInDoublePort() override
    {
        std::lock_guard lock(m_pState->mutex);
        m_pState->bOpen = false;
        m_pState->fMessage = nullptr;
    }
    bool IsGone() override
    {
        std::lock_guard lock(m_pState->mutex);
        return m_pState->bGone;
    }

  private:
    std::shared_ptr<CMidiInDouble::SState> m_pState;
};

class CMidiInDoubleIn : public IMidiIn
{
  public:
    explicit CMidiInDoubleIn(std::shared_ptr<CMidiInDouble::SState> pState) : m_pState(std::move(pState)) {}
    std::vector<std::string> PortNames() override
    {
        std::lock_guard lock(m_pState->mutex);
        return m_pState->arrNames;
    }
    std::unique_ptr<IMidiInPort> Open(const std::string& strName, FMidiInMessage fMessage) override
    {
        std::lock_guard lock(m_pState->mutex);
        const auto& arrNames = m_pState->arrNames;
        if (m_pState->bOpen || std::find(arrNames.begin(), arrNames.end(), strName) == arrNames.end())
            return nullptr;
        m_pState->bOpen = true;
        m_pState->bGone = false;
        m_pState->strOpen = strName;
        m_pState->fMessage = std::move(fMessage);
        ++m_pState->nOpens;
        return std::make_unique<CMidiInDoublePort>(m_pState);
    }

  private:
    std::shared_ptr<CMidiInDouble::SState> m_pState;
};

CMidiInDouble::CMidiInDouble(std::vector<std::string> arrNames)
{
    m_pState->arrNames = std::move(arrNames);
}

FMidiInFactory CMidiInDouble::Factory()
{
    return [pState = m_pState] { return std::make_unique<CMidiInDoubleIn>(pState); };
}

void CMidiInDouble::SetNames(std::vector<std::string> arrNames)
{
    std::lock_guard lock(m_pState->mutex);
    m_pState->arrNames = std::move(arrNames);
}

bool CMidiInDouble::IsOpen() const
{
    std::lock_guard lock(m_pState->mutex);
    return m_pState->bOpen;
}

std::string CMidiInDouble::OpenName() const
{
    std::lock_guard lock(m_pState->mutex);
    return m_pState->bOpen ? m_pState->strOpen : std::string();
}

int CMidiInDouble::Opens() const
{
    std::lock_guard lock(m_pState->mutex);
    return m_pState->nOpens;
}

void CMidiInDouble::Send(uint32_t dwMessage, bool bOwnThread)
{
    FMidiInMessage fMessage;
    {
        std::lock_guard lock(m_pState->mutex);
        if (!m_pState->bOpen || m_pState->bGone)
            return;
        fMessage = m_pState->fMessage;
    }
    if (bOwnThread)
        std::thread([&] { fMessage(dwMessage); }).join();
    else
        fMessage(dwMessage);
}

void CMidiInDouble::Vanish()
{
    std::lock_guard lock(m_pState->mutex);
    m_pState->bGone = true;
    const std::string strOpen = m_pState->strOpen;
    std::erase(m_pState->arrNames, strOpen);
}

#include "platform/rtmidi/RtMidiIn.h"

#include "platform/rtmidi/RtMidiMake.h"

#include <alsa/asoundlib.h>

#include <algorithm>
#include <cctype>

namespace
{
constexpr const char* kPortName = "Tonegrove Input";

std::unique_ptr<RtMidiIn> MakeIn()
{
    return MakeQuietRtMidi<RtMidiIn>(SND_SEQ_OPEN_INPUT);
}

std::vector<std::string> NamesOf(RtMidiIn* pIn)
{
    std::vector<std::string> arrNames;
    if (!pIn)
        return arrNames;
    try
    {
        const unsigned nCount = pIn->getPortCount();
        for (unsigned i = 0; i < nCount; ++i)
            arrNames.push_back(pIn->getPortName(i));
    }
    catch (const RtMidiError&)
    {
        arrNames.clear();
    }
    return arrNames;
}

class CRtMidiInPort : public IMidiInPort
{
  public:
    CRtMidiInPort(std::unique_ptr<RtMidiIn> pIn, std::string strName, FMidiInMessage fMessage)
        : m_pIn(std::move(pIn)), m_pList(MakeIn()), m_strName(std::move(strName)),
          m_fMessage(std::move(fMessage))
    {
    }

    ~CRtMidiInPort() override
    {
        // RtMidi joins its input thread here: no callback runs once this returns.
        try
        {
            m_pIn->cancelCallback();
            m_pIn->closePort();
        }
        catch (const RtMidiError&)
        {
        }
    }

    // Set up once the object has its final address: the callback is handed a pointer to it.
    bool Start(unsigned nPort)
    {
        try
        {
            // System exclusive, timing and active sensing are never wanted.
            m_pIn->ignoreTypes(true, true, true);
            m_pIn->setCallback(&CRtMidiInPort::OnMessage, this);
            m_pIn->openPort(nPort, kPortName);
            return m_pIn->isPortOpen();
        }
        catch (const RtMidiError&)
        {
            return false;
        }
    }

    bool IsGone() override
    {
        // The sequencer itself gone, or the port no longer listed.
        if (!m_pList)
            return true;
        const std::vector<std::string> arrNames = NamesOf(m_pList.get());
        return std::find(arrNames.begin(), arrNames.end(), m_strName) == arrNames.end();
    }

  private:
    static void OnMessage(double, std::vector<unsigned char>* pMessage, void* pUser)
    {
        if (!pMessage || !pUser)
            return;
        if (auto dwMessage = ChannelVoiceMessage(pMessage->data(), pMessage->size()))
            static_cast<CRtMidiInPort*>(pUser)->m_fMessage(*dwMessage);
    }

    std::unique_ptr<RtMidiIn> m_pIn;
    std::unique_ptr<RtMidiIn> m_pList;
    std::string m_strName;
    FMidiInMessage m_fMessage;
};
} // namespace

std::string MidiPortBaseName(const std::string& strName)
{
    // "Keystation 49:Keystation 49 MIDI 1 24:0" -> "Keystation 49:Keystation 49 MIDI 1"
    const size_t nSpace = strName.rfind(' ');
    if (nSpace == std::string::npos)
        return strName;
    const std::string strTail = strName.substr(nSpace + 1);
    const size_t nColon = strTail.find(':');
    const auto IsDigits = [](const std::string& s) {
        return !s.empty() && std::all_of(s.begin(), s.end(), [](unsigned char c) { return std::isdigit(c); });
    };
    if (nColon == std::string::npos || !IsDigits(strTail.substr(0, nColon)) ||
        !IsDigits(strTail.substr(nColon + 1)))
        return strName;
    return strName.substr(0, nSpace);
}

CRtMidiIn::CRtMidiIn() : m_pList(MakeIn()) {}

CRtMidiIn::~CRtMidiIn() = default;

std::vector<std::string> CRtMidiIn::PortNames()
{
    return NamesOf(m_pList.get());
}

std::unique_ptr<IMidiInPort> CRtMidiIn::Open(const std::string& strName, FMidiInMessage fMessage)
{
    if (strName.empty() || !fMessage)
        return nullptr;
    const std::vector<std::string> arrNames = PortNames();
    auto it = std::find(arrNames.begin(), arrNames.end(), strName);
    if (it == arrNames.end())
        it = std::find_if(arrNames.begin(), arrNames.end(),
                          [&](const std::string& s)
                          { return MidiPortBaseName(s) == MidiPortBaseName(strName); });
    if (it == arrNames.end())
        return nullptr;
    std::unique_ptr<RtMidiIn> pIn = MakeIn();
    if (!pIn)
        return nullptr;
    auto pPort = std::make_unique<CRtMidiInPort>(std::move(pIn), *it, std::move(fMessage));
    if (!pPort->Start(static_cast<unsigned>(it - arrNames.begin())))
        return nullptr;
    return pPort;
}

std::unique_ptr<IMidiIn> MakeRtMidiIn()
{
    return std::make_unique<CRtMidiIn>();
}

#include "platform/rtmidi/RtMidiPorts.h"

#include "platform/SoundingNotes.h"
#include "platform/rtmidi/RtMidiMake.h"

#include <alsa/asoundlib.h>

#include <vector>

namespace
{
std::unique_ptr<RtMidiOut> MakeOut()
{
    return MakeQuietRtMidi<RtMidiOut>(SND_SEQ_OPEN_OUTPUT);
}

// The bytes a status byte takes with it; 0 for what is no short message.
size_t MessageSize(uint32_t nStatus)
{
    if (nStatus < 0x80)
        return 0;
    if (nStatus >= 0xF8)
        return 1; // real-time messages
    if (nStatus >= 0xF0)
        return nStatus == 0xF2 ? 3 : (nStatus == 0xF1 || nStatus == 0xF3) ? 2 : nStatus == 0xF6 ? 1 : 0;
    return (nStatus & 0xF0) == 0xC0 || (nStatus & 0xF0) == 0xD0 ? 2 : 3;
}

class CRtMidiHandle : public IMidiOutHandle
{
  public:
    explicit CRtMidiHandle(std::unique_ptr<RtMidiOut> pOut) : m_pOut(std::move(pOut)) {}
    ~CRtMidiHandle() override { Reset(); }

    void ShortMsg(uint32_t dwMessage) override
    {
        const size_t nSize = MessageSize(dwMessage & 0xFF);
        // Data bytes of 128 and more make no valid message; the built-in synthesizer drops
        // them too.
        if (nSize == 0 || (dwMessage & 0x808000) != 0)
            return;
        const unsigned char bytes[3] = {static_cast<unsigned char>(dwMessage & 0xFF),
                                        static_cast<unsigned char>((dwMessage >> 8) & 0xFF),
                                        static_cast<unsigned char>((dwMessage >> 16) & 0xFF)};
        try
        {
            m_pOut->sendMessage(bytes, nSize);
            m_notes.Follow(dwMessage);
        }
        catch (const RtMidiError&)
        {
            // the port went away; the messages of this run go nowhere
        }
    }

    void Reset() override
    {
        const std::vector<uint32_t> arrOff = m_notes.SilencingMessages();
        m_notes.Clear();
        for (uint32_t dwMessage : arrOff)
            ShortMsg(dwMessage);
    }

  private:
    std::unique_ptr<RtMidiOut> m_pOut;
    CSoundingNotes m_notes;
};
} // namespace

CRtMidiPorts::CRtMidiPorts() : m_pList(MakeOut()) {}

CRtMidiPorts::~CRtMidiPorts() = default;

int CRtMidiPorts::Count()
{
    if (!m_pList)
        return 0;
    try
    {
        return static_cast<int>(m_pList->getPortCount());
    }
    catch (const RtMidiError&)
    {
        return 0;
    }
}

std::string CRtMidiPorts::Name(int nPort)
{
    if (!m_pList || nPort < 0)
        return {};
    try
    {
        return m_pList->getPortName(static_cast<unsigned>(nPort));
    }
    catch (const RtMidiError&)
    {
        return {};
    }
}

std::unique_ptr<IMidiOutHandle> CRtMidiPorts::Open(int nPort)
{
    if (nPort < 0 || nPort >= Count())
        return nullptr;
    std::unique_ptr<RtMidiOut> pOut = MakeOut();
    if (!pOut)
        return nullptr;
    try
    {
        pOut->openPort(static_cast<unsigned>(nPort), kRtMidiClientName);
        if (!pOut->isPortOpen())
            return nullptr;
    }
    catch (const RtMidiError&)
    {
        return nullptr;
    }
    return std::make_unique<CRtMidiHandle>(std::move(pOut));
}

std::unique_ptr<IMidiPorts> MakeRtMidiPorts()
{
    return std::make_unique<CRtMidiPorts>();
}

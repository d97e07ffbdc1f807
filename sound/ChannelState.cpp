#include "sound/ChannelState.h"

namespace
{
constexpr uint32_t kDataEntry = 6;
constexpr uint32_t kDataEntryLsb = 38;
constexpr uint32_t kIncrement = 96;
constexpr uint32_t kDecrement = 97;
constexpr uint32_t kNrpnLsb = 98;
constexpr uint32_t kNrpnMsb = 99;
constexpr uint32_t kRpnLsb = 100;
constexpr uint32_t kRpnMsb = 101;
constexpr uint32_t kNull = 127;

bool IsParameterController(uint32_t nControl)
{
    return nControl == kDataEntry || nControl == kDataEntryLsb ||
           (nControl >= kIncrement && nControl <= kRpnMsb);
}

uint32_t Controller(uint32_t nChannel, uint32_t nControl, uint32_t nValue)
{
    return 0xB0 | nChannel | nControl << 8 | nValue << 16;
}
} // namespace

void CChannelState::Clear()
{
    for (SChannel& channel : m_arrChannels)
    {
        ResetControllers(channel);
        channel.nProgram = -1;
        channel.parameters.clear();
    }
}

void CChannelState::ResetControllers(SChannel& channel)
{
    channel.arrControl.fill(-1);
    channel.nPressure = -1;
    channel.nBend = -1;
    channel.eSelected = SChannel::ESelected::None;
}

void CChannelState::Follow(uint32_t dwMessage)
{
    const uint32_t nStatus = dwMessage & 0xFF;
    const uint32_t nData1 = (dwMessage >> 8) & 0xFF;
    const uint32_t nData2 = (dwMessage >> 16) & 0xFF;
    if (nStatus == 0xFF)
    {
        // A system reset puts every channel back as the device starts.
        Clear();
        return;
    }
    if (nStatus < 0x80 || nStatus >= 0xF0 || nData1 > 127)
        return; // not a channel message, or one the outputs drop
    SChannel& channel = m_arrChannels[nStatus & 0x0F];
    switch (nStatus & 0xF0)
    {
    case 0xB0:
        if (nData2 > 127)
            return;
        if (nData1 < kControllers)
            channel.arrControl[nData1] = static_cast<int16_t>(nData2);
        else if (nData1 == 121) // Reset All Controllers
            ResetControllers(channel);
        if (nData1 == kRpnMsb || nData1 == kRpnLsb)
            channel.eSelected = SChannel::ESelected::Registered;
        else if (nData1 == kNrpnMsb || nData1 == kNrpnLsb)
            channel.eSelected = SChannel::ESelected::NonRegistered;
        else if ((nData1 == kDataEntry || nData1 == kDataEntryLsb) &&
                 channel.eSelected != SChannel::ESelected::None)
        {
            const bool bRegistered = channel.eSelected == SChannel::ESelected::Registered;
            const int16_t nMsb = channel.arrControl[bRegistered ? kRpnMsb : kNrpnMsb];
            const int16_t nLsb = channel.arrControl[bRegistered ? kRpnLsb : kNrpnLsb];
            // The null parameter (or a half-selected one) takes no data.
            if (nMsb < 0 || nLsb < 0 || (nMsb == kNull && nLsb == kNull))
                break;
            const uint32_t nKey = (bRegistered ? 0u : 1u) << 14 | static_cast<uint32_t>(nMsb) << 7 |
                                  static_cast<uint32_t>(nLsb);
            auto [it, bNew] = channel.parameters.try_emplace(nKey, std::array<int16_t, 2>{-1, -1});
            // A new MSB starts the value afresh, as the devices take it.
            if (nData1 == kDataEntry)
                it->second = {static_cast<int16_t>(nData2), -1};
            else
                it->second[1] = static_cast<int16_t>(nData2);
        }
        break;
    case 0xC0:
        channel.nProgram = static_cast<int16_t>(nData1);
        break;
    case 0xD0:
        channel.nPressure = static_cast<int16_t>(nData1);
        break;
    case 0xE0:
        if (nData2 > 127)
            return;
        channel.nBend = static_cast<int32_t>(nData1 | nData2 << 7);
        break;
    default:
        break; // notes and key pressure belong to the notes that sound
    }
}

std::vector<uint32_t> CChannelState::Messages() const
{
    std::vector<uint32_t> out;
    for (uint32_t nChannel = 0; nChannel < 16; ++nChannel)
    {
        const SChannel& channel = m_arrChannels[nChannel];
        for (uint32_t nControl = 0; nControl < kControllers; ++nControl)
            if (channel.arrControl[nControl] >= 0 && !IsParameterController(nControl))
                out.push_back(
                    Controller(nChannel, nControl, static_cast<uint32_t>(channel.arrControl[nControl])));
        for (const auto& [nKey, value] : channel.parameters)
        {
            if (value[0] < 0 && value[1] < 0)
                continue;
            const bool bRegistered = (nKey >> 14) == 0;
            out.push_back(Controller(nChannel, bRegistered ? kRpnMsb : kNrpnMsb, (nKey >> 7) & 0x7F));
            out.push_back(Controller(nChannel, bRegistered ? kRpnLsb : kNrpnLsb, nKey & 0x7F));
            if (value[0] >= 0)
                out.push_back(Controller(nChannel, kDataEntry, static_cast<uint32_t>(value[0])));
            if (value[1] >= 0)
                out.push_back(Controller(nChannel, kDataEntryLsb, static_cast<uint32_t>(value[1])));
        }
        if (channel.eSelected != SChannel::ESelected::None)
        {
            const bool bRegistered = channel.eSelected == SChannel::ESelected::Registered;
            const uint32_t nMsb = bRegistered ? kRpnMsb : kNrpnMsb;
            const uint32_t nLsb = bRegistered ? kRpnLsb : kNrpnLsb;
            if (channel.arrControl[nMsb] >= 0)
                out.push_back(Controller(nChannel, nMsb, static_cast<uint32_t>(channel.arrControl[nMsb])));
            if (channel.arrControl[nLsb] >= 0)
                out.push_back(Controller(nChannel, nLsb, static_cast<uint32_t>(channel.arrControl[nLsb])));
        }
        if (channel.nProgram >= 0)
            out.push_back(0xC0 | nChannel | static_cast<uint32_t>(channel.nProgram) << 8);
        if (channel.nBend >= 0)
        {
            const uint32_t nBend = static_cast<uint32_t>(channel.nBend);
            out.push_back(0xE0 | nChannel | (nBend & 0x7F) << 8 | (nBend >> 7) << 16);
        }
        if (channel.nPressure >= 0)
            out.push_back(0xD0 | nChannel | static_cast<uint32_t>(channel.nPressure) << 8);
    }
    return out;
}

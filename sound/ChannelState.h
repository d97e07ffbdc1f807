// What the MIDI messages of a stream have left set on each channel, for a seek to set it again
// before the first note it plays.
#pragma once

#include <array>
#include <cstdint>
#include <map>
#include <vector>

class CChannelState
{
  public:
    CChannelState() { Clear(); }
    void Follow(uint32_t dwMessage);
    // The messages that set it again, channel by channel in rising order, for each channel that
    // has anything set:
    // - the controllers in number order (bank select before the program), but for the
    //   parameter controllers;
    // - each registered and non-registered parameter written, as its number followed by its
    //   data entry, so that a value lands on its own parameter whatever was selected last;
    // - the parameter selected last, selected again (more data entry goes to it);
    // - the program, the pitch bend, the channel pressure.
    // A Reset All Controllers clears the controllers, the bend, the pressure and the selected
    // parameter (not the parameters' values, nor the program); channel-mode messages
    // (controllers 120 to 127) change nothing else kept here.
    std::vector<uint32_t> Messages() const;
    void Clear();

  private:
    static constexpr int kControllers = 120; // 120 and up are channel-mode messages
    // Each value -1 while nothing has set it.
    struct SChannel
    {
        std::array<int16_t, kControllers> arrControl;
        int16_t nProgram;
        int16_t nPressure;
        int32_t nBend; // the two data bytes as one 14-bit value
        // The parameter data entry writes to: registered (101/100) or not (99/98), whichever
        // was set last; none after a reset.
        enum class ESelected
        {
            None,
            Registered,
            NonRegistered,
        } eSelected;
        // Data entry MSB and LSB (-1: not written) by kind << 14 | number MSB << 7 | LSB.
        std::map<uint32_t, std::array<int16_t, 2>> parameters;
    };
    void ResetControllers(SChannel& channel);
    std::array<SChannel, 16> m_arrChannels;
};

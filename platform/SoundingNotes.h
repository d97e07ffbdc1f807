// Which notes a stream of MIDI short messages has left sounding, so that whoever sent them can
// switch them off again: on Stop, at the end of a project, when an output closes.
#pragma once

#include <array>
#include <cstdint>
#include <vector>

class CSoundingNotes
{
  public:
    // Follows one message as it is sent: note on and off, the sustain pedal, all notes off,
    // all sound off and system reset.
    void Follow(uint32_t dwMessage);
    // The messages that silence what is sounding: one note off per sounding key, then a pedal
    // release per channel whose pedal is down; channels and keys in rising order.
    std::vector<uint32_t> SilencingMessages() const;
    void Clear();

  private:
    // Note ons without their note off, per channel and key; a key struck twice needs two offs
    // before it counts as silent.
    std::array<std::array<uint32_t, 128>, 16> m_arrCount{};
    std::array<bool, 16> m_arrPedal{};
};

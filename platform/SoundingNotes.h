// Which notes a stream of MIDI short messages has left sounding, so that whoever sent them can
// switch them off again: on Stop, at the end of a project or a file, when an output closes.
#pragma once

#include "platform/MidiOut.h"

#include <array>
#include <cstdint>
#include <vector>

class CSoundingNotes
{
  public:
    // Follows one message as it is sent: note on and off, the sustain pedal, all notes off,
    // all sound off and system reset; and which channels the stream has used.
    void Follow(uint32_t dwMessage);
    // The messages that switch off this stream's own notes without touching what others play
    // on the same channels: one note off per sounding key, then a sustain release per channel
    // whose pedal this stream holds down; channels and keys in rising order.
    std::vector<uint32_t> SilencingMessages() const;
    // Everything that may still sound once the stream ends, sostenuto-held notes and releases
    // included: the note offs, then on every channel the stream used sustain, sostenuto and soft
    // pedal up. The notes ring out from here.
    std::vector<uint32_t> ReleaseMessages() const;
    // Then, on every channel used, all notes off and all sound off: nothing rings on.
    std::vector<uint32_t> CutMessages() const;
    // One note off per sounding key, channels and keys in rising order.
    std::vector<uint32_t> NoteOffMessages() const;
    void Clear();

  private:
    // Note ons without their note off, per channel and key; a key struck twice needs two offs
    // before it counts as silent.
    std::array<std::array<uint32_t, 128>, 16> m_arrCount{};
    std::array<bool, 16> m_arrPedal{};
    std::array<bool, 16> m_arrUsed{};
};

// What a panic sends to a device after the note offs of what its handles hold: on each of the
// 16 channels all notes off, reset all controllers (the pedals up) and, last, all sound off.
std::vector<uint32_t> PanicResetMessages();

// The one way a player falls silent, on Stop, at its end or when it closes: the release, then
// the cut, of everything the stream followed by notes sent on handle; notes then forgets it.
void SilenceOutput(IMidiOutHandle& handle, CSoundingNotes& notes);

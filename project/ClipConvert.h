// Clips carried between the two format versions: a version 0.0 note becomes the MIDI event the
// player sends for it, a version 0.1 note event becomes a note; what has no form in the other
// version is left out without losing its time.
#pragma once

#include "project/ProjectFormat.h"

#include <cstdint>
#include <optional>
#include <span>
#include <vector>

// The MIDI short message a version 0.0 note on or note off stands for, as the player builds it
// (the note bytes taken as signed); none when the note number, the channel or the velocity is
// outside MIDI's range, since such a message means nothing to an output.
std::optional<uint32_t> NoteRecordMessage(const SRecord& record);

struct SConvertedClip
{
    std::vector<uint8_t> stream; // whole records of the target version
    int nLeftOut = 0;            // records that have no form in the target version
};

// Converts the record stream of a clip of version nFrom into records of version nTo (the same
// version gives the records back as they are). A record left out passes its time on: its delay,
// or a tone's duration, is added to the delay of the next record that is kept. Gives nothing
// when the clip does not walk to its end as whole records of its version.
std::optional<SConvertedClip> ConvertClip(std::span<const uint8_t> clip, int nFrom, int nTo);

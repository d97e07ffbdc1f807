// A project as a Standard MIDI File: format 0, one track, 500 ticks per quarter note at a tempo
// of 500 000 µs, so that one tick is one millisecond and every record keeps its exact time.
#pragma once

#include "project/ProjectPlayer.h"

#include <cstdint>
#include <optional>
#include <vector>

// The file's bytes for the project the object points at: its notes (version 0.0) or its MIDI
// events (version 0.1) at the times the player would send them. A damaged project, or one of a
// future version, is told through the object's prompter and gives nothing.
std::optional<std::vector<uint8_t>> ExportMidiFile(CProjectPlayer& project);

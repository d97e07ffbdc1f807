// Real-time scheduling for the threads whose timing is heard: the players that send MIDI
// messages on a schedule and the thread that feeds the sound device. A loaded machine otherwise
// lets busy ordinary threads run first and a note comes late by whole milliseconds.
#pragma once

// Levels of the system's real-time scheduling: the audio stream above the players, since a late
// buffer is a gap in everything that sounds, while a late message is one late note.
inline constexpr int kPlayerPriority = 10;
inline constexpr int kAudioPriority = 15;

// Asks the system to schedule the calling thread in real time (first in, first out) at
// nPriority, or at the highest the user's real-time limit grants below it. False, and the thread
// left as it was, where the system grants none: the caller goes on at normal priority.
bool RequestRealtimePriority(int nPriority);

// Whether the calling thread is scheduled in real time now: its sleeps then end on time, and
// spinning through the last part of a wait would only keep ordinary threads off the processor.
bool ThisThreadIsRealtime();

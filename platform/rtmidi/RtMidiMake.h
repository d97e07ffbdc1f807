// Makes the RtMidi objects of both directions the one quiet way: ALSA only, and nothing written to
// the console while they are made.
#pragma once

#include <RtMidi.h>

#include <memory>
#include <mutex>

inline constexpr const char* kRtMidiClientName = "Tonegrove";

// Whether the ALSA sequencer can be opened at all (nMode: SND_SEQ_OPEN_INPUT or _OUTPUT); without
// one RtMidi has nothing to offer.
bool HaveAlsaSequencer(int nMode);
// The console is muted while an RtMidi object is made; one lock for every maker.
std::mutex& RtMidiConsoleMutex();
void MuteConsole(bool bMute);

// Only ALSA: RtMidi would otherwise go on to JACK when ALSA lists no port, and opening a JACK
// client without a JACK server brings the process down. RtMidi writes its errors to std::cerr
// before it throws them, and its error callback can only be set once it is made. Null without a
// sequencer or when RtMidi refuses.
template <class T> std::unique_ptr<T> MakeQuietRtMidi(int nSequencerMode)
{
    if (!HaveAlsaSequencer(nSequencerMode))
        return nullptr;
    std::lock_guard lock(RtMidiConsoleMutex());
    MuteConsole(true);
    std::unique_ptr<T> p;
    try
    {
        p = std::make_unique<T>(RtMidi::LINUX_ALSA, kRtMidiClientName);
        p->setErrorCallback([](RtMidiError::Type, const std::string&, void*) {}, nullptr);
    }
    catch (const RtMidiError&)
    {
        p = nullptr;
    }
    MuteConsole(false);
    return p;
}

// Makes the RtMidi objects of both directions the one quiet way: ALSA only, and nothing written to
// the console while they are made.
#pragma once

#include <RtMidi.h>

#include <iosfwd>
#include <memory>
#include <mutex>

inline constexpr const char* kRtMidiClientName = "Tonegrove";

// Whether the ALSA sequencer can be opened at all (nMode: SND_SEQ_OPEN_INPUT or _OUTPUT); without
// one RtMidi has nothing to offer.
bool HaveAlsaSequencer(int nMode);
// std::cerr muted for as long as this lives; one at a time, for every maker.
class CMutedConsole
{
  public:
    CMutedConsole();
    ~CMutedConsole();
    CMutedConsole(const CMutedConsole&) = delete;
    CMutedConsole& operator=(const CMutedConsole&) = delete;

  private:
    std::unique_lock<std::mutex> m_lock;
    std::streambuf* m_pOld = nullptr;
};

// Only ALSA: RtMidi would otherwise go on to JACK when ALSA lists no port, and opening a JACK
// client without a JACK server brings the process down. RtMidi writes its errors to std::cerr
// before it throws them, and its error callback can only be set once it is made. Null without a
// sequencer or when RtMidi refuses.
template <class T> std::unique_ptr<T> MakeQuietRtMidi(int nSequencerMode)
{
    if (!HaveAlsaSequencer(nSequencerMode))
        return nullptr;
    CMutedConsole muted;
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
    return p;
}

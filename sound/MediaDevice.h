// One opened media file as the interpreter holds it under its alias: a device of one type
// (waveaudio or sequencer) that plays, pauses, stops, seeks and tells its position and mode.
#pragma once

#include "platform/AudioOut.h"
#include "platform/Clock.h"
#include "platform/MidiOut.h"
#include "platform/WavReader.h"
#include "sound/MidiFile.h"

#include <atomic>
#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <string>

enum class EMediaMode
{
    Stopped, // opened, stopped, sought, or played to its end
    Playing,
    Paused,
};

// MCI's word for a mode, as "status ... mode" answers it.
const char* MediaModeWord(EMediaMode eMode);

class IMediaDevice
{
  public:
    virtual ~IMediaDevice() = default;
    // The whole file's length in milliseconds, rounded down.
    virtual uint32_t LengthMs() const = 0;
    // Plays from the current position (after a pause: from where it paused; at the end of the
    // file: nothing, the device stays stopped). Gives 0 or an MCI code.
    virtual int Play() = 0;
    // Holds playing at the current position; a device that does not play is left as it is.
    virtual int Pause() = 0;
    // Ends playing; the position stays where it got to.
    virtual int Stop() = 0;
    // Stops at fMs, which the interpreter has checked lies within 0 and the length.
    virtual int Seek(double fMs) = 0;
    // Where playing has got to, in whole milliseconds.
    virtual uint32_t PositionMs() = 0;
    virtual EMediaMode Mode() = 0;
};

// Reads a MIDI file's messages, giving up soon after bStop becomes true (as ReadMidiFile does).
using FMidiFileReader = std::function<bool(const std::string& strPath, SMidiFile& out, std::string& strError,
                                           const std::atomic<bool>& bStop)>;

// What the devices play through. Every factory is called at most once per interpreter, when the
// first device needs it, and its result is shared by every device the interpreter opens.
struct SMediaBackends
{
    FAudioOutFactory fAudioOut;                          // waveaudio: the one audio stream
    std::function<std::shared_ptr<IMidiOut>()> fMidiOut; // sequencer: "MIDI Mapper" is used
    std::function<std::shared_ptr<IClock>()> fClock;     // sequencer: its schedule
    FWavOpener fOpenWav;           // waveaudio: reads WAV files; without it no WAV file opens
    FMidiFileReader fReadMidiFile; // sequencer: reads a file's messages to play; ReadMidiFile when empty
};

// The backends of one interpreter, each made on first use.
class CMediaOutputs
{
  public:
    explicit CMediaOutputs(SMediaBackends backends) : m_backends(std::move(backends)) {}
    std::shared_ptr<IAudioOut> AudioOut();
    std::shared_ptr<IMidiOut> MidiOut();
    std::shared_ptr<IClock> Clock();
    // Null when there is no WAV reader or the file is no WAV file it can decode.
    std::unique_ptr<IWavReader> OpenWav(const std::string& strPath) const;
    // Called from the sequencer's own thread, several at once when several files play.
    bool ReadMidiFile(const std::string& strPath, SMidiFile& out, std::string& strError,
                      const std::atomic<bool>& bStop) const;

  private:
    std::mutex m_mutex;
    SMediaBackends m_backends;
    std::shared_ptr<IAudioOut> m_pAudioOut;
    std::shared_ptr<IMidiOut> m_pMidiOut;
    std::shared_ptr<IClock> m_pClock;
};

// Opens strPath as a device of the type named in an open command (any letter case). Gives null
// and sets nError to an MCI code when the type is not one we have or the file cannot be played.
std::unique_ptr<IMediaDevice> OpenMediaDevice(const std::string& strType, const std::string& strPath,
                                              const std::shared_ptr<CMediaOutputs>& pOutputs, int& nError);

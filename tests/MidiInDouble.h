// A MIDI input for tests: the inputs it lists, the one that was opened, and messages the test
// plays into it, on the test's thread or on a thread of its own as a real input would.
#pragma once

#include "platform/MidiIn.h"

#include <memory>
#include <mutex>
#include <string>
#include <vector>

class CMidiInDouble
{
  public:
    explicit CMidiInDouble(std::vector<std::string> arrNames = {"Keystation 49"});

    // What the program is handed: every IMidiIn it makes reaches this double.
    FMidiInFactory Factory();
    void SetNames(std::vector<std::string> arrNames);

    // A port of that name is open now.
    bool IsOpen() const;
    std::string OpenName() const;
    int Opens() const;
    // Delivers one message through the open port's callback (nothing without one), on this
    // thread or, bOwnThread, on a thread of its own that ends before this returns.
    void Send(uint32_t dwMessage, bool bOwnThread = false);
    // The port vanishes: it says so when asked, and the name leaves the list.
    void Vanish();

  private:
    friend class CMidiInDoubleIn;
    friend class CMidiInDoublePort;
    struct SState
    {
        mutable std::mutex mutex;
        std::vector<std::string> arrNames;
        std::string strOpen;
        FMidiInMessage fMessage;
        bool bOpen = false;
        bool bGone = false;
        int nOpens = 0;
    };
    std::shared_ptr<SState> m_pState = std::make_shared<SState>();
};

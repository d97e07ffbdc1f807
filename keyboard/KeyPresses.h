// Tells a fresh press of a key from the presses a held key repeats, whatever way the system
// repeats: presses marked as repeats, presses alone while the key is down (X with detectable
// auto-repeat), or a release and a press with one time stamp (X without it, where the toolkit
// marks the pair only when it sees the press in time).
#pragma once

#include <cstdint>
#include <map>

class CKeyPresses
{
  public:
    // nKey names the physical key; nStampMs is the event's stamp, 0 for none. The same event
    // handed in again (on its way to the parent widgets) gets the same answer.
    // True when the press is a held key's repeat.
    bool Press(uint32_t nKey, uint64_t nStampMs, bool bRepeat);
    void Release(uint32_t nKey, uint64_t nStampMs);
    // The keyboard went elsewhere: releases may be missed, so no key counts as down.
    void Clear() { m_keys.clear(); }

  private:
    struct SKey
    {
        bool bDown = false;
        uint64_t nPressStamp = 0;
        uint64_t nReleaseStamp = 0;
        bool bRepeat = false; // the answer given for the press that put it down
    };
    std::map<uint32_t, SKey> m_keys;
};

#include "keyboard/KeyPresses.h"

bool CKeyPresses::Press(uint32_t nKey, uint64_t nStampMs, bool bRepeat)
{
    SKey& key = m_keys[nKey];
    if (key.bDown && nStampMs == key.nPressStamp)
        return key.bRepeat || bRepeat; // the same press once more
    // Without stamps only the platform's mark can tell.
    const bool bHeld = nStampMs != 0 && (key.bDown || key.nReleaseStamp == nStampMs);
    key.bDown = true;
    key.nPressStamp = nStampMs;
    key.bRepeat = bRepeat || bHeld;
    return key.bRepeat;
}

void CKeyPresses::Release(uint32_t nKey, uint64_t nStampMs)
{
    SKey& key = m_keys[nKey];
    key.bDown = false;
    key.nReleaseStamp = nStampMs;
}

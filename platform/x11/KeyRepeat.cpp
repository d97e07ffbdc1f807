#include "platform/KeyRepeat.h"

#ifdef TG_HAVE_X11
#include <X11/XKBlib.h>
#endif

bool UseDetectableKeyRepeat(void* pX11Display)
{
#ifdef TG_HAVE_X11
    if (!pX11Display)
        return false;
    Bool bSupported = False;
    return XkbSetDetectableAutoRepeat(static_cast<Display*>(pX11Display), True, &bSupported) && bSupported;
#else
    (void)pX11Display;
    return false;
#endif
}

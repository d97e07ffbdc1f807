// How the X server repeats a held key. By default it sends a release and a press for every
// repeat, which a window can tell from a real release and press only by their equal time stamps;
// with XKB's detectable auto-repeat it sends the presses alone and the one release at the end.
#pragma once

// pX11Display: the Xlib display (Display*) the window toolkit talks to the X server through;
// null, or a build without X, does nothing. The setting holds for that connection until it
// closes. True when the server repeats keys so from now on.
bool UseDetectableKeyRepeat(void* pX11Display);

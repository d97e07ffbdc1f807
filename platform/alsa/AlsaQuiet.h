// ALSA prints "ALSA lib ..." lines for every device it fails to open (no sound card, no
// sequencer); the program handles those failures itself, so the lines are switched off.
#pragma once

void QuietAlsa();

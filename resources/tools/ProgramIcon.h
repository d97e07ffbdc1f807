// The program icon, drawn at any size: the window's icons (tonegrove.png, tonegrove32.png) and
// the desktop's icon theme are all made by this one drawing.
#pragma once

#include <QImage>

// The icon as an nSize x nSize picture on a transparent background.
QImage DrawProgramIcon(int nSize);

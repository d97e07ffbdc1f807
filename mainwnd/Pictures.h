// The program's pictures: the toolbar's fifteen icons (with their greyed forms), the menu's
// icons by command id, and the program icon.
#pragma once

#include <QIcon>

#include <vector>

// The strip's pictures in their order: new, open, save, undo, redo, cut, copy, paste, delete,
// playback, pause, stop, play live, settings, help.
std::vector<QIcon> ToolbarIcons();
// The picture shown beside a menu item: commands 1017 to 1030 take the strip in order.
QIcon MenuIcon(int nCommand);
QIcon ProgramIcon();

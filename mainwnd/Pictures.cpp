#include "mainwnd/Pictures.h"

#include "mainwnd/ToolbarPictures.h"

#include <QApplication>
#include <QPalette>

std::vector<QIcon> ToolbarIcons()
{
    QList<QIcon> icons = LoadToolbarIcons();
    return std::vector<QIcon>(icons.begin(), icons.end());
}

QIcon MenuIcon(int nCommand)
{
    // The menu's own background behind the pictures, so that they show no face-coloured square.
    static const QList<QIcon> icons = []
    {
        Q_INIT_RESOURCE(resources);
        QImage strip(":/toolbar.png");
        const QPalette palette = QApplication::palette();
        return SplitToolbarStrip(strip, palette.color(QPalette::Window).rgb(),
                                 palette.color(QPalette::Dark).rgb());
    }();
    const int nIndex = nCommand - 1017;
    return nIndex >= 0 && nIndex < icons.size() ? icons[nIndex] : QIcon();
}

QIcon ProgramIcon()
{
    return LoadProgramIcon();
}

// Draws the program icon into an icon theme folder at the sizes desktops look for:
//   tg_icons OUT  writes OUT/hicolor/<n>x<n>/apps/tonegrove.png, and the same picture as the
//                 icon of the project files,
//                 OUT/hicolor/<n>x<n>/mimetypes/application-x-tonegrove-project.png
#include "resources/tools/ProgramIcon.h"

#include <QDir>
#include <QFileInfo>
#include <QImage>
#include <QString>

#include <cstdio>

int main(int argc, char** argv)
{
    if (argc != 2)
    {
        std::fprintf(stderr, "usage: %s OUTPUT-FOLDER\n", argv[0]);
        return 2;
    }
    const QString strOut = QString::fromLocal8Bit(argv[1]);
    for (int nSize : {16, 22, 24, 32, 48, 64, 128, 256})
    {
        const QImage img = DrawProgramIcon(nSize);
        const QString strSize = QStringLiteral("%1/hicolor/%2x%2/").arg(strOut).arg(nSize);
        for (const QString& strFile : {QStringLiteral("apps/tonegrove.png"),
                                       QStringLiteral("mimetypes/application-x-tonegrove-project.png")})
        {
            const QString strPath = strSize + strFile;
            if (!QDir().mkpath(QFileInfo(strPath).path()) || !img.save(strPath, "PNG"))
            {
                std::fprintf(stderr, "could not write %s\n", qPrintable(strPath));
                return 1;
            }
        }
    }
    return 0;
}

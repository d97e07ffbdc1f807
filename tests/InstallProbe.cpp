// What an installed program sees, for the install checks (packaging/check-install):
//   tg_install_probe data-folder    the data folder the program would read
//   tg_install_probe mime FILE...   the file type the desktop gives each file, one per line
#include "app/FileHelpers.h"

#include <QCoreApplication>
#include <QMimeDatabase>

#include <cstdio>
#include <cstring>

int main(int argc, char** argv)
{
    if (argc >= 2 && std::strcmp(argv[1], "data-folder") == 0)
    {
        std::printf("%s\n", DataFolder().c_str());
        return 0;
    }
    if (argc >= 3 && std::strcmp(argv[1], "mime") == 0)
    {
        QCoreApplication app(argc, argv);
        QMimeDatabase db;
        for (int i = 2; i < argc; ++i)
            std::printf("%s\n", qPrintable(db.mimeTypeForFile(QString::fromLocal8Bit(argv[i])).name()));
        return 0;
    }
    std::fprintf(stderr, "usage: %s data-folder | mime FILE...\n", argv[0]);
    return 2;
}

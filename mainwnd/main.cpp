// tonegrove: the program with its window. The command line is one file path, opened as a
// playlist row at start.
#include "mainwnd/TonegroveApp.h"

#include <QApplication>

#include <clocale>
#include <string>

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    QApplication::setApplicationName("Tonegrove");
    // Numbers in settings and files are read with a full stop, whatever the user's locale.
    std::setlocale(LC_NUMERIC, "C");
    std::string strCommandLine;
    for (int i = 1; i < argc; ++i)
        strCommandLine += (i > 1 ? " " : "") + std::string(argv[i]);
    CTonegroveApp theApp;
    return theApp.InitInstance(strCommandLine);
}

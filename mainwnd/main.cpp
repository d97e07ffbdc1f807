// tonegrove: the program with its window. Each file named on the command line is opened as a
// playlist row at start.
#include "mainwnd/TonegroveApp.h"

#include <QApplication>

#include <clocale>

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    QApplication::setApplicationName("Tonegrove");
    // Numbers in settings and files are read with a full stop, whatever the user's locale.
    std::setlocale(LC_NUMERIC, "C");
    CTonegroveApp theApp;
    return theApp.InitInstance(CTonegroveApp::PathsFromArguments(argc, argv));
}

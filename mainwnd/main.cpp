// tonegrove: the program with its window. Each file named on the command line is opened as a
// playlist row at start.
#include "app/Language.h"
#include "lang/Translation.h"
#include "mainwnd/TonegroveApp.h"

#include <QApplication>

#include <clocale>

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    QApplication::setApplicationName("Tonegrove");
    // Numbers in settings and files are read with a full stop, whatever the user's locale.
    std::setlocale(LC_NUMERIC, "C");
    // Russian unless TONEGROVE_LANG or an English locale asks for English.
    const ELanguage eLanguage = LanguageFromEnvironment();
    CTranslation translation(eLanguage);
    CTonegroveApp theApp(translation.IsLoaded() ? eLanguage : ELanguage::Russian);
    return theApp.InitInstance(CTonegroveApp::PathsFromArguments(argc, argv));
}

#include "app/language.h"
#include "app/main_frame.h"
#include "base/termination.h"

#include <QApplication>
#include <QFont>
#include <QLocale>
#include <QStringList>

int main(int argc, char** argv) {
    // A signal that ends the program leaves no half-written project or profile beside the file.
    tgw::installTerminationCleanup();
    QApplication app(argc, argv);
    QApplication::setApplicationName("Tessaglyphworks");
    QApplication::setApplicationVersion("0.1.0");
    // Ties the window to the installed desktop entry (task bar icon and grouping).
    QGuiApplication::setDesktopFileName("tessaglyphworks");
    // Chinese is the program's own language: end the family list in a full CJK face so that
    // fontconfig does not fall back to a small bitmap face for it.
    QFont font = QApplication::font();
    font.setFamilies({font.family(), "WenQuanYi Micro Hei"});
    QApplication::setFont(font);
    tgw::installLanguage(tgw::resolveLanguage(
        tgw::storedLanguage(tgw::CProfileStore::defaultPath()), QLocale::system().uiLanguages()));

    tgw::CMainFrame window;
    window.show();
    // A project named on the command line (a file manager's double click: "%f") opens at once.
    // Qt has taken its own options out of the list; "--" ends options, so a project whose name
    // begins with '-' can still be named.
    QStringList args = QApplication::arguments().mid(1);
    bool optionsEnded = false;
    for (const QString& arg : args) {
        if (!optionsEnded && arg == "--") {
            optionsEnded = true;
            continue;
        }
        if (!optionsEnded && arg.startsWith('-'))
            continue;
        window.loadProject(arg);
        break;
    }
    return app.exec();
}

#include "app/language.h"
#include "app/main_frame.h"

#include <QApplication>
#include <QFont>
#include <QLocale>

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    QApplication::setApplicationName("Tessaglyphworks");
    QApplication::setApplicationVersion("0.1.0");
    // Chinese is the program's own language: end the family list in a full CJK face so that
    // fontconfig does not fall back to a small bitmap face for it.
    QFont font = QApplication::font();
    font.setFamilies({font.family(), "WenQuanYi Micro Hei"});
    QApplication::setFont(font);
    tgw::installLanguage(tgw::resolveLanguage(
        tgw::storedLanguage(tgw::CProfileStore::defaultPath()), QLocale::system().uiLanguages()));

    tgw::CMainFrame window;
    window.show();
    return app.exec();
}

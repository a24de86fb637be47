#include "app/main_frame.h"

#include <QApplication>
#include <QFont>

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    QApplication::setApplicationName("Tessaglyphworks");
    QApplication::setApplicationVersion("0.1.0");
    // The interface is Chinese: end the family list in a full CJK face so that fontconfig does
    // not fall back to a small bitmap face for it.
    QFont font = QApplication::font();
    font.setFamilies({font.family(), "WenQuanYi Micro Hei"});
    QApplication::setFont(font);

    tgw::CMainFrame window;
    window.show();
    return app.exec();
}

#include <QApplication>
#include <QFont>
#include <QLabel>
#include <QMainWindow>

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    QApplication::setApplicationName("Tessaglyphworks");
    // The interface is Chinese: end the family list in a full CJK face so that fontconfig does
    // not fall back to a small bitmap face for it.
    QFont font = QApplication::font();
    font.setFamilies({font.family(), "WenQuanYi Micro Hei"});
    QApplication::setFont(font);

    QMainWindow window;
    window.setWindowTitle("无标题 - Tessaglyphworks");
    window.setCentralWidget(new QLabel("Tessaglyphworks", &window));
    window.resize(800, 600);
    window.show();
    return app.exec();
}

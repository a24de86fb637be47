#include "view/hex_byte_edit.h"

#include <QApplication>
#include <QClipboard>
#include <QContextMenuEvent>
#include <QDialog>
#include <QMenu>
#include <QPushButton>
#include <QVBoxLayout>
#include <QtTest>

using namespace tgw;

namespace {

// A window with the box and a plain field after it, so that Tab has somewhere to go.
struct CWindow {
    CWindow() : box(new CHexByteEdit("包头1", &window)), next(new QLineEdit(&window)) {
        auto* layout = new QVBoxLayout(&window);
        layout->addWidget(box);
        layout->addWidget(next);
        window.show();
        window.activateWindow();
    }
    QWidget window;
    CHexByteEdit* box;
    QLineEdit* next;
};

} // namespace

class HexByteEditTest : public QObject {
    Q_OBJECT

private slots:
    void keysAreFilteredAndFocusLossNormalises() {
        CWindow w;
        QVERIFY(QTest::qWaitForWindowActive(&w.window));
        w.box->setFocus();
        QVERIFY(w.box->hasFocus());

        // Letters beyond F, punctuation and letters with Alt or Ctrl go nowhere.
        QTest::keyClicks(w.box, "a 12g-x,!");
        QTest::keyClick(w.box, Qt::Key_B, Qt::AltModifier);
        QTest::keyClick(w.box, Qt::Key_C, Qt::ControlModifier | Qt::ShiftModifier);
        QCOMPARE(w.box->text(), QString("a 12"));
        // Caret keys, Delete and Backspace edit as usual.
        QTest::keyClick(w.box, Qt::Key_Home);
        QTest::keyClick(w.box, Qt::Key_Delete);
        QTest::keyClicks(w.box, "F");
        QTest::keyClick(w.box, Qt::Key_End);
        QTest::keyClick(w.box, Qt::Key_Backspace);
        QTest::keyClicks(w.box, "23");
        QCOMPARE(w.box->text(), QString("F 123"));
        QTest::keyClick(w.box, Qt::Key_Home);
        QTest::keyClick(w.box, Qt::Key_Delete);
        QTest::keyClicks(w.box, "a");
        QCOMPARE(w.box->text(), QString("a 123"));

        // Tab is the dialog's: the focus moves on, and the box shows its normal form.
        QTest::keyClick(w.box, Qt::Key_Tab);
        QVERIFY(w.next->hasFocus());
        QCOMPARE(w.box->text(), QString("0A 01 23 "));
        Result<CBytes> bytes = w.box->bytes();
        QVERIFY(bytes);
        QCOMPARE(*bytes, (CBytes{0x0A, 0x01, 0x23}));

        w.box->clear();
        QVERIFY(w.box->bytes());
        QVERIFY(w.box->bytes()->empty());
    }

    void aPastedTokenThatIsNotHexIsRefusedByName() {
        CWindow w;
        QVERIFY(QTest::qWaitForWindowActive(&w.window));
        QApplication::clipboard()->setText("AA zz\t1");
        w.box->setFocus();
        QTest::keyClick(w.box, Qt::Key_V, Qt::ControlModifier);
        QCOMPARE(w.box->text(), QString("AA zz\t1"));

        // Read while the box has the focus: normalised first, the bad token kept in sight.
        Result<CBytes> bytes = w.box->bytes();
        QVERIFY(!bytes);
        QCOMPARE(w.box->text(), QString("AA ZZ 01 "));
        const QString message = QString::fromStdString(bytes.error());
        QVERIFY2(message.contains("包头1") && message.contains("ZZ"), qPrintable(message));
    }

    void rightClicksAndTheContextMenuAreSwallowed() {
        CWindow w;
        QVERIFY(QTest::qWaitForWindowActive(&w.window));
        QApplication::clipboard()->setText("12");
        bool menuShown = false;
        // A menu would block in its own loop; this ends it and tells.
        QTimer closer;
        connect(&closer, &QTimer::timeout, [&] {
            if (auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget())) {
                menuShown = true;
                menu->close();
            }
        });
        closer.start(20);
        QTest::mouseClick(w.box, Qt::RightButton);
        QContextMenuEvent event(QContextMenuEvent::Mouse, QPoint(4, 4),
                                w.box->mapToGlobal(QPoint(4, 4)));
        QApplication::sendEvent(w.box, &event);
        QTest::qWait(100);
        QVERIFY(!menuShown);
        QVERIFY(w.box->text().isEmpty());
    }

    void enterReachesTheDialog() {
        QDialog dialog;
        auto* box = new CHexByteEdit("包尾", &dialog);
        auto* ok = new QPushButton("OK", &dialog);
        ok->setDefault(true);
        connect(ok, &QPushButton::clicked, &dialog, &QDialog::accept);
        auto* layout = new QVBoxLayout(&dialog);
        layout->addWidget(box);
        layout->addWidget(ok);
        dialog.show();
        QVERIFY(QTest::qWaitForWindowActive(&dialog));
        box->setFocus();
        QTest::keyClick(box, Qt::Key_Return);
        QCOMPARE(dialog.result(), int(QDialog::Accepted));
    }

    // Normalising can make the text longer ("1 2" -> "01 02 "); past the box's limit the box
    // would cut it, and bytes with it.
    void aNormalFormOverTheLimitIsNotCut() {
        CWindow w;
        w.box->setMaxLength(10);
        w.box->setText("1 2 3 4 5");
        w.box->normalise();
        QCOMPARE(w.box->text(), QString("1 2 3 4 5"));
        QCOMPARE(*w.box->bytes(), (CBytes{1, 2, 3, 4, 5}));
        w.box->setText("1 2 3");
        w.box->normalise();
        QCOMPARE(w.box->text(), QString("01 02 03 "));
    }
};

QTEST_MAIN(HexByteEditTest)
#include "hex_byte_edit_test.moc"

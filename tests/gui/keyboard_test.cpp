#include "app/add_chars_dialog.h"
#include "app/add_string_dialog.h"
#include "app/code_format_dialog.h"
#include "app/font_dialog.h"
#include "app/library_dialog.h"
#include "app/main_frame.h"
#include "app/messages.h"
#include "app/network_dialog.h"
#include "app/serial_dialog.h"
#include "view/code_viewer.h"
#include "view/qx_view.h"

#include <QAbstractSpinBox>
#include <QAccessible>
#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScrollBar>
#include <QSlider>
#include <QSpinBox>
#include <QStatusBar>
#include <QTemporaryDir>
#include <QtTest>

#include "modal_dialog.h"

#include <functional>

using namespace tgw;

namespace {

using test::whenShown;

// Key presses go where the keyboard focus is, as a user's do.
void key(Qt::Key k, Qt::KeyboardModifiers m = Qt::NoModifier) {
    QWidget* target = QApplication::focusWidget();
    QVERIFY(target);
    QTest::keyClick(target, k, m);
}

// The controls a user types into or chooses from: each must have a name a screen reader says.
QStringList unnamedControls(QWidget* dialog) {
    QStringList out;
    for (QWidget* w : dialog->findChildren<QWidget*>()) {
        const bool input = qobject_cast<QAbstractSpinBox*>(w) || qobject_cast<QLineEdit*>(w) ||
                           qobject_cast<QPlainTextEdit*>(w) || qobject_cast<QComboBox*>(w) ||
                           qobject_cast<QSlider*>(w);
        // The line edit inside a spin or combo box is named by its box.
        if (!input || qobject_cast<QAbstractSpinBox*>(w->parentWidget()) ||
            qobject_cast<QComboBox*>(w->parentWidget()))
            continue;
        QAccessibleInterface* a = QAccessible::queryAccessibleInterface(w);
        if (!a || a->text(QAccessible::Name).trimmed().isEmpty())
            out << QString("%1 %2").arg(w->metaObject()->className(), w->objectName());
    }
    return out;
}

// The widgets Tab visits from the dialog's first focus, once round.
QList<QWidget*> tabWalk(int steps) {
    QList<QWidget*> out;
    for (int i = 0; i < steps; ++i) {
        out << QApplication::focusWidget();
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
    }
    return out;
}

} // namespace

class KeyboardTest : public QObject {
    Q_OBJECT

private slots:
    void init() { QFile::remove(qEnvironmentVariable("TESSAGLYPHWORKS_PROFILE")); }
    void cleanup() {
        setMessageHook({});
        setFileHook({});
    }

    // Adding characters, selecting one, inverting it and exporting, without the mouse.
    void addSelectInvertExportWithoutTheMouse() {
        CMainFrame frame;
        frame.view().document().settings().fontType = kFontAscii8x16;
        frame.view().document().settings().width = 8;
        frame.view().document().settings().height = 16;
        frame.show();
        QVERIFY(QTest::qWaitForWindowActive(&frame));
        QCOMPARE(QApplication::focusWidget(), static_cast<QWidget*>(&frame.view()));

        bool tabLeft = false;
        whenShown<CAddCharsDialog>([&](CAddCharsDialog* d) {
            QCOMPARE(QApplication::focusWidget(), static_cast<QWidget*>(d->editor()));
            QTest::keyClicks(d->editor(), "ABC");
            key(Qt::Key_Tab); // leaves the box and types nothing
            tabLeft = QApplication::focusWidget() != d->editor();
            key(Qt::Key_Backtab);
            // Ctrl + the keypad's Enter accepts from inside the box.
            key(Qt::Key_Enter, Qt::ControlModifier | Qt::KeypadModifier);
        });
        QTest::keyClick(&frame.view(), Qt::Key_Insert);
        QVERIFY(tabLeft);
        // The window manager gives the window the keyboard back when the dialog closes (the
        // offscreen platform has none to do it); the view has kept the focus within it.
        frame.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&frame));
        QCOMPARE(QApplication::focusWidget(), static_cast<QWidget*>(&frame.view()));
        CGlyphList& list = frame.view().list();
        QCOMPARE(list.size(), size_t(3));

        // The cursor walks to the middle entry; Space selects it alone.
        QTest::keyClick(&frame.view(), Qt::Key_Home);
        QTest::keyClick(&frame.view(), Qt::Key_Right);
        QCOMPARE(frame.view().cursorEntry(), 1L);
        QTest::keyClick(&frame.view(), Qt::Key_Space);
        QVERIFY(!list.at(0).selected() && list.at(1).selected() && !list.at(2).selected());

        const CDotMatrix before0 = list.at(0).matrix(), before1 = list.at(1).matrix();
        QTest::keyClick(&frame.view(), Qt::Key_I, Qt::ControlModifier);
        QCOMPARE(list.at(0).matrix(), before0);
        QCOMPARE(list.at(1).matrix().litCount(), 8 * 16 - before1.litCount());

        QTest::keyClick(&frame.view(), Qt::Key_E, Qt::ControlModifier);
        QFile code(frame.codeFilePath());
        QVERIFY(code.open(QIODevice::ReadOnly));
        QVERIFY(code.readAll().contains("0xFF"));
        // The export says what it wrote.
        QCOMPARE(frame.statusBar()->currentMessage(),
                 writtenText(3, QFileInfo(code).size(), frame.codeFilePath()));
        for (auto* viewer : frame.findChildren<CCodeViewer*>())
            viewer->close();
    }

    // The cursor over rows: Up and Down go to the nearest entry of the next row, Shift with an
    // arrow selects what it passes, Space takes an entry out of the selection again.
    void cursorMovesOverRowsAndShiftExtends() {
        CQxView view;
        view.document().settings().fontType = kFontGb2312_16;
        view.document().settings().width = view.document().settings().height = 16;
        view.setCellSize(1); // 16 px an entry and 1 px between: 5 entries a row at 90 px
        view.resize(90 + view.verticalScrollBar()->sizeHint().width() + 4, 200);
        view.show();
        QVERIFY(QTest::qWaitForWindowExposed(&view));
        view.addCharacters(u"一二三四五六七八九十");
        view.flushLayout();
        int perRow = 0;
        while (view.entryRect(size_t(perRow)).top() == view.entryRect(0).top())
            ++perRow;
        QVERIFY(perRow >= 2 && perRow < 10);
        view.setFocus();
        view.setCursorEntry(1);
        QTest::keyClick(&view, Qt::Key_Down);
        QCOMPARE(view.cursorEntry(), long(1 + perRow));
        QTest::keyClick(&view, Qt::Key_Up);
        QCOMPARE(view.cursorEntry(), 1L);
        QTest::keyClick(&view, Qt::Key_Up); // no row above: stays
        QCOMPARE(view.cursorEntry(), 1L);

        QTest::keyClick(&view, Qt::Key_Right, Qt::ShiftModifier);
        QTest::keyClick(&view, Qt::Key_Right, Qt::ShiftModifier);
        QCOMPARE(view.list().selectedCount(), size_t(3));
        for (size_t i : {1, 2, 3})
            QVERIFY(view.list().at(i).selected());
        QTest::keyClick(&view, Qt::Key_Space);
        QVERIFY(!view.list().at(3).selected());
        QCOMPARE(view.list().selectedCount(), size_t(2));

        // The frame is drawn while the view has the focus, on the cursor's entry only.
        QImage shot(view.viewport()->size(), QImage::Format_RGB32);
        view.viewport()->render(&shot);
        const QRect r = view.entryRect(3);
        QCOMPARE(shot.pixelColor(r.left() + 1, r.center().y()), QColor(255, 190, 0));
        const QRect other = view.entryRect(2);
        QVERIFY(shot.pixelColor(other.left() + 1, other.center().y()) != QColor(255, 190, 0));
    }

    void dialogsLetTabLeaveTheTextBoxesAndOkHasAMnemonic() {
        {
            CAddStringDialog d;
            d.show();
            QVERIFY(QTest::qWaitForWindowActive(&d));
            d.editor()->setFocus();
            QTest::keyClicks(d.editor(), "ab");
            QTest::keyClick(d.editor(), Qt::Key_Tab);
            QCOMPARE(d.text(), QString("ab"));
            QCOMPARE(QApplication::focusWidget(), static_cast<QWidget*>(d.rtlCheck()));
            // Ctrl+Return accepts as well as the keypad's Enter.
            d.editor()->setFocus();
            QTest::keyClick(d.editor(), Qt::Key_Return, Qt::ControlModifier);
            QCOMPARE(d.result(), int(QDialog::Accepted));
            QCOMPARE(d.text(), QString("ab"));
        }
        {
            CAddCharsDialog d;
            d.show();
            QVERIFY(QTest::qWaitForWindowActive(&d));
            auto* ok = d.findChild<QDialogButtonBox*>()->button(QDialogButtonBox::Ok);
            QVERIFY(ok->text().contains("&"));
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_O, Qt::AltModifier);
            QTRY_COMPARE(d.result(), int(QDialog::Accepted)); // a mnemonic clicks animated
        }
    }

    void codeFormatDialogOpensOnThePresetAndTabLeavesTheTemplates() {
        CSettings s = CSettings::defaults();
        CCodeFormatDialog d(s);
        d.show();
        QVERIFY(QTest::qWaitForWindowActive(&d));
        QCOMPARE(QApplication::focusWidget(), static_cast<QWidget*>(d.presetBox()));
        const QString head = d.headEdit()->toPlainText();
        d.headEdit()->setFocus();
        QTest::keyClick(d.headEdit(), Qt::Key_Tab);
        QCOMPARE(QApplication::focusWidget(), static_cast<QWidget*>(d.tailEdit()));
        QCOMPARE(d.headEdit()->toPlainText(), head);
        // Where a tab is really wanted in a template, Ctrl+Tab types it.
        d.headEdit()->setFocus();
        d.headEdit()->moveCursor(QTextCursor::End);
        QTest::keyClick(d.headEdit(), Qt::Key_Tab, Qt::ControlModifier);
        QCOMPARE(d.headEdit()->toPlainText(), head + "\t");
        QCOMPARE(QApplication::focusWidget(), static_cast<QWidget*>(d.headEdit()));
        // Tab from the preset reaches the templates and the viewer field in reading order.
        d.presetBox()->setCurrentIndex(1); // a preset opens its rotation
        d.presetBox()->setFocus();
        const QList<QWidget*> walk = tabWalk(12);
        const auto at = [&](QWidget* w) { return walk.indexOf(w); };
        QVERIFY(at(d.rotationBox()) == 1);
        QVERIFY(at(d.headEdit()) > 1 && at(d.tailEdit()) == at(d.headEdit()) + 1);
        QVERIFY(at(d.browserEdit()) == at(d.tailEdit()) + 1);
    }

    void everyControlOfTheDialogsHasAName() {
        // The serial dialog tells of a machine without ports once it is shown.
        setMessageHook([](QMessageBox::Icon, const QString&, const QString&,
                          QMessageBox::StandardButtons) { return QMessageBox::Ok; });
        CSettings s = CSettings::defaults();
        CAddCharsDialog chars;
        CAddStringDialog string;
        CThresholdDialog threshold(CPictureOptions{}, 16, 16);
        CCodeFormatDialog format(s);
        CFontDialog font(s);
        CLibraryDialog library(s);
        CTransferMemory memory;
        CSerialDialog serial(std::string(4, 'x'), memory, std::vector<CSerialPortInfo>{});
        CNetworkDialog network(std::string(4, 'x'), memory);
        for (QDialog* d : std::initializer_list<QDialog*>{&chars, &string, &threshold, &format,
                                                          &font, &library, &serial, &network}) {
            d->show();
            QVERIFY(QTest::qWaitForWindowExposed(d));
            const QStringList unnamed = unnamedControls(d);
            QVERIFY2(unnamed.isEmpty(), qPrintable(QString("%1: %2").arg(
                                            d->metaObject()->className(), unnamed.join(", "))));
            d->hide();
        }
    }

    // Tab goes down the font dialog's rows, left to right within a row: never back up.
    void fontDialogTabFollowsTheRows() {
        CSettings s = CSettings::defaults();
        s.fontType = kFontTrueType;
        s.offset = 1; // the offset field is open
        s.fontSize = 12;
        CFontDialog d(s);
        d.show();
        QVERIFY(QTest::qWaitForWindowActive(&d));
        d.kindBox()->setFocus();
        const QList<QWidget*> walk = tabWalk(16);
        QVERIFY(walk.contains(static_cast<QWidget*>(d.sizeBox())) &&
                walk.contains(static_cast<QWidget*>(d.offsetBox())));
        for (int i = 1; i < walk.size(); ++i) {
            if (walk[i] == static_cast<QWidget*>(d.kindBox()))
                break; // round once
            const QRect was(walk[i - 1]->mapTo(&d, QPoint()), walk[i - 1]->size());
            const QRect now(walk[i]->mapTo(&d, QPoint()), walk[i]->size());
            const bool sameRow = now.top() < was.bottom() && now.bottom() > was.top();
            QVERIFY2(
                sameRow ? now.left() > was.left() : now.top() >= was.bottom(),
                qPrintable(QString("%1 then %2")
                               .arg(walk[i - 1]->accessibleName(), walk[i]->accessibleName())));
        }
    }
};

QTEST_MAIN(KeyboardTest)
#include "keyboard_test.moc"

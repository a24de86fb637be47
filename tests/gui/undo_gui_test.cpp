#include "app/main_frame.h"
#include "app/messages.h"
#include "view/qx_view.h"

#include <QAction>
#include <QMouseEvent>
#include <QScrollBar>
#include <QtTest>

using namespace tgw;

namespace {

void send(QWidget* w, QEvent::Type type, QPoint pos, Qt::MouseButton button,
          Qt::MouseButtons held) {
    QMouseEvent e(type, QPointF(pos), w->mapToGlobal(QPointF(pos)), button, held, Qt::NoModifier);
    QApplication::sendEvent(w, &e);
}

std::vector<CDotMatrix> matrices(CQxView& v) {
    std::vector<CDotMatrix> out;
    for (size_t i = 0; i < v.list().size(); ++i) {
        (void)v.list().at(i).ensureRendered();
        out.push_back(v.list().at(i).matrix());
    }
    return out;
}

} // namespace

class UndoGuiTest : public QObject {
    Q_OBJECT

    std::unique_ptr<CMainFrame> frame;
    QTemporaryDir dir;
    QString nextFile;

    CQxView& view() { return frame->view(); }
    // A shown window with 8 × 16 built-in glyphs of `text` at cell 4.
    void make(const std::u16string& text) {
        frame = std::make_unique<CMainFrame>();
        CSettings& s = view().document().settings();
        s.fontType = kFontAscii8x16;
        s.width = 8;
        s.height = 16;
        s.filterSpace = 0;
        s.filterRedup = 0;
        view().setCellSize(4);
        frame->show();
        QVERIFY(QTest::qWaitForWindowActive(frame.get()));
        view().addCharacters(text, CMainFrame::commandText(kCmdAddChars));
        view().flushLayout();
    }
    QPoint dot(size_t i, int row, int col) {
        return view().entryRect(i).topLeft() + QPoint(col * 5 + 2, row * 5 + 2) -
               QPoint(view().horizontalScrollBar()->value(), view().verticalScrollBar()->value());
    }
    void keys(QKeyCombination key) {
        QTest::keySequence(frame.get(), QKeySequence(key));
        view().flushLayout();
    }

private slots:
    void init() {
        QFile::remove(qEnvironmentVariable("TESSAGLYPHWORKS_PROFILE"));
        setFileHook([this](const QString&) { return nextFile; });
        setMessageHook([](QMessageBox::Icon, const QString&, const QString&,
                          QMessageBox::StandardButtons) { return QMessageBox::No; });
    }
    void cleanup() {
        frame.reset();
        setMessageHook({});
        setFileHook({});
    }

    void aStrokeThenCtrlZRestoresTheDotsAndRepaints() {
        make(u"  ");
        QAction* undo = frame->action(kCmdUndo);
        QCOMPARE(undo->text(), QString("撤销 添加单写字符 (&U)"));
        frame->action(kCmdMouseEdit)->trigger();
        view().list().select(1, ESelect::Replace);
        CGlyphEntry& e = view().list().at(1);
        QVERIFY(e.ensureRendered());
        QWidget* vp = view().viewport();
        send(vp, QEvent::MouseButtonPress, dot(1, 2, 2), Qt::LeftButton, Qt::LeftButton);
        send(vp, QEvent::MouseMove, dot(1, 2, 5), Qt::NoButton, Qt::LeftButton);
        send(vp, QEvent::MouseMove, dot(1, 6, 5), Qt::NoButton, Qt::LeftButton);
        send(vp, QEvent::MouseButtonRelease, dot(1, 6, 5), Qt::LeftButton, Qt::NoButton);
        QCOMPARE(e.litCount(), 3);
        QCOMPARE(undo->text(), QString("撤销 鼠标编辑 (&U)"));

        QImage drawn = vp->grab().toImage();
        keys(Qt::CTRL | Qt::Key_Z);
        QCOMPARE(e.litCount(), 0);
        QVERIFY(vp->grab().toImage() != drawn);
        QCOMPARE(frame->action(kCmdRedo)->text(), QString("重做 鼠标编辑 (&R)"));
        keys(Qt::CTRL | Qt::Key_Y);
        QCOMPARE(e.litCount(), 3);
        QCOMPARE(vp->grab().toImage(), drawn);
        keys(Qt::CTRL | Qt::Key_Z);
        keys(Qt::CTRL | Qt::SHIFT | Qt::Key_Z);
        QCOMPARE(e.litCount(), 3);
    }

    void rotationUndoRestoresSizesAndLayout() {
        make(u"ABC");
        const QRect c = view().entryRect(2);
        view().list().select(0, ESelect::Replace);
        frame->action(kCmdRotate90)->trigger();
        view().flushLayout();
        QCOMPARE(view().list().at(0).width(), 16);
        QVERIFY(view().entryRect(2) != c);
        QCOMPARE(frame->action(kCmdUndo)->text(), QString("撤销 旋转 90° (&U)"));
        keys(Qt::CTRL | Qt::Key_Z);
        QCOMPARE(view().list().at(0).width(), 8);
        QCOMPARE(view().list().at(0).height(), 16);
        QCOMPARE(view().entryRect(2), c);
        QVERIFY(view().list().at(0).selected());
    }

    void deleteAllThenUndoBringsEveryEntryBackInOrder() {
        make(u"ABCDEFG");
        const auto before = matrices(view());
        frame->action(kCmdDeleteAll)->trigger();
        QVERIFY(view().list().empty());
        QVERIFY(!frame->action(kCmdDeleteAll)->isEnabled());
        keys(Qt::CTRL | Qt::Key_Z);
        QCOMPARE(view().list().size(), size_t(7));
        QVERIFY(matrices(view()) == before);
        QCOMPARE(static_cast<CCharEntry&>(view().list().at(6)).code(), u'G');
        QVERIFY(frame->action(kCmdDeleteAll)->isEnabled());
        QCOMPARE(view().entryRect(6).size(), QSize(39, 79));
    }

    void undoingToTheSavedPointClearsTheTitleMark() {
        make(u"AB");
        nextFile = dir.filePath("saved.tgx");
        frame->action(kCmdSave)->trigger();
        QVERIFY(!frame->windowTitle().contains('*'));
        frame->action(kCmdSelectAll)->trigger();
        frame->action(kCmdInvert)->trigger();
        QVERIFY(frame->windowTitle().startsWith("saved.tgx*"));
        keys(Qt::CTRL | Qt::Key_Z);
        QVERIFY(frame->windowTitle().startsWith("saved.tgx - "));
        // Undoing past the saved point marks the document again; New clears the history.
        keys(Qt::CTRL | Qt::Key_Z);
        QVERIFY(frame->windowTitle().contains('*'));
        QVERIFY(frame->action(kCmdRedo)->isEnabled());
        frame->action(kCmdNew)->trigger(); // the message hook answers No: nothing saved
        QVERIFY(!frame->action(kCmdUndo)->isEnabled());
        QVERIFY(!frame->action(kCmdRedo)->isEnabled());
        QCOMPARE(frame->action(kCmdUndo)->text(), QString("撤销 (&U)"));
    }
};

QTEST_MAIN(UndoGuiTest)
#include "undo_gui_test.moc"

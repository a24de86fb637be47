#include "app/font_dialog.h"
#include "app/main_frame.h"
#include "app/messages.h"
#include "modal_dialog.h"
#include "model/profile_store.h"
#include "view/qx_view.h"

#include <QAction>
#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMimeData>
#include <QScrollBar>
#include <QStatusBar>
#include <QtTest>

using namespace tgw;

namespace {

void wheel(QWidget* w, QPoint pos, int angle, Qt::KeyboardModifiers mods) {
    QWheelEvent e(pos, w->mapToGlobal(pos), QPoint(), QPoint(0, angle), Qt::NoButton, mods,
                  Qt::NoScrollPhase, false);
    QApplication::sendEvent(w, &e);
}

// Drops `paths` on the window as a file manager does, and lets the window open them.
void drop(CMainFrame& frame, const QStringList& paths) {
    QMimeData data;
    QList<QUrl> urls;
    for (const QString& p : paths)
        urls << QUrl::fromLocalFile(p);
    data.setUrls(urls);
    const QPoint at = frame.rect().center();
    QDragEnterEvent enter(at, Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(&frame, &enter);
    QVERIFY(enter.isAccepted());
    QDropEvent dropped(at, Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(&frame, &dropped);
    QVERIFY(dropped.isAccepted());
}

// The entries flow in rows as wide as the window, so a zoom moves an entry across: the dot
// keeps its height under the pointer and stays in sight.
bool sameRowOnScreen(CQxView& v, CQxView::CDotRef dot, QPoint pointer) {
    const int step = v.document().settings().pointSize + 1;
    const QRect cell =
        QRect(v.entryRect(size_t(dot.entry)).topLeft() + QPoint(dot.col * step, dot.row * step),
              QSize(step - 1, step - 1))
            .translated(-v.horizontalScrollBar()->value(), -v.verticalScrollBar()->value());
    if (pointer.y() < cell.top() || pointer.y() > cell.bottom() + 1 ||
        !v.viewport()->rect().contains(cell)) {
        qWarning() << "dot" << dot.entry << dot.row << dot.col << "at" << cell << "pointer"
                   << pointer;
        return false;
    }
    return true;
}

std::optional<std::string> profileKey(const char* key) {
    CProfileStore profile(qEnvironmentVariable("TESSAGLYPHWORKS_PROFILE").toStdString());
    if (!profile.load())
        return std::nullopt;
    return profile.get(kProfileSection, key);
}

void useGb16(CQxView& v) {
    v.document().settings().fontType = kFontGb2312_16;
    v.document().settings().width = v.document().settings().height = 16;
}

} // namespace

class WindowAidsTest : public QObject {
    Q_OBJECT

    QTemporaryDir dir;
    QString nextFile;

private slots:
    void init() {
        QFile::remove(qEnvironmentVariable("TESSAGLYPHWORKS_PROFILE"));
        setFileHook([this](const QString&) { return nextFile; });
        setMessageHook([](QMessageBox::Icon, const QString&, const QString&,
                          QMessageBox::StandardButtons) { return QMessageBox::No; });
    }
    void cleanup() {
        setMessageHook({});
        setFileHook({});
    }

    // Ctrl+wheel steps the cell size through the menu's sizes and keeps the dot under the
    // pointer there; the plain wheel scrolls; rulers come with the larger cells.
    void ctrlWheelZoomsAboutThePointer() {
        CMainFrame frame;
        frame.resize(900, 640);
        frame.show();
        CQxView& v = frame.view();
        useGb16(v);
        v.addCharacters(std::u16string(400, u'中').replace(0, 1, u"文") + u"啊");
        v.document().settings().filterRedup = 0;
        v.addCharacters(std::u16string(400, u'中'));
        QVERIFY(!v.rulersShown());
        QScrollBar* vbar = v.verticalScrollBar();
        vbar->setValue(vbar->maximum() / 2);
        // The pointer stays on one place of the screen; the rulers move the viewport.
        const QPoint global = v.viewport()->mapToGlobal(
            QPoint(v.viewport()->width() / 3, v.viewport()->height() / 2));
        const auto at = [&] { return v.viewport()->mapFromGlobal(global); };
        const CQxView::CDotRef before = v.dotAt(at());
        QVERIFY(before.entry > 0);
        for (int expected : {5, 6, 7, 8, 9, 10, 12}) {
            wheel(v.viewport(), at(), 120, Qt::ControlModifier);
            QCOMPARE(v.document().settings().pointSize, expected);
            QVERIFY(sameRowOnScreen(v, before, at()));
        }
        QVERIFY(frame.action(kCmdCellSizeFirst + 11)->isChecked());
        QVERIFY(v.rulersShown());
        QCOMPARE(v.rulerEntry(), before.entry);
        wheel(v.viewport(), at(), -240, Qt::ControlModifier); // two notches at once
        QCOMPARE(v.document().settings().pointSize, 9);
        QVERIFY(sameRowOnScreen(v, before, at()));
        // A touchpad's small steps add up to a notch.
        wheel(v.viewport(), at(), -60, Qt::ControlModifier);
        QCOMPARE(v.document().settings().pointSize, 9);
        wheel(v.viewport(), at(), -60, Qt::ControlModifier);
        QCOMPARE(v.document().settings().pointSize, 8);
        const int scrolled = vbar->value();
        wheel(v.viewport(), at(), -120, Qt::NoModifier);
        QCOMPARE(v.document().settings().pointSize, 8);
        QVERIFY(vbar->value() > scrolled);
        wheel(v.viewport(), at(), -120, Qt::ControlModifier);
        QVERIFY(!v.rulersShown());
    }

    // The status line names the dot under the pointer and where it lands in the bytes under
    // the orders of the moment; away from the entries, the keyboard cursor's entry.
    void statusLineNamesTheDotAndItsBit() {
        CMainFrame frame;
        frame.resize(900, 640);
        frame.show();
        CQxView& v = frame.view();
        useGb16(v);
        v.setCellSize(6);
        v.addCharacters(u"中文");
        const QRect r = v.entryRect(1);
        // Row 3, column 9 of 文: dot order 0 packs two bytes a row, column 9 is bit 6 of the
        // second.
        const QPoint dot = r.topLeft() + QPoint(9 * 7 + 3, 3 * 7 + 3) -
                           QPoint(v.horizontalScrollBar()->value(), v.verticalScrollBar()->value());
        QTest::mouseMove(v.viewport(), dot);
        QCOMPARE(frame.dotLabel()->text(), QString("第 2 项 文 U+6587  行 3 列 9  字节 7 位 6"));
        // Columns, top dot in bit 7: byte row 0, byte 9, bit 7 − 3.
        v.document().settings().pointsSeq = 2;
        emit v.stateChanged();
        QCOMPARE(frame.dotLabel()->text(), QString("第 2 项 文 U+6587  行 3 列 9  字节 9 位 4"));
        // Grey levels: a field of bits.
        v.document().settings().pointsSeq = 0;
        v.document().settings().depth = 4;
        v.deleteAll();
        v.addCharacters(u"中");
        QTest::mouseMove(v.viewport(), v.entryRect(0).topLeft() + QPoint(3 * 7 + 3, 3));
        QCOMPARE(frame.dotLabel()->text(), QString("第 1 项 中 U+4E2D  行 0 列 3  字节 1 位 3-0"));
        QTest::mouseMove(v.viewport(), QPoint(v.viewport()->width() - 5, 5));
        v.setCursorEntry(0);
        QCOMPARE(frame.dotLabel()->text(), QString("第 1 项 中 U+4E2D  16x16 点"));
    }

    // A project dropped on the window opens; pictures dropped with it join it as picture
    // entries; a font file opens the font dialog with the file chosen.
    void droppedFilesOpen() {
        const QString project = dir.filePath("drop.tgx");
        {
            CMainFrame frame;
            useGb16(frame.view());
            frame.view().addCharacters(u"中文");
            nextFile = project;
            frame.action(kCmdSave)->trigger();
        }
        const QString picture = dir.filePath("dot.png");
        QImage image(5, 3, QImage::Format_RGB32);
        image.fill(Qt::white);
        QVERIFY(image.save(picture));

        CMainFrame frame;
        frame.view().addCharacters(u"x"); // unsaved work: the question is asked and answered No
        drop(frame, {picture, project, dir.filePath("notes.txt")});
        QTRY_COMPARE(frame.view().list().size(), size_t(3));
        QCOMPARE(frame.documentPath(), project);
        QVERIFY(frame.view().list().at(2).isPicture());
        QCOMPARE(frame.view().list().at(2).width(), 5);
        QVERIFY(frame.statusBar()->currentMessage().contains("notes.txt"));

        const QString font = dir.filePath("face.pcf");
        QVERIFY(QFile::copy(TGW_TEST_FONTS "/hostile_family.pcf", font));
        bool shown = false;
        test::whenShown<CFontDialog>([&](CFontDialog* d) {
            shown = true;
            QCOMPARE(d->fileEdit()->text(), font);
            QVERIFY(d->fileCheck()->isChecked());
            d->accept();
        });
        drop(frame, {font});
        QTRY_VERIFY(shown);
        QCOMPARE(frame.view().document().settings().fontFile, font.toStdString());
    }

    // The recent list reaches the profile only once a project was opened or saved; a file
    // gone since is said and leaves the list.
    void recentProjectsAreKeptOnceUsed() {
        { CMainFrame frame; }
        QVERIFY(profileKey("POINTSIZE"));
        QVERIFY(!profileKey("RECENTFILES"));
        const QString project = dir.filePath("recent.tgx");
        {
            CMainFrame frame;
            frame.view().addCharacters(u"中");
            nextFile = project;
            frame.action(kCmdSave)->trigger();
        }
        QCOMPARE(profileKey("RECENTFILES"), std::optional(project.toStdString()));
        CMainFrame frame;
        QMenu* recent = frame.recentMenu();
        emit recent->aboutToShow();
        QCOMPARE(recent->actions().first()->text(), QString("&1 recent.tgx"));
        recent->actions().first()->trigger();
        QCOMPARE(frame.documentPath(), project);
        QVERIFY(QFile::remove(project));
        frame.openRecent(project);
        QVERIFY(frame.statusBar()->currentMessage().contains(project));
        QVERIFY(frame.view().document().settings().recentFiles.empty());
    }
};

QTEST_MAIN(WindowAidsTest)
#include "window_aids_test.moc"

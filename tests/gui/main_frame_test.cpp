#include "app/font_dialog.h"
#include "app/info_label.h"
#include "app/main_frame.h"
#include "app/messages.h"
#include "view/code_viewer.h"
#include "view/qx_view.h"

#include <QAction>
#include <QActionGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScrollBar>
#include <QStatusBar>
#include <QStatusTipEvent>
#include <QTemporaryDir>
#include <QToolBar>
#include <QtTest>

#include <functional>

using namespace tgw;

namespace {

// Fills the next modal dialog of type T once it is shown; `fill` closes it.
template <class T> void whenShown(std::function<void(T*)> fill) {
    QTimer::singleShot(0, [fill] {
        auto* d = qobject_cast<T*>(QApplication::activeModalWidget());
        if (!d)
            return whenShown<T>(fill);
        fill(d);
    });
}

void clickOk(QDialog* d) {
    auto* buttons = d->findChild<QDialogButtonBox*>();
    QTest::mouseClick(buttons->button(QDialogButtonBox::Ok), Qt::LeftButton);
}

// A 16 × 16 matrix lit along its border, without its left column when `openLeft`.
CDotMatrix framed(bool openLeft) {
    CDotMatrix m(16, 16);
    for (int i = 0; i < 16; ++i) {
        m.set(0, i, true);
        m.set(15, i, true);
        m.set(i, 15, true);
        m.set(i, 0, !openLeft);
    }
    return m;
}

bool hasControls(const QString& text) {
    for (QChar c : text)
        if (c.unicode() < 0x20 || (c.unicode() >= 0x7F && c.unicode() <= 0x9F))
            return true;
    return false;
}

} // namespace

class MainFrameTest : public QObject {
    Q_OBJECT

private slots:
    void init() { QFile::remove(qEnvironmentVariable("TESSAGLYPHWORKS_PROFILE")); }

    void commandsAndTheirState() {
        CMainFrame frame;
        frame.show();
        CQxView& v = frame.view();
        v.document().settings().fontType = kFontGb2312_16;
        v.document().settings().width = v.document().settings().height = 16;
        QVERIFY(!frame.action(kCmdDeleteAll)->isEnabled());
        QVERIFY(!frame.action(kCmdDeleteSelected)->isEnabled());
        QCOMPARE(v.addCharacters(u"中文ABC"), size_t(5));
        QTRY_VERIFY(frame.infoText().contains("〖字模数量：5 [0/5]〗"));
        QVERIFY(frame.action(kCmdDeleteAll)->isEnabled());

        frame.action(kCmdSelectAll)->trigger();
        QVERIFY(frame.action(kCmdDeleteSelected)->isEnabled());
        QTRY_VERIFY(frame.infoText().contains("〖字模数量：5 [5/0]〗"));

        // The current cell size and colour are checked and cannot be chosen again.
        frame.action(kCmdCellSizeFirst + 11)->trigger(); // 12 pixels
        QCOMPARE(v.document().settings().pointSize, 12);
        QVERIFY(frame.action(kCmdCellSizeFirst + 11)->isChecked());
        QVERIFY(!frame.action(kCmdCellSizeFirst + 11)->isEnabled());
        QVERIFY(frame.action(kCmdCellSizeFirst + 3)->isEnabled());
        frame.action(kCmdColorFirst + 2)->trigger();
        QCOMPARE(v.document().settings().color, 2);
        QVERIFY(!frame.action(kCmdColorFirst + 2)->isEnabled());

        // Check items toggle their settings.
        frame.action(kCmdFilterDuplicates)->trigger();
        QCOMPARE(v.document().settings().filterRedup, 0);
        QVERIFY(!frame.action(kCmdFilterDuplicates)->isChecked());
        frame.action(kCmdMouseEdit)->trigger();
        QVERIFY(v.list().at(0).mouseEdit());

        frame.action(kCmdRotate90)->trigger();
        frame.action(kCmdDeleteSelected)->trigger();
        QVERIFY(v.list().empty());
        QVERIFY(!frame.action(kCmdDeleteAll)->isEnabled());
    }

    void everyMenuCommandHasItsPrompt() {
        CMainFrame frame;
        for (int id : {kCmdAddChars, kCmdExportCode, kCmdDeleteAll})
            QVERIFY(!frame.action(id)->statusTip().isEmpty());
        QCOMPARE(frame.action(kCmdAddChars)->statusTip(), QString("添加待取模的单写字符"));
        QCOMPARE(frame.action(kCmdExportCode)->statusTip(),
                 QString("为正在编辑的字模导出C或ASM点阵代码"));
        QCOMPARE(frame.action(kCmdDeleteAll)->statusTip(), QString("清除所有已取字模"));
        QVERIFY(!frame.action(kCmdAddChars)->icon().isNull());
    }

    void infoBarNeverWidensTheWindow() {
        CMainFrame frame;
        frame.show();
        const int narrowest = frame.minimumSizeHint().width();
        CSettings& s = frame.view().document().settings();
        s.faceName = std::u16string(200, u'W');
        s.bold = s.italic = s.underline = s.strikeout = 1;
        emit frame.view().stateChanged();
        QTRY_VERIFY(frame.infoText().contains("WWWW"));
        QTRY_COMPARE(frame.infoLabel()->toolTip(), frame.infoText());
        QCOMPARE(frame.minimumSizeHint().width(), narrowest);
        QVERIFY(narrowest <= 800);
        frame.resize(800, 600);
        QTRY_COMPARE(frame.width(), 800);
        QVERIFY(frame.infoLabel()->shownText().endsWith(QChar(0x2026)));
    }

    void viewMenuMarksFollowTheBarsAndStatusSaysReady() {
        CMainFrame frame;
        frame.show();
        // Hidden and shown again from the bars' own context menu.
        for (auto [name, id] : {std::pair{"toolbar", kCmdToolBar}, {"infobar", kCmdInfoBar}}) {
            auto* bar = frame.findChild<QToolBar*>(name);
            QVERIFY(frame.action(id)->isChecked());
            bar->toggleViewAction()->trigger();
            QVERIFY(bar->isHidden());
            QVERIFY2(!frame.action(id)->isChecked(), name);
            frame.action(id)->trigger();
            QVERIFY(!bar->isHidden());
            QVERIFY2(frame.action(id)->isChecked(), name);
        }
        frame.action(kCmdStatusBar)->trigger();
        QVERIFY(!frame.action(kCmdStatusBar)->isChecked());
        frame.action(kCmdStatusBar)->trigger();

        // A prompt shows while the pointer is on a command; leaving it gives "就绪" back.
        QStatusTipEvent over(frame.action(kCmdAddChars)->statusTip()), away(QString{});
        QApplication::sendEvent(&frame, &over);
        QCOMPARE(frame.statusBar()->currentMessage(), QString("添加待取模的单写字符"));
        QApplication::sendEvent(&frame, &away);
        QCOMPARE(frame.statusBar()->currentMessage(), QString("就绪"));

        // Cell sizes and colours are one-of choices.
        for (int first : {int(kCmdCellSizeFirst), int(kCmdColorFirst)}) {
            QActionGroup* group = frame.action(first)->actionGroup();
            QVERIFY(group && group->isExclusive());
            frame.action(first + 1)->trigger();
            int checked = 0;
            for (QAction* a : group->actions())
                checked += a->isChecked();
            QCOMPARE(checked, 1);
            QVERIFY(frame.action(first + 1)->isChecked());
        }
    }

    // However many notices a command causes (entries, history, settings, bars), the enabled
    // and checked states are refreshed once.
    void aCommandRefreshesTheStateOnce() {
        CMainFrame frame;
        frame.show();
        CQxView& v = frame.view();
        v.document().settings().fontType = kFontAscii8x16;
        v.document().settings().width = 8;
        v.document().settings().height = 16;
        v.addCharacters(u"AB");
        v.list().select(0, ESelect::Replace);
        for (int id : {kCmdInvert, kCmdRotate90, kCmdFilterDuplicates, kCmdMouseEdit, kCmdToolBar,
                       kCmdUndo, kCmdDeleteSelected, kCmdDeleteAll}) {
            const size_t before = frame.commandStateRefreshes();
            frame.action(id)->trigger();
            QCOMPARE(frame.commandStateRefreshes() - before, size_t(1));
        }
        QVERIFY(v.list().empty());
    }

    // The tool bar's buttons and groups, as the command table makes them: "|" a separator.
    void toolBarHoldsItsButtonsInGroups() {
        CMainFrame frame;
        auto* bar = frame.findChild<QToolBar*>("toolbar");
        QStringList items;
        for (QAction* a : bar->actions())
            if (a->isSeparator())
                items << "|";
            else if (a->data().isValid())
                items << QString::number(a->data().toInt());
        const QList<int> groups[] = {
            {kCmdNew, kCmdOpen, kCmdSave},
            {kCmdUndo, kCmdRedo},
            {kCmdAddChars, kCmdAddString, kCmdAddPicture, kCmdDeleteSelected, kCmdDeleteAll},
            {kCmdExportCode, kCmdExportLibrary},
            {kCmdFont, kCmdThreshold, kCmdCodeFormat},
            {kCmdSelectAll, kCmdClearSelection, kCmdInvertSelection},
            {kCmdMouseEdit, kCmdInvert},
            {kCmdShiftUp, kCmdShiftDown, kCmdShiftLeft, kCmdShiftRight},
            {kCmdMirrorHorizontal, kCmdMirrorVertical},
            {kCmdRotate90, kCmdRotate180, kCmdRotate270},
            {kCmdTrimLeft, kCmdTrimRight, kCmdTrimTop, kCmdTrimBottom},
            {kCmdSerialSelected, kCmdSerialAll},
            {kCmdHelp, kCmdAbout}};
        QStringList expected;
        for (const QList<int>& group : groups) {
            if (!expected.isEmpty())
                expected << "|";
            for (int id : group)
                expected << QString::number(id);
        }
        QCOMPARE(items.join(' '), expected.join(' '));
    }

    void wholeToolBarFitsAndTheWindowPlaceIsKept() {
        {
            CMainFrame frame;
            auto* bar = frame.findChild<QToolBar*>("toolbar");
            // Room for two more buttons than today, on a 1280-px screen.
            const int button = bar->widgetForAction(frame.action(kCmdNew))->sizeHint().width();
            const int needed = bar->sizeHint().width() + 2 * button;
            const QSize size = CMainFrame::firstStartSize(needed, QRect(0, 0, 1280, 800));
            QVERIFY2(size.width() >= needed + 20 && size.width() <= 1280,
                     qPrintable(QString("%1 for %2").arg(size.width()).arg(needed)));
            QCOMPARE(CMainFrame::firstStartSize(needed, QRect(0, 0, 800, 600)).width(), 800);

            frame.show();
            frame.resize(700, 500);
            QTRY_COMPARE(frame.size(), QSize(700, 500));
            frame.close();
        }
        CMainFrame again;
        QCOMPARE(again.size(), QSize(700, 500));
    }

    // Only a change of size moves entries: whole-matrix edits and a new font lay out again
    // from the first entry whose size they changed, not from the first selected one.
    void editsLayOutOnlyFromTheFirstResizedEntry() {
        CMainFrame frame;
        frame.resize(900, 600);
        frame.show();
        QVERIFY(QTest::qWaitForWindowExposed(&frame));
        CQxView& v = frame.view();
        CSettings& s = v.document().settings();
        s.fontType = kFontTrueType;
        s.faceName = u"DejaVu Sans";
        s.width = s.height = 16;
        QCOMPARE(v.addCharacters(u"ABCDE"), size_t(5));
        QTRY_COMPARE(v.list().unrenderedCount(), size_t(0));
        v.list().at(1).setMatrix(framed(false)); // no trim removes anything
        v.list().at(3).setMatrix(framed(true));  // a left trim removes a column
        v.flushLayout();
        auto doubleClick = [&](size_t i, Qt::KeyboardModifiers mods) {
            const QPoint at = v.entryRect(i).center() - QPoint(v.horizontalScrollBar()->value(),
                                                               v.verticalScrollBar()->value());
            QTest::mouseDClick(v.viewport(), Qt::LeftButton, mods, at);
        };
        doubleClick(1, Qt::NoModifier);
        doubleClick(3, Qt::ControlModifier);
        QCOMPARE(v.list().selectedCount(), size_t(2));
        QTest::qWait(20);
        const size_t before = v.layoutsRun();

        for (int id : {kCmdTrimRight, kCmdTrimTop, kCmdTrimBottom, kCmdInvert, kCmdInvert,
                       kCmdMirrorHorizontal, kCmdMirrorHorizontal, kCmdMirrorVertical,
                       kCmdRotate180, kCmdRotate180, kCmdRotate90, kCmdRotate270, kCmdShiftUp,
                       kCmdUndo, kCmdRedo, kCmdUndo}) {
            frame.action(id)->trigger();
            QTest::qWait(0);
            QVERIFY2(v.layoutsRun() == before, qPrintable(frame.action(id)->text()));
        }
        QCOMPARE(v.list().at(3).width(), 16);

        frame.action(kCmdTrimLeft)->trigger();
        QTest::qWait(0);
        QCOMPARE(v.list().at(3).width(), 15);
        QCOMPARE(v.layoutsRun(), before + 1);
        QCOMPARE(v.lastLayoutStart(), size_t(3));

        // The font dialog's re-render: entry 1 keeps its size, entry 3 gets 16 × 16 again.
        whenShown<CFontDialog>([](CFontDialog* d) {
            d->boldCheck()->setChecked(true);
            clickOk(d);
        });
        frame.action(kCmdFont)->trigger();
        QTest::qWait(0);
        QCOMPARE(v.list().at(3).width(), 16);
        QCOMPARE(v.layoutsRun(), before + 2);
        QCOMPARE(v.lastLayoutStart(), size_t(3));
        // A new font that changes no size lays out nothing.
        whenShown<CFontDialog>([](CFontDialog* d) {
            d->italicCheck()->setChecked(true);
            clickOk(d);
        });
        frame.action(kCmdFont)->trigger();
        QTest::qWait(0);
        QVERIFY(static_cast<const CFontEntry&>(v.list().at(1)).font().italic);
        QCOMPARE(v.layoutsRun(), before + 2);
    }

    // Fit, turned on in the font dialog, moves a bitmap font's selected characters as it moves
    // characters added with it: the 'H' of a 12-pixel font with a row below the baseline keeps
    // that row in a 12-row cell. The font names no family, and is kept all the same.
    void fitInTheFontDialogMovesABitmapFontsCharacters() {
        CMainFrame frame;
        CSettings& s = frame.view().document().settings();
        s.fontType = kFontTrueType;
        s.fontFile = TGW_TEST_FONTS "/clip12.bdf";
        s.width = 8;
        s.height = 12;
        s.fitCell = 0;
        frame.show();
        frame.view().addCharacters(u"H");
        CGlyphEntry& h = frame.view().list().at(0);
        QVERIFY(h.ensureRendered());
        QCOMPARE(h.inkLoss().sides(), uint8_t(kInkBottom));
        frame.view().list().selectAll();
        whenShown<CFontDialog>([](CFontDialog* d) {
            d->fitCheck()->setChecked(true);
            clickOk(d);
        });
        frame.action(kCmdFont)->trigger();
        QVERIFY(h.ensureRendered());
        QVERIFY(!h.inkLoss().any());
        // The file names no family: its name names the face, and the file stays chosen.
        QCOMPARE(s.faceName, u"clip12");
        QVERIFY(h.matrix().lit(11, 0) && h.matrix().lit(0, 0));
    }

    // A font's family name is data: chosen in the font dialog, it shows without its control
    // characters, and neither it nor a file path with a line break adds a key to the profile.
    void aHostileFontNameNeverRewritesTheProfile() {
        QTemporaryDir dir;
        const QString folder = dir.path() + "/fonts\nFACENAME=pwned";
        QVERIFY(QDir().mkpath(folder));
        const QString font = folder + "/evil.pcf";
        QVERIFY(QFile::copy(TGW_TEST_FONTS "/hostile_family.pcf", font));
        const std::u16string family = u"Evil]0;ownedCODEBROWSER=touch marker";
        {
            CMainFrame frame;
            frame.show();
            QString shown;
            whenShown<CFontDialog>([&](CFontDialog* d) {
                d->kindBox()->setCurrentIndex(kFontTrueType);
                d->fileCheck()->setChecked(true);
                d->fileEdit()->setText(font); // as pasted
                // Enter ends the field, which reads the file, and takes the dialog's default
                // button.
                QTest::keyClick(d->fileEdit(), Qt::Key_Return);
                shown = d->fileInfo()->text();
                if (d->isVisible())
                    clickOk(d);
            });
            frame.action(kCmdFont)->trigger();
            QVERIFY2(shown.startsWith(QString::fromStdU16String(family)), qPrintable(shown));
            QVERIFY2(!hasControls(shown), qPrintable(shown));
            QCOMPARE(frame.view().document().settings().faceName, family);
            QCOMPARE(frame.view().document().settings().fontFile, font.toStdString());
        } // the view saves the profile
        QFile saved(qEnvironmentVariable("TESSAGLYPHWORKS_PROFILE"));
        QVERIFY(saved.open(QIODevice::ReadOnly));
        const QList<QByteArray> lines = saved.readAll().split('\n');
        int browsers = 0;
        for (const QByteArray& line : lines) {
            QVERIFY2(!line.startsWith("FACENAME=pwned"), line.constData());
            browsers += line.startsWith("CODEBROWSER");
        }
        QCOMPARE(browsers, 1);
        // The next start reads back exactly what was chosen.
        CMainFrame again;
        const CSettings& s = again.view().document().settings();
        QCOMPARE(s.codeBrowser, std::u16string(u"wordpad.exe"));
        QCOMPARE(s.faceName, family);
        QCOMPARE(s.fontFile, font.toStdString());
    }

    void exportCodeShowsTheCodeWhenNoViewerStarts() {
        for (const char* viewer : {"/no/such/viewer --new-window", "wordpad.exe"}) {
            CMainFrame frame;
            frame.show();
            CSettings& s = frame.view().document().settings();
            s.fontType = kFontAscii8x16;
            s.width = 8;
            s.height = 16;
            s.codeBrowser = QString(viewer).toStdU16String();
            frame.view().addCharacters(u"A");
            frame.action(kCmdExportCode)->trigger();
            auto* shown = frame.findChild<CCodeViewer*>();
            QVERIFY2(shown && shown->isVisible(), viewer);
            QVERIFY(shown->shownText().contains("/*  A[0x0041]    8x16 */\n0x00,"));
            // The file stays for the viewer while the program runs.
            QVERIFY(QFile::exists(frame.codeFilePath()));
            if (QString(viewer).startsWith("/no"))
                QVERIFY(frame.statusBar()->currentMessage().contains("/no/such/viewer"));
            else
                QCOMPARE(
                    frame.statusBar()->currentMessage(),
                    writtenText(1, QFileInfo(frame.codeFilePath()).size(), frame.codeFilePath()));
        }
    }
};

QTEST_MAIN(MainFrameTest)
#include "main_frame_test.moc"

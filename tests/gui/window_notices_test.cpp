#include "app/add_chars_dialog.h"
#include "app/add_string_dialog.h"
#include "app/code_format_dialog.h"
#include "app/language.h"
#include "app/library_dialog.h"
#include "app/main_frame.h"
#include "app/messages.h"
#include "codegen/display_presets.h"
#include "view/byte_order_view.h"
#include "view/qx_view.h"

#include <QAbstractButton>
#include <QButtonGroup>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRegularExpression>
#include <QScreen>
#include <QStatusBar>
#include <QTemporaryDir>
#include <QToolTip>
#include <QtTest>

#include "modal_dialog.h"

#include <functional>

using namespace tgw;

namespace {

using test::whenShown;

// Adds `text` through the add-characters dialog, typed and accepted from the keyboard.
void addThroughDialog(CMainFrame& frame, const QString& text) {
    whenShown<CAddCharsDialog>([text](CAddCharsDialog* d) {
        d->editor()->setPlainText(text);
        QTest::keyClick(d->editor(), Qt::Key_Return, Qt::ControlModifier);
    });
    frame.action(kCmdAddChars)->trigger();
}

const QRegularExpression kChinese("[\\x{4e00}-\\x{9fff}]");

} // namespace

class WindowNoticesTest : public QObject {
    Q_OBJECT

private slots:
    void init() { QFile::remove(qEnvironmentVariable("TESSAGLYPHWORKS_PROFILE")); }
    void cleanup() {
        setMessageHook({});
        setFileHook({});
        installLanguage("zh_CN");
    }

    // Characters left out and blank ASCII of a GB2312 dot font are said, not silently dropped.
    void addingSaysWhatItLeftOut() {
        CMainFrame frame;
        frame.show();
        CSettings& s = frame.view().document().settings();
        s.fontType = kFontGb2312_16;
        s.width = s.height = 16;
        addThroughDialog(frame, "中文");
        QCOMPARE(frame.view().list().size(), size_t(2));
        addThroughDialog(frame, "中文字中");
        QCOMPARE(frame.view().list().size(), size_t(3));
        QCOMPARE(frame.statusBar()->currentMessage(), QString("2 个字符已存在，未添加"));
        addThroughDialog(frame, "AB");
        QVERIFY2(frame.statusBar()->currentMessage().contains("ASCII"),
                 qPrintable(frame.statusBar()->currentMessage()));
        QVERIFY(frame.statusBar()->currentMessage().contains("2 个字模为空白"));
        // In English, with the plural.
        installLanguage("en");
        addThroughDialog(frame, "中文字");
        QCOMPARE(frame.statusBar()->currentMessage(),
                 QString("3 characters already exist, not added"));
        addThroughDialog(frame, "中X");
        QCOMPARE(frame.statusBar()->currentMessage(),
                 QString("1 character already exists, not added; The GB2312 dot fonts hold no "
                         "ASCII characters: 1 matrix is blank; choose an ASCII dot font or a "
                         "system font"));
    }

    // The first characters cut at the bottom say how to keep their dots, once.
    void lostInkIsExplainedTheFirstTime() {
        CMainFrame frame;
        frame.show();
        CSettings& s = frame.view().document().settings();
        s.fontType = kFontTrueType;
        s.faceName = u"DejaVu Sans";
        s.fontSize = 0;
        s.fitCell = 0;
        s.width = s.height = 16;
        addThroughDialog(frame, "gj");
        QVERIFY(frame.view().list().at(0).inkLoss().sides() & kInkBottom);
        const QString said = frame.statusBar()->currentMessage();
        QVERIFY2(said.contains("适应单元") && said.contains("纵向偏移"), qPrintable(said));
        frame.statusBar()->clearMessage();
        addThroughDialog(frame, "y");
        QCOMPARE(frame.statusBar()->currentMessage(), QString("就绪"));
    }

    void exportLibraryAndBuildSayWhatTheyWrote() {
        QTemporaryDir dir;
        CMainFrame frame;
        frame.show();
        CSettings& s = frame.view().document().settings();
        s.fontType = kFontGb2312_16;
        s.width = s.height = 16;
        frame.view().addCharacters(u"中文");
        const QString bin = dir.filePath("a.bin");
        setFileHook([&](const QString&) { return bin; });
        setMessageHook([](QMessageBox::Icon, const QString&, const QString&,
                          QMessageBox::StandardButtons) { return QMessageBox::No; });
        frame.action(kCmdExportLibrary)->trigger();
        QCOMPARE(QFileInfo(bin).size(), 64);
        QCOMPARE(frame.statusBar()->currentMessage(), writtenText(2, 64, bin));
        QVERIFY(frame.statusBar()->currentMessage().startsWith("已写入 2 个字模，64 字节："));

        // The builder's dialog hands its summary to the status bar.
        const QString built = dir.filePath("b.bin");
        setFileHook([&](const QString&) { return built; });
        whenShown<CLibraryDialog>([](CLibraryDialog* d) {
            d->findChild<QAbstractButton*>("customSet")->setChecked(true);
            d->findChild<QPlainTextEdit*>("customText")->setPlainText("一二三");
            d->findChild<QAbstractButton*>("binaryOutput")->setChecked(true);
            d->findChild<QAbstractButton*>("withIndex")->setChecked(false);
            d->findChild<QPushButton*>("build")->click();
        });
        frame.action(kCmdBuildLibrary)->trigger();
        QCOMPARE(QFileInfo(built).size(), 96);
        QCOMPARE(frame.statusBar()->currentMessage(), writtenText(3, 96, built));
        installLanguage("en");
        QCOMPARE(writtenText(8178, 343480, "/tmp/gb.bin"),
                 QString("wrote 8178 glyphs, 343480 bytes to /tmp/gb.bin"));
    }

    // The chosen preset and mounting are kept, its needs are checked, and its note is in the
    // user's language.
    void codeFormatDialogKeepsThePresetAndSpeaksTheUsersLanguage() {
        CSettings s = CSettings::defaults();
        s.width = 12;
        s.height = 16;
        {
            CCodeFormatDialog d(s);
            d.show();
            QVERIFY(QTest::qWaitForWindowExposed(&d));
            const int index = d.presetBox()->findData("ssd1680");
            QVERIFY(index > 0);
            const QPoint before = d.orderView()->mapTo(&d, QPoint());
            d.presetBox()->setCurrentIndex(index);
            QApplication::processEvents();
            // Nothing moves when a preset is chosen.
            QCOMPARE(d.orderView()->mapTo(&d, QPoint()), before);
            QVERIFY(d.rotationBox()->isEnabled());
            d.rotationBox()->setCurrentIndex(d.rotationBox()->findData(90));
            // 12 × 16 turned a quarter: the 16 side goes along the rows, a multiple of 8.
            QVERIFY(!d.presetInfo()->text().contains("警告"));
            d.rotationBox()->setCurrentIndex(0);
            QVERIFY(d.presetInfo()->text().contains("警告：当前点阵 12x16 不符合要求"));
            // In Chinese the controller's note is Chinese.
            QVERIFY2(d.presetInfo()->text().contains("置位为白色"),
                     qPrintable(d.presetInfo()->text()));
            d.rotationBox()->setCurrentIndex(d.rotationBox()->findData(90));
            d.apply(s);
        }
        QCOMPARE(s.displayPreset, std::string("ssd1680"));
        QCOMPARE(s.presetRotation, 90);
        CCodeFormatDialog again(s);
        QCOMPARE(again.presetBox()->currentData().toString(), QString("ssd1680"));
        QCOMPARE(again.rotationBox()->currentData().toInt(), 90);
        // Custom again: no preset stays behind.
        again.presetBox()->setCurrentIndex(0);
        QVERIFY(!again.rotationBox()->isEnabled());
        again.apply(s);
        QVERIFY(s.displayPreset.empty());
        QCOMPARE(s.presetRotation, 0);
    }

    void presetNotesFollowTheLanguage() {
        CSettings s = CSettings::defaults();
        s.displayPreset = "hd44780";
        installLanguage("zh_CN");
        {
            CCodeFormatDialog d(s);
            const QString info = d.presetInfo()->text();
            QVERIFY2(!info.contains(QRegularExpression("\\b(bytes|rows|the|dots)\\b")),
                     qPrintable(info));
            QVERIFY(info.contains("每行左右镜像"));
            QVERIFY(d.presetBox()->currentText().contains("自定义字符"));
        }
        installLanguage("en");
        CCodeFormatDialog d(s);
        QVERIFY2(!d.presetInfo()->text().contains(kChinese), qPrintable(d.presetInfo()->text()));
        QVERIFY(d.presetInfo()->text().contains("mirrored"));
    }

    // The code format dialog fits a 1366 × 768 screen with room for a title bar, at every cell
    // size its drawing shows, and its matching-presets line stays below the drawing.
    void codeFormatDialogFitsASmallScreen() {
        CSettings s = CSettings::defaults();
        s.width = 10;
        s.height = 12;
        CCodeFormatDialog d(s);
        d.show();
        QVERIFY(QTest::qWaitForWindowExposed(&d));
        QVERIFY2(d.minimumSizeHint().height() <= 768 - 40 - 30,
                 qPrintable(QString::number(d.minimumSizeHint().height())));
        QVERIFY2(d.sizeHint().height() <= 768 - 40 - 30,
                 qPrintable(QString::number(d.sizeHint().height())));
        QVERIFY(d.sizeHint().width() <= 1366);
        // At the size it opens with on such a screen (the test screen may be smaller).
        d.resize(d.sizeHint());
        QApplication::processEvents();
        const QRect drawing(d.orderView()->mapTo(&d, QPoint()), d.orderView()->size());
        const QRect matching(d.matchingLabel()->mapTo(&d, QPoint()), d.matchingLabel()->size());
        QVERIFY(!drawing.intersects(matching));
    }

    // The built-in viewer shows as such, not as a Windows program, and stays as stored.
    void builtInViewerShowsAsSuch() {
        CSettings s = CSettings::defaults();
        s.codeBrowser = u"wordpad.exe";
        CCodeFormatDialog d(s);
        QVERIFY(d.browserEdit()->text().isEmpty());
        QCOMPARE(d.browserEdit()->placeholderText(), QString("程序内的代码窗口"));
        d.apply(s);
        QCOMPARE(s.codeBrowser, std::u16string(u"wordpad.exe"));
        d.browserEdit()->setText("kate");
        d.apply(s);
        QCOMPARE(s.codeBrowser, std::u16string(u"kate"));
    }

    // A double-click on a selected entry with mouse editing on only selects: no dot changes.
    void doubleClickOnASelectedEntryLightsNoDot() {
        CQxView view;
        view.document().settings().fontType = kFontGb2312_16;
        view.document().settings().width = view.document().settings().height = 16;
        view.setCellSize(4);
        view.resize(400, 300);
        view.show();
        QVERIFY(QTest::qWaitForWindowExposed(&view));
        view.addCharacters(u"一二");
        view.flushLayout();
        view.setMouseEdit(true);
        view.list().at(0).setSelected(true);
        view.list().at(1).setSelected(true);
        QVERIFY(view.list().at(0).ensureRendered());
        const CDotMatrix before = view.list().at(0).matrix();
        const QPoint blank = view.entryRect(0).topLeft() + QPoint(2, 2); // a dark corner dot
        QVERIFY(!before.lit(0, 0));
        QTest::mouseDClick(view.viewport(), Qt::LeftButton, {}, blank);
        QCOMPARE(view.list().at(0).matrix(), before);
        QVERIFY(!view.document().undoStep() ||
                view.document().undoStep()->kind() != EStepKind::Stroke);
        QVERIFY(view.list().at(0).selected() && !view.list().at(1).selected());
        // A single click still draws at once.
        QTest::mouseClick(view.viewport(), Qt::LeftButton, {}, blank);
        QVERIFY(view.list().at(0).matrix().lit(0, 0));
    }

    // The picture preview draws lit dots bright, as the view does, and keeps its scale.
    void picturePreviewIsNotTheNegativeAndKeepsItsScale() {
        CRgbImage picture(8, 8);
        for (int i = 0; i < 3; ++i)
            picture.pixel(0, 0)[i] = 255; // the top-left pixel bright: one lit dot
        CThresholdDialog d(CPictureOptions{}, 0, 0);
        d.setPreviewPicture(picture);
        d.show();
        QVERIFY(QTest::qWaitForWindowExposed(&d));
        const QSize shown = d.preview()->pixmap().size(), dialog = d.size();
        const QImage image = d.preview()->pixmap().toImage();
        QVERIFY(qGray(image.pixel(0, 0)) > 200);
        QVERIFY(qGray(image.pixel(image.width() - 1, image.height() - 1)) < 100);
        d.setThreshold(10);
        QApplication::processEvents();
        QCOMPARE(d.preview()->pixmap().size(), shown);
        QCOMPARE(d.size(), dialog);
    }

    // No hover tip of the view stays over a menu or a dialog.
    void hoverTipGoesWhenAMenuOpens() {
        CMainFrame frame;
        frame.view().document().settings().fontType = kFontGb2312_16;
        frame.view().document().settings().width = frame.view().document().settings().height = 16;
        frame.show();
        QVERIFY(QTest::qWaitForWindowActive(&frame));
        frame.view().addCharacters(u"中");
        frame.view().flushLayout();
        QTest::mouseMove(frame.view().viewport(), frame.view().entryRect(0).center());
        QTRY_VERIFY(!frame.view().tipText().isEmpty());
        QMenu* edit = frame.menuBar()->actions().at(1)->menu();
        edit->popup(frame.mapToGlobal(QPoint(10, 10)));
        QVERIFY(frame.view().tipText().isEmpty());
        QVERIFY(!QToolTip::isVisible());
        QTest::qWait(1100); // past the tip's own delay: it does not come back over the menu
        QVERIFY(!QToolTip::isVisible());
        edit->hide();
    }

    // The window's place is kept as the frame's corner, which is what move() puts back.
    void windowPlaceIsTheFramesCorner() {
        {
            CMainFrame frame;
            frame.show();
            QVERIFY(QTest::qWaitForWindowExposed(&frame));
            frame.move(120, 90);
            QApplication::processEvents();
            const std::optional<std::array<int, 4>> place = frame.windowPlace();
            QVERIFY(place);
            QCOMPARE(QPoint((*place)[0], (*place)[1]), frame.frameGeometry().topLeft());
            QCOMPARE(QSize((*place)[2], (*place)[3]), frame.geometry().size());
            frame.close();
        }
        CMainFrame again;
        again.show();
        QVERIFY(QTest::qWaitForWindowExposed(&again));
        QCOMPARE(again.frameGeometry().topLeft(), QPoint(120, 90));
    }

    // Tool tips say what the command acts on; counts of pixels are singular at one; About
    // names the program's version and the project format's.
    void textsSayWhatTheyMean() {
        installLanguage("en");
        CMainFrame frame;
        QVERIFY(frame.action(kCmdShiftUp)->toolTip().contains("selected"));
        QVERIFY(frame.action(kCmdSerialSelected)->toolTip().contains("serial"));
        QCOMPARE(frame.action(kCmdCellSizeFirst)->text(), QString("&1 pixel"));
        QCOMPARE(frame.action(kCmdCellSizeFirst + 3)->text(), QString("&4 pixels"));
        installLanguage("zh_CN");
        CMainFrame chinese;
        QVERIFY(chinese.action(kCmdShiftUp)->toolTip().contains("选中字模"));

        QString about;
        setMessageHook({});
        QTimer::singleShot(0, [&] {
            auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
            if (box) {
                about = box->text();
                box->accept();
            }
        });
        QApplication::setApplicationVersion("0.1.0");
        chinese.action(kCmdAbout)->trigger();
        QVERIFY2(about.contains("0.1.0") && about.contains("3.0.2.1"), qPrintable(about));
    }

    // Both help pages carry the same sections.
    void helpPagesHaveTheSameSections() {
        auto headings = [](const QString& path) {
            QFile f(path);
            f.open(QIODevice::ReadOnly);
            const QString html = QString::fromUtf8(f.readAll());
            QStringList out;
            for (auto it = QRegularExpression("<h([23])>").globalMatch(html); it.hasNext();)
                out << it.next().captured(1);
            return out;
        };
        CMainFrame frame; // the resources are in place
        const QStringList zh = headings(":/help/help.html"), en = headings(":/help/help_en.html");
        QVERIFY(zh.size() > 10);
        QCOMPARE(en, zh);
    }
};

QTEST_MAIN(WindowNoticesTest)
#include "window_notices_test.moc"

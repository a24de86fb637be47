#include "app/add_string_dialog.h"
#include "app/code_format_dialog.h"
#include "app/depth_box.h"
#include "app/font_dialog.h"
#include "app/help_window.h"
#include "app/main_frame.h"
#include "app/messages.h"
#include "codegen/binary_file.h"
#include "codegen/encoding_options.h"
#include "view/byte_order_view.h"
#include "view/code_viewer.h"
#include "view/font_list.h"
#include "view/qx_view.h"

#include <QAbstractButton>
#include <QAction>
#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QSpinBox>
#include <QTextBrowser>
#include <QtTest>

using namespace tgw;

namespace {

QByteArray readAll(const QString& path) {
    QFile f(path);
    f.open(QIODevice::ReadOnly);
    return f.readAll();
}

} // namespace

class DialogsTest : public QObject {
    Q_OBJECT

private slots:
    void init() { QFile::remove(qEnvironmentVariable("TESSAGLYPHWORKS_PROFILE")); }
    void cleanup() {
        setMessageHook({});
        setFileHook({});
    }

    void fontDialogOpensWithTheSizeRule() {
        CSettings s = CSettings::defaults();
        s.width = 18;
        s.height = 20;
        CFontDialog a(s);
        QCOMPARE(a.sizeBox()->value(), 20); // no font size: the larger side
        QVERIFY(!a.sizeCheck()->isChecked());
        s.width = 4;
        s.height = 5;
        CFontDialog b(s);
        QCOMPARE(b.sizeBox()->value(), 7); // a small cell: 7
        s.fontSize = 12;
        s.offset = -2;
        CFontDialog c(s);
        QCOMPARE(c.sizeBox()->value(), 12);
        QVERIFY(c.sizeCheck()->isChecked());
        QVERIFY(c.offsetCheck()->isChecked());
        QCOMPARE(c.offsetBox()->value(), -2);
        // Every family is listed once, and never a vertical "@" variant.
        QStringList names;
        for (int i = 0; i < c.faceList()->count(); ++i)
            names << c.faceList()->itemText(i);
        QCOMPARE(names.removeDuplicates(), 0);
        QVERIFY(names.contains("DejaVu Sans"));
        for (const QString& n : names)
            QVERIFY(!n.startsWith('@'));
    }

    void fontDialogOkRules() {
        CSettings s = CSettings::defaults();
        s.faceName = u"DejaVu Sans";
        s.fontSize = 12;
        s.offset = 3;
        // A built-in library keeps the face, size and offset it had.
        CFontDialog builtin(s);
        builtin.kindBox()->setCurrentIndex(kFontGb2312_16);
        builtin.sizeCheck()->setChecked(false);
        builtin.widthBox()->setValue(16);
        builtin.heightBox()->setValue(16);
        builtin.boldCheck()->setChecked(true);
        CSettings out = s;
        builtin.apply(out);
        QCOMPARE(out.fontType, int(kFontGb2312_16));
        QCOMPARE(out.width, 16u);
        QCOMPARE(out.bold, 1);
        QCOMPARE(out.faceName, std::u16string(u"DejaVu Sans"));
        QCOMPARE(out.fontSize, 12);
        QCOMPARE(out.offset, 3L);
        // A TrueType font with the boxes unticked stores size 0 and offset 0.
        CFontDialog trueType(s);
        trueType.kindBox()->setCurrentIndex(kFontTrueType);
        trueType.faceList()->setFace("DejaVu Sans Mono");
        trueType.sizeCheck()->setChecked(false);
        trueType.offsetCheck()->setChecked(false);
        trueType.halfWidthCheck()->setChecked(true);
        out = s;
        trueType.apply(out);
        QCOMPARE(out.faceName, std::u16string(u"DejaVu Sans Mono"));
        QCOMPARE(out.fontSize, 0);
        QCOMPARE(out.offset, 0L);
        QCOMPARE(out.halfWidth, 1);
    }

    // A font file is taken with the family read from it; one that cannot be read is not taken
    // and says why; the fit choice replaces the size.
    void fontDialogFontFileAndFit() {
        CSettings s = CSettings::defaults();
        s.fontType = kFontTrueType;
        CFontDialog dialog(s);
        dialog.fileCheck()->setChecked(true);
        dialog.fileEdit()->setText("/usr/share/fonts/truetype/wqy/wqy-microhei.ttc");
        dialog.faceIndexBox()->setValue(1);
        dialog.describeFile();
        QVERIFY2(dialog.fileInfo()->text().startsWith("WenQuanYi Micro Hei Mono Regular"),
                 qPrintable(dialog.fileInfo()->text()));
        dialog.fitCheck()->setChecked(true);
        QVERIFY(!dialog.sizeBox()->isEnabled());
        CSettings out = s;
        dialog.apply(out);
        QCOMPARE(out.fontFile, std::string("/usr/share/fonts/truetype/wqy/wqy-microhei.ttc"));
        QCOMPARE(out.faceIndex, 1);
        QCOMPARE(out.faceName, std::u16string(u"WenQuanYi Micro Hei Mono"));
        QCOMPARE(out.fitCell, 1);

        dialog.fileEdit()->setText("/nowhere/x.ttf");
        dialog.describeFile();
        QVERIFY(dialog.fileInfo()->text().contains("'/nowhere/x.ttf' does not exist"));
        out = s;
        dialog.apply(out);
        QVERIFY(out.fontFile.empty());
    }

    // The preview draws the characters in their cells as the dialog's values will: the tail
    // of a 'g' that a 16-dot cell cuts off shows in red around the cell, until the size fits.
    void fontDialogPreviewMarksCutInk() {
        CSettings s = CSettings::defaults();
        s.fontType = kFontTrueType;
        s.faceName = u"DejaVu Sans";
        s.width = s.height = 16;
        s.fontSize = 0;
        CFontDialog dialog(s);
        dialog.setPreviewText(u"gA");
        auto redDots = [&dialog] {
            const QImage image = dialog.previewPicture()->pixmap().toImage();
            int red = 0;
            for (int y = 0; y < image.height(); ++y)
                for (int x = 0; x < image.width(); ++x)
                    red += image.pixelColor(x, y) == QColor(0xE0, 0x30, 0x2C);
            return red;
        };
        QVERIFY2(dialog.previewNote()->text().contains("1 个字符的笔画超出点阵"),
                 qPrintable(dialog.previewNote()->text()));
        QVERIFY(redDots() > 0);
        const int wide = dialog.previewPicture()->pixmap().width();

        dialog.fitCheck()->setChecked(true);
        dialog.updatePreview();
        QCOMPARE(dialog.previewNote()->text(), QString("笔画都在点阵之内"));
        QCOMPARE(redDots(), 0);
        // Every value redraws it a moment later.
        dialog.widthBox()->setValue(8);
        QTRY_VERIFY(dialog.previewPicture()->pixmap().width() < wide);
    }

    void fontChangeReRendersOnlySelectedEntries() {
        CQxView view;
        CSettings& s = view.document().settings();
        s.fontType = kFontAscii8x16;
        s.width = 8;
        s.height = 16;
        view.addCharacters(u"AB");
        view.list().select(1, ESelect::Replace);
        s.fontType = kFontGb2312_12;
        s.width = s.height = 12;
        auto first = view.list().applyFont(s.font(), s.halfWidth);
        QVERIFY(first && *first == 1);
        QCOMPARE(view.list().at(0).width(), 8);
        QCOMPARE(view.list().at(1).width(), 12);
        QCOMPARE(static_cast<CCharEntry&>(view.list().at(1)).font().kind, int(kFontGb2312_12));
    }

    // The depth chosen in the font dialog reaches the settings and, on the selected entries,
    // their dots; the picture dialog's depth comes back in its options and drops the threshold.
    void dialogsOfferTheDepth() {
        CSettings s = CSettings::defaults();
        CFontDialog font(s);
        QCOMPARE(font.depthBox()->depth(), 1);
        font.depthBox()->setCurrentIndex(font.depthBox()->findData(4));
        font.apply(s);
        QCOMPARE(s.depth, 4);
        QCOMPARE(s.font().depth, 4);
        CQxView view;
        view.document().settings().fontType = kFontAscii8x16;
        view.document().settings().width = 8;
        view.document().settings().height = 16;
        view.addCharacters(u"A");
        view.list().select(0, ESelect::Replace);
        CSettings grey = view.document().settings();
        grey.depth = 2;
        view.list().applyFont(grey.font(), grey.halfWidth); // same size: no entry resized
        QVERIFY(view.list().at(0).ensureRendered());
        QCOMPARE(view.list().at(0).matrix().depth(), 2);
        QCOMPARE(int(view.list().at(0).matrix().maxLevel()), 3);

        CPictureOptions o;
        o.depth = 8;
        CThresholdDialog picture(o, 0, 0);
        QCOMPARE(picture.depthBox()->depth(), 8);
        QCOMPARE(picture.options().depth, 8);
        picture.depthBox()->setDepth(1);
        QCOMPARE(picture.options().depth, 1);
    }

    void codeFormatRoundTripsIntoTheEncoder() {
        CSettings s = CSettings::defaults();
        CCodeFormatDialog d(s);
        QVERIFY(d.headEdit()->toPlainText() == "/* %MATRIXCODE_HEAD_FONT%*/\n");
        d.dotOrders()->button(2)->setChecked(true);
        d.byteOrders()->button(5)->setChecked(true);
        d.languages()->button(1)->setChecked(true);
        d.codings()->button(1)->setChecked(true);
        d.headEdit()->setPlainText("; 头\tx\nnext");
        d.tailEdit()->setPlainText("end");
        d.browserEdit()->setText("kate -n");
        d.apply(s);
        QCOMPARE(s.pointsSeq, 2);
        QCOMPARE(s.bytesSeq, 5);
        QCOMPARE(s.codeHead, std::u16string(u"; 头\tx\r\nnext"));
        QCOMPARE(s.codeBrowser, std::u16string(u"kate -n"));
        CEncodingOptions o = CEncodingOptions::fromSettings(s);
        QCOMPARE(o.dotOrder, 2);
        QCOMPARE(o.byteOrder, 5);
        QVERIFY(o.assembler);
        QVERIFY(o.unicode);
        QCOMPARE(QByteArray::fromStdString(o.head), QByteArray("; \xCD\xB7\tx\r\nnext"));
    }

    // Picking a preset sets the orders; orders chosen by hand name the presets that match and
    // leave the preset shown as "自定义" when they differ from it.
    void codeFormatPresets() {
        CSettings s = CSettings::defaults();
        s.width = s.height = 16;
        CCodeFormatDialog d(s);
        QCOMPARE(d.presetBox()->currentIndex(), 0);
        d.presetBox()->setCurrentIndex(d.presetBox()->findData("ssd1306"));
        QCOMPARE(d.dotOrders()->checkedId(), 3);
        QCOMPARE(d.byteOrders()->checkedId(), 0);
        QCOMPARE(d.orderView()->dotOrder(), 3);
        QVERIFY(d.matchingLabel()->text().contains("ST7565"));
        d.byteOrders()->button(4)->setChecked(true);
        QCOMPARE(d.presetBox()->currentIndex(), 0);
        QCOMPARE(d.orderView()->byteOrder(), 4);
        QVERIFY(!d.matchingLabel()->text().contains("SSD1306"));
        d.dotOrders()->button(0)->setChecked(true);
        d.byteOrders()->button(0)->setChecked(true);
        QVERIFY(d.matchingLabel()->text().contains("SSD1680"));
        d.apply(s);
        QCOMPARE(s.pointsSeq, 0);
    }

    // The picture dialog's choice comes back whole, and its preview follows it.
    void pictureOptionsAndPreview() {
        CPictureOptions o;
        o.method = EPictureMethod::kBayer;
        o.invert = true;
        o.scale = EPictureScale::kFill;
        CThresholdDialog d(o, 20, 10);
        o.targetWidth = 20;
        o.targetHeight = 10;
        QCOMPARE(d.options(), o);
        CRgbImage picture(4, 4);
        d.setPreviewPicture(picture);
        QCOMPARE(d.preview()->toolTip(), QString("20x10 点"));
        d.scaleBox()->setCurrentIndex(0);
        QCOMPARE(d.preview()->toolTip(), QString("4x4 点"));
        QCOMPARE(d.options().targetWidth, 0);
    }

    void exportLibraryWithAndWithoutIndex() {
        QTemporaryDir dir;
        CMainFrame frame;
        CSettings& s = frame.view().document().settings();
        s.fontType = kFontGb2312_16;
        s.width = s.height = 16;
        frame.view().addCharacters(u"中文");
        QString target = dir.filePath("lib.bin");
        QStringList titles;
        setFileHook([&](const QString& title) {
            titles << title;
            return target;
        });
        QMessageBox::StandardButton answer = QMessageBox::Yes;
        QString asked;
        setMessageHook([&](QMessageBox::Icon, const QString& title, const QString& text,
                           QMessageBox::StandardButtons) {
            asked = title + "|" + text;
            return answer;
        });
        frame.action(kCmdExportLibrary)->trigger();
        QCOMPARE(titles, QStringList{"保存至..."});
        QVERIFY(asked.startsWith("Tessaglyphworks 确认|导出的字库文件头部是否需要写入索引表？"));
        Result<std::string> expected =
            binaryFile(frame.view().list(), CEncodingOptions::fromSettings(s), true);
        QVERIFY(expected.ok());
        QCOMPARE(readAll(target), QByteArray::fromStdString(*expected));
        QCOMPARE(readAll(target).size(), 4 + 20 + 64);

        answer = QMessageBox::No;
        frame.action(kCmdExportLibrary)->trigger();
        QCOMPARE(readAll(target).size(), 64);
        // Cancel writes nothing.
        QFile::remove(target);
        answer = QMessageBox::Cancel;
        frame.action(kCmdExportLibrary)->trigger();
        QVERIFY(!QFile::exists(target));
    }

    void viewerGetsThePathAsOneArgument() {
        QTemporaryDir dir;
        const QString record = dir.filePath("args.txt");
        const QString stub = dir.filePath("viewer.sh");
        {
            QFile f(stub);
            QVERIFY(f.open(QIODevice::WriteOnly));
            f.write(QString("#!/bin/sh\nfor a in \"$@\"; do echo \"[$a]\"; done > '%1'\n")
                        .arg(record)
                        .toUtf8());
        }
        QFile::setPermissions(stub, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        QVERIFY(startViewer("/bin/sh \"" + stub + "\" --flag", "/tmp/a b/QXCode.TEMPORARY.c"));
        QVERIFY(QTest::qWaitFor([&] { return QFile::exists(record) && !readAll(record).isEmpty(); },
                                5000));
        QCOMPARE(readAll(record), QByteArray("[--flag]\n[/tmp/a b/QXCode.TEMPORARY.c]\n"));
        QVERIFY(!startViewer("/no/such/viewer", "/tmp/x.c"));

        // Export code writes the code file and hands it to the viewer.
        QFile::remove(record);
        CMainFrame frame;
        CSettings& s = frame.view().document().settings();
        s.fontType = kFontAscii8x16;
        s.width = 8;
        s.height = 16;
        s.codeBrowser = ("/bin/sh \"" + stub + "\"").toStdU16String();
        frame.view().addCharacters(u"A");
        frame.action(kCmdExportCode)->trigger();
        QVERIFY(QTest::qWaitFor([&] { return QFile::exists(record) && !readAll(record).isEmpty(); },
                                5000));
        const QString path = frame.codeFilePath();
        QVERIFY(path.endsWith("/QXCode.TEMPORARY.c"));
        QCOMPARE(readAll(record), ("[" + path + "]\n").toUtf8());
        QVERIFY(readAll(path).contains("/*  A[0x0041]    8x16 */\r\n0x00,"));
        // The private folder is the program's own.
        QCOMPARE(QFileInfo(QFileInfo(path).path()).permissions() &
                     (QFile::ReadOther | QFile::WriteOther),
                 QFileDevice::Permissions());
    }

    void codePreviewShowsAndSavesTheBytes() {
        QTemporaryDir dir;
        CCodeViewer viewer(std::string("/* \xD6\xD0 */\r\n0x01,\r\n"), "c");
        QCOMPARE(viewer.shownText(), QString("/* 中 */\n0x01,\n"));
        QCOMPARE(viewer.saveTo(dir.filePath("out.c")), QString());
        QCOMPARE(readAll(dir.filePath("out.c")), QByteArray("/* \xD6\xD0 */\r\n0x01,\r\n"));
    }

    void helpPageIsThere() {
        CHelpWindow help;
        QCOMPARE(help.windowTitle(), QString("使用说明"));
        QVERIFY(help.browser()->toPlainText().contains("字节排列"));
    }
};

QTEST_MAIN(DialogsTest)
#include "dialogs_test.moc"

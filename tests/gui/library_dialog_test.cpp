#include "app/library_dialog.h"
#include "app/messages.h"
#include "codegen/binary_file.h"
#include "codegen/code_text.h"
#include "library/character_set.h"
#include "raster/font_config.h"
#include "raster/rasteriser.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QTemporaryDir>
#include <QtTest>

using namespace tgw;

namespace {

struct CMessage {
    QMessageBox::Icon icon;
    QString title;
    QString text;
};

CSettings fontSettings(int kind, int width, int height, const char16_t* face = u"") {
    CSettings s = CSettings::defaults();
    s.fontType = kind;
    s.faceName = face;
    s.width = unsigned(width);
    s.height = unsigned(height);
    s.codeHead = u"/* %MATRIXCODE_HEAD_FONT%*/\r\n";
    return s;
}

// The writers' output for a list holding one entry per character (no filters).
std::string expected(const CSettings& s, std::u16string_view chars, bool binary, bool withIndex) {
    CRasteriser rasteriser;
    CGlyphList list(rasteriser);
    CAddOptions add;
    add.filterDuplicates = add.filterBlanks = false;
    list.addCharacters(chars, s.font(), add);
    const CEncodingOptions options = CEncodingOptions::fromSettings(s);
    Result<std::string> bytes =
        binary ? binaryFile(list, options, withIndex) : codeText(list, options);
    return bytes ? *bytes : std::string("<failed>");
}

QByteArray readAll(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<missing>");
}

template <class W> W* child(QDialog& d, const char* name) {
    W* w = d.findChild<W*>(name);
    if (!w)
        qFatal("no %s in the dialog", name);
    return w;
}

} // namespace

class LibraryDialogTest : public QObject {
    Q_OBJECT

    QTemporaryDir m_dir;
    QString m_target;
    QStringList m_fileTitles;
    std::vector<CMessage> m_messages;
    std::vector<QMessageBox::StandardButton> m_answers; // given in turn; then Ok

private slots:
    void init() {
        m_target = m_dir.filePath("lib.out");
        QFile::remove(m_target);
        m_fileTitles.clear();
        m_messages.clear();
        m_answers.clear();
        setFileHook([this](const QString& title) {
            m_fileTitles << title;
            return m_target;
        });
        setMessageHook([this](QMessageBox::Icon icon, const QString& title, const QString& text,
                              QMessageBox::StandardButtons) {
            m_messages.push_back({icon, title, text});
            if (m_answers.empty())
                return QMessageBox::Ok;
            QMessageBox::StandardButton a = m_answers.front();
            m_answers.erase(m_answers.begin());
            return a;
        });
    }

    void cleanup() {
        setMessageHook({});
        setFileHook({});
        QCOMPARE(QApplication::overrideCursor(), nullptr);
    }

    void buildsTheAsciiLibraryOfTheCurrentFont() {
        const CSettings s = fontSettings(kFontAscii8x16, 8, 16);
        CLibraryDialog dialog(s);
        dialog.show();
        // The set of an ASCII dot font is chosen; printable only narrows it to 96 from the blank.
        QVERIFY(child<QRadioButton>(dialog, "asciiSet")->isChecked());
        QVERIFY(child<QRadioButton>(dialog, "cOutput")->isChecked());
        QVERIFY(!child<QCheckBox>(dialog, "withIndex")->isEnabled());
        QVERIFY(!child<QPlainTextEdit>(dialog, "customText")->isEnabled());
        child<QCheckBox>(dialog, "printableOnly")->setChecked(true);
        QTest::mouseClick(child<QPushButton>(dialog, "build"), Qt::LeftButton);
        QTRY_COMPARE(dialog.result(), int(QDialog::Accepted));
        QCOMPARE(m_fileTitles, QStringList{"保存至..."});
        QVERIFY(m_messages.empty()); // 96 entries: no large-job question
        const QByteArray text = readAll(m_target);
        QCOMPARE(text.toStdString(), expected(s, asciiCharacters(true), false, false));
        QVERIFY(text.startsWith("/* ASCII 8x16"));
    }

    void buildsABinaryLibraryWithItsIndex() {
        const CSettings s = fontSettings(kFontGb2312_16, 16, 16);
        CLibraryDialog dialog(s);
        dialog.show();
        QVERIFY(child<QRadioButton>(dialog, "gb2312Set")->isChecked());
        child<QRadioButton>(dialog, "customSet")->click();
        QVERIFY(child<QPlainTextEdit>(dialog, "customText")->isEnabled());
        child<QPlainTextEdit>(dialog, "customText")->setPlainText("文中文 中");
        child<QCheckBox>(dialog, "sort")->setChecked(true);
        child<QCheckBox>(dialog, "removeDuplicates")->setChecked(true);
        child<QCheckBox>(dialog, "skipBlanks")->setChecked(true);
        child<QRadioButton>(dialog, "binaryOutput")->click();
        QVERIFY(child<QCheckBox>(dialog, "withIndex")->isEnabled());
        child<QCheckBox>(dialog, "withIndex")->setChecked(true);
        QTest::mouseClick(child<QPushButton>(dialog, "build"), Qt::LeftButton);
        QTRY_COMPARE(dialog.result(), int(QDialog::Accepted));
        // Code page order: 文 (CEC4) before 中 (D6D0).
        QCOMPARE(readAll(m_target).toStdString(), expected(s, u"文中", true, true));
    }

    // At 4 bits a dot the formats that hold one bit cannot be chosen (a chosen one gives way to
    // C code), and the built library holds the grey glyphs.
    void aGreyDepthOffersOnlyTheFormatsThatHoldIt() {
        CSettings s = fontSettings(kFontAscii8x16, 8, 16);
        CLibraryDialog dialog(s);
        dialog.show();
        child<QRadioButton>(dialog, "gfxOutput")->click();
        auto* depth = child<QComboBox>(dialog, "depth");
        depth->setCurrentIndex(depth->findData(4));
        QVERIFY(!child<QRadioButton>(dialog, "gfxOutput")->isEnabled());
        QVERIFY(!child<QRadioButton>(dialog, "bdfOutput")->isEnabled());
        QVERIFY(child<QRadioButton>(dialog, "binaryOutput")->isEnabled());
        QVERIFY(child<QRadioButton>(dialog, "cOutput")->isChecked());
        child<QRadioButton>(dialog, "binaryOutput")->click();
        child<QRadioButton>(dialog, "customSet")->click();
        child<QPlainTextEdit>(dialog, "customText")->setPlainText("AB");
        QTest::mouseClick(child<QPushButton>(dialog, "build"), Qt::LeftButton);
        QTRY_COMPARE(dialog.result(), int(QDialog::Accepted));
        s.depth = 4;
        QCOMPARE(readAll(m_target).toStdString(), expected(s, u"AB", true, false));
        QCOMPARE(readAll(m_target).size(), 2 * 16 * 4);
    }

    void buildsAGfxFontOfARangeFromAFontFile() {
        Result<CFaceFile> dejaVu = findFace(u"DejaVu Sans", false, false);
        QVERIFY(dejaVu);
        CSettings s = fontSettings(kFontTrueType, 12, 12, u"DejaVu Sans");
        s.fontFile = dejaVu->file;
        CLibraryDialog dialog(s);
        dialog.show();
        // The sample line is drawn from the metrics.
        QVERIFY(!child<QLabel>(dialog, "preview")->pixmap().isNull());
        child<QRadioButton>(dialog, "rangeSet")->click();
        child<QRadioButton>(dialog, "gfxOutput")->click();
        QVERIFY(!child<QCheckBox>(dialog, "withIndex")->isEnabled());
        auto* ranges = child<QLineEdit>(dialog, "ranges");
        ranges->setText("0x20-0x7E,0x4G");
        QTest::mouseClick(child<QPushButton>(dialog, "build"), Qt::LeftButton);
        QCOMPARE(m_messages.size(), size_t(1));
        QVERIFY2(m_messages[0].text.contains("'0x4G'"), qPrintable(m_messages[0].text));
        QVERIFY(m_fileTitles.isEmpty());

        ranges->setText("0x20-0x7E");
        QTest::mouseClick(child<QPushButton>(dialog, "build"), Qt::LeftButton);
        QTRY_COMPARE(dialog.result(), int(QDialog::Accepted));
        const QByteArray header = readAll(m_target);
        QVERIFY(
            header.contains("const GFXfont DejaVuSans12 PROGMEM = {(uint8_t *)"
                            "DejaVuSans12Bitmaps, (GFXglyph *)DejaVuSans12Glyphs, 0x20, 0x7E,"));
        QVERIFY(header.contains("/* 0x7E '~' */"));
    }

    // The writers' own choices reach the writer as tgw build's options do: the LVGL font with
    // name, version, compression and no kerning is the one the builder writes with them; a name
    // makes the C code a header; a bad name is refused before any file is asked for.
    void theWritersChoicesReachTheWriter() {
        Result<CFaceFile> dejaVu = findFace(u"DejaVu Sans", false, false);
        QVERIFY(dejaVu);
        CSettings s = fontSettings(kFontTrueType, 16, 16, u"DejaVu Sans");
        s.fontFile = dejaVu->file;
        s.depth = 4;
        CLibraryDialog dialog(s);
        dialog.show();
        child<QRadioButton>(dialog, "rangeSet")->click();
        child<QLineEdit>(dialog, "ranges")->setText("0x41-0x5A");
        child<QRadioButton>(dialog, "cOutput")->click();
        for (const char* off : {"kerning", "compress", "lvglVersion"})
            QVERIFY2(!child<QWidget>(dialog, off)->isEnabled(), off);
        child<QLineEdit>(dialog, "name")->setText("2font");
        QTest::mouseClick(child<QPushButton>(dialog, "build"), Qt::LeftButton);
        QCOMPARE(m_messages.size(), size_t(1));
        QVERIFY(m_messages[0].text.contains("2font"));
        QVERIFY(m_fileTitles.isEmpty());

        child<QRadioButton>(dialog, "lvglOutput")->click();
        for (const char* on : {"name", "kerning", "compress", "lvglVersion"})
            QVERIFY2(child<QWidget>(dialog, on)->isEnabled(), on);
        child<QLineEdit>(dialog, "name")->setText("my_font");
        child<QCheckBox>(dialog, "kerning")->setChecked(false);
        child<QCheckBox>(dialog, "compress")->setChecked(true);
        auto* version = child<QComboBox>(dialog, "lvglVersion");
        version->setCurrentIndex(version->findData(8));
        QTest::mouseClick(child<QPushButton>(dialog, "build"), Qt::LeftButton);
        QTRY_COMPARE(dialog.result(), int(QDialog::Accepted));

        Result<std::u16string> range = rangeCharacters("0x41-0x5A", u"");
        QVERIFY(range);
        CLibraryBuilder builder(s, *range, *findWriter("lvgl"), false);
        builder.setIdentifier("my_font");
        CWriterOptions options;
        options.kerning = false;
        options.compression = ECompression::RleXorFilter;
        options.libraryVersion = 8;
        builder.setWriterOptions(options);
        CStringOutput out;
        QVERIFY(builder.run(out));
        const QByteArray font = readAll(m_target);
        QCOMPARE(font.toStdString(), out.data());
        QVERIFY(font.contains("const lv_font_t my_font = {"));
        QVERIFY(font.contains("#if LVGL_VERSION_MAJOR != 8"));

        CLibraryDialog header(s);
        header.show();
        child<QRadioButton>(header, "customSet")->click();
        child<QPlainTextEdit>(header, "customText")->setPlainText("AB");
        child<QLineEdit>(header, "name")->setText("font16");
        QTest::mouseClick(child<QPushButton>(header, "build"), Qt::LeftButton);
        QTRY_COMPARE(header.result(), int(QDialog::Accepted));
        QVERIFY(readAll(m_target).startsWith("#ifndef FONT16_H"));
    }

    void refusalsAndTheUnicodeOrderQuestion() {
        CLibraryDialog dialog(fontSettings(kFontGb2312_16, 16, 16));
        dialog.show();
        auto build = [&] {
            QTest::mouseClick(child<QPushButton>(dialog, "build"), Qt::LeftButton);
        };
        child<QRadioButton>(dialog, "customSet")->click();
        build();
        QCOMPARE(m_messages.size(), size_t(1));
        QCOMPARE(m_messages[0].icon, QMessageBox::Information);
        QCOMPARE(m_messages[0].title, QString("Tessaglyphworks 提示"));
        QCOMPARE(m_messages[0].text, QString("未指定生成的字库中需要包含的字符内容！"));

        // À has no code page form: sorting asks; no stops before the file dialog.
        child<QPlainTextEdit>(dialog, "customText")->setPlainText("中À");
        child<QCheckBox>(dialog, "sort")->setChecked(true);
        m_answers = {QMessageBox::No};
        build();
        QCOMPARE(m_messages.size(), size_t(2));
        QCOMPARE(m_messages[1].icon, QMessageBox::Question);
        QCOMPARE(m_messages[1].title, QString("Tessaglyphworks 确认"));
        QCOMPARE(m_messages[1].text,
                 QString("输入内容中包含UNICODE字符，只能使用UNICODE编码进行排序。"
                         "\n\n确认使用UNICODE排序？"));
        QVERIFY(m_fileTitles.isEmpty());

        // A file that cannot be made.
        const QString target = m_target;
        m_target = m_dir.filePath("no/such/folder/lib.c");
        m_answers = {QMessageBox::Yes};
        build();
        QCOMPARE(m_messages.size(), size_t(4));
        QCOMPARE(m_messages[3].icon, QMessageBox::Information);
        QCOMPARE(m_messages[3].text, QString("文件打开失败，请检查后重试！"));
        QVERIFY(!dialog.building());
        QVERIFY(dialog.isVisible());

        // Yes: Unicode order, À before 中.
        m_target = target;
        m_answers = {QMessageBox::Yes};
        build();
        QTRY_COMPARE(dialog.result(), int(QDialog::Accepted));
        const QByteArray text = readAll(m_target);
        QVERIFY(text.indexOf("UCS2:0x00C0") >= 0);
        QVERIFY(text.indexOf("UCS2:0x00C0") < text.indexOf("[0xD6D0]"));
    }

    void aLargeBuildAsksLocksTheDialogAndCanBeStopped() {
        // Every GB2312 code in large cells of a TrueType face: thousands of entries, slow enough
        // to be stopped.
        CLibraryDialog dialog(fontSettings(kFontTrueType, 96, 96, u"WenQuanYi Micro Hei"));
        dialog.show();
        QVERIFY(child<QRadioButton>(dialog, "fontSet")->isChecked());
        child<QRadioButton>(dialog, "gb2312Set")->click();

        m_answers = {QMessageBox::No};
        QTest::mouseClick(child<QPushButton>(dialog, "build"), Qt::LeftButton);
        QCOMPARE(m_messages.size(), size_t(1));
        QCOMPARE(m_messages[0].text, QString("因字模量多，所以本次操作可能耗时较长，是否继续？"));
        QVERIFY(!dialog.building());

        m_answers = {QMessageBox::Yes};
        QTest::mouseClick(child<QPushButton>(dialog, "build"), Qt::LeftButton);
        QVERIFY(dialog.building());
        QVERIFY(QApplication::overrideCursor());
        QCOMPARE(QApplication::overrideCursor()->shape(), Qt::WaitCursor);
        for (const char* name : {"build", "close"})
            QVERIFY(!child<QPushButton>(dialog, name)->isEnabled());
        for (QGroupBox* box : dialog.findChildren<QGroupBox*>())
            QVERIFY(!box->isEnabled());
        QVERIFY(child<QPushButton>(dialog, "stop")->isEnabled());
        // Neither Escape nor the title bar's close ends the dialog meanwhile.
        QTest::keyClick(&dialog, Qt::Key_Escape);
        QVERIFY(!dialog.close());
        QVERIFY(dialog.isVisible());
        // The display counts the entries done, of all of them.
        QTRY_VERIFY(child<QLabel>(dialog, "progressText")->text().contains(" / 8178"));

        QTest::mouseClick(child<QPushButton>(dialog, "stop"), Qt::LeftButton);
        QTRY_VERIFY(!dialog.building());
        QVERIFY(dialog.isVisible());
        QCOMPARE(QApplication::overrideCursor(), nullptr);
        QVERIFY(child<QPushButton>(dialog, "build")->isEnabled());
        QVERIFY(!child<QPushButton>(dialog, "stop")->isEnabled());
        // Neither the library nor a temporary file of it is left.
        QCOMPARE(
            QDir(m_dir.path()).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot),
            QStringList());
        QCOMPARE(m_messages.size(), size_t(2));
    }
};

QTEST_MAIN(LibraryDialogTest)
#include "library_dialog_test.moc"

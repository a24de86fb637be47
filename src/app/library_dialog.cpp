#include "app/library_dialog.h"

#include "app/depth_box.h"
#include "app/dialog_keys.h"
#include "app/messages.h"
#include "base/screen_text.h"
#include "codegen/code_text.h"
#include "codegen/gfx_font_writer.h"
#include "codegen/preview_layout.h"
#include "library/character_set.h"
#include "raster/rasteriser.h"

#include <QApplication>
#include <QButtonGroup>
#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QPixmap>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

#include <new>

namespace tgw {
namespace {

const char* const kNoContent =
    QT_TRANSLATE_NOOP("tgw::CLibraryDialog", "未指定生成的字库中需要包含的字符内容！");
const char* const kUnicodeOrderQuestion = QT_TRANSLATE_NOOP(
    "tgw::CLibraryDialog",
    "输入内容中包含UNICODE字符，只能使用UNICODE编码进行排序。\r\n\r\n确认使用UNICODE排序？");
const char* const kLargeJobQuestion =
    QT_TRANSLATE_NOOP("tgw::CLibraryDialog", "因字模量多，所以本次操作可能耗时较长，是否继续？");
const char* const kOpenFailed =
    QT_TRANSLATE_NOOP("tgw::CLibraryDialog", "文件打开失败，请检查后重试！");
const char* const kOutOfMemory =
    QT_TRANSLATE_NOOP("tgw::CLibraryDialog", "内存分配失败，请检查后重试！");

// A walk over more than this many unrendered entries asks first; every entry of a build is
// still to be rendered.
constexpr size_t kLargeJob = 1000;

bool isAsciiFont(int kind) {
    return kind >= kFontAscii5x7 && kind <= kFontAscii8x16;
}

QRadioButton* addChoice(QButtonGroup* group, int id, const QString& text, const char* name,
                        QWidget* parent, QLayout* layout) {
    auto* b = new QRadioButton(text, parent);
    b->setObjectName(name);
    group->addButton(b, id);
    layout->addWidget(b);
    return b;
}

QCheckBox* addOption(const QString& text, const char* name, QWidget* parent, QLayout* layout) {
    auto* b = new QCheckBox(text, parent);
    b->setObjectName(name);
    layout->addWidget(b);
    return b;
}

// `widget` on a row behind its label, which names it for the keyboard.
void addLabelled(const QString& text, QWidget* widget, QWidget* parent, QBoxLayout* layout) {
    auto* row = new QHBoxLayout;
    auto* label = new QLabel(text, parent);
    label->setBuddy(widget);
    row->addWidget(label);
    row->addWidget(widget, 1);
    layout->addLayout(row);
}

} // namespace

CLibraryDialog::CLibraryDialog(CSettings settings, QWidget* parent)
    : QDialog(parent), m_settings(std::move(settings)), m_set(new QButtonGroup(this)),
      m_output(new QButtonGroup(this)) {
    setWindowTitle(tr("生成字库"));

    // The characters.
    auto* setBox = new QGroupBox(tr("字符集"), this);
    auto* setLayout = new QVBoxLayout(setBox);
    addChoice(m_set, int(ECharacterSet::Ascii), tr("ASCII 字符"), "asciiSet", setBox, setLayout);
    addChoice(m_set, int(ECharacterSet::Gb2312), tr("GB2312 字符（8178 个）"), "gb2312Set", setBox,
              setLayout);
    const QString fontText =
        m_settings.fontType == kFontTrueType
            ? tr("字体“%1”包含的全部字符").arg(QString::fromStdU16String(m_settings.faceName))
            : tr("当前字库包含的全部字符");
    addChoice(m_set, int(ECharacterSet::Font), fontText, "fontSet", setBox, setLayout);
    addChoice(m_set, int(ECharacterSet::Custom), tr("自定义字符："), "customSet", setBox,
              setLayout);
    m_text = new QPlainTextEdit(setBox);
    m_text->setObjectName("customText");
    m_text->setPlaceholderText(tr("输入字库中需要包含的字符"));
    m_text->setMaximumHeight(90);
    m_text->setAccessibleName(tr("自定义字符"));
    tabLeaves(m_text);
    setLayout->addWidget(m_text);
    m_printable =
        addOption(tr("仅可打印 ASCII 字符（32～127）"), "printableOnly", setBox, setLayout);
    addChoice(m_set, int(ECharacterSet::Range), tr("范围："), "rangeSet", setBox, setLayout);
    m_ranges = new QLineEdit(setBox);
    m_ranges->setObjectName("ranges");
    m_ranges->setPlaceholderText("0x20-0x7E,0x4E00-0x9FA5,65");
    m_ranges->setAccessibleName(tr("范围"));
    setLayout->addWidget(m_ranges);
    auto* rangeHelp = new QLabel(
        tr("以逗号分隔的编码或“起-止”范围，十六进制加 0x，或十进制；按编码升序，不重复"), setBox);
    rangeHelp->setWordWrap(true);
    setLayout->addWidget(rangeHelp);
    m_symbols = new QLineEdit(setBox);
    m_symbols->setObjectName("symbols");
    m_symbols->setPlaceholderText(tr("另加的符号，如 °±µ"));
    m_symbols->setAccessibleName(tr("另加的符号"));
    setLayout->addWidget(m_symbols);

    // What happens to them.
    auto* optionBox = new QGroupBox(tr("选项"), this);
    auto* optionLayout = new QVBoxLayout(optionBox);
    m_sort = addOption(m_settings.useUnicode ? tr("排序（UNICODE 编码顺序）")
                                             : tr("排序（MBCS 编码顺序）"),
                       "sort", optionBox, optionLayout);
    m_dedupe = addOption(tr("去除重复字符"), "removeDuplicates", optionBox, optionLayout);
    m_skipBlanks = addOption(tr("跳过空白字符"), "skipBlanks", optionBox, optionLayout);
    optionLayout->addStretch();

    // Where they go.
    auto* outputBox = new QGroupBox(tr("输出"), this);
    auto* outputLayout = new QVBoxLayout(outputBox);
    // Every writer of the table, in its order; the button's name is the format's ("binOutput"
    // is called "binaryOutput", as it always was).
    const std::vector<COutputWriter>& writers = outputWriters();
    for (size_t i = 0; i < writers.size(); ++i) {
        const std::string format = writers[i].name;
        const std::string name = (format == "bin" ? "binary" : format) + "Output";
        addChoice(m_output, int(i),
                  QString::fromUtf8(screenText("tgw::core::writers", writers[i].label)),
                  name.c_str(), outputBox, outputLayout);
    }
    m_index = addOption(tr("写入索引表"), "withIndex", outputBox, outputLayout);
    // The depth of the glyphs: formats that cannot hold it are not offered.
    m_depth = new CDepthBox(m_settings.depth, outputBox);
    m_depth->setObjectName("depth");
    addLabelled(tr("每点位数"), m_depth, outputBox, outputLayout);
    m_name = new QLineEdit(outputBox);
    m_name->setObjectName("name");
    m_name->setPlaceholderText(tr("由字体与字号生成"));
    m_name->setToolTip(
        tr("C 代码：写成可被多个 C 文件包含的头文件，这是其数组名；字体格式：字体的符号名"));
    m_name->setAccessibleName(tr("名称"));
    addLabelled(tr("名称(&N)"), m_name, outputBox, outputLayout);
    m_kerning = addOption(tr("字距调整（字体的字偶距）"), "kerning", outputBox, outputLayout);
    m_kerning->setChecked(true);
    m_compress = addOption(tr("压缩字形（LVGL 需设 LV_USE_FONT_COMPRESSED 为 1）"), "compress",
                           outputBox, outputLayout);
    m_libraryVersion = new QComboBox(outputBox);
    m_libraryVersion->setObjectName("lvglVersion");
    m_libraryVersion->addItem("9", 9);
    m_libraryVersion->addItem("8", 8);
    m_libraryVersion->setAccessibleName(tr("LVGL 版本"));
    addLabelled(tr("LVGL 版本"), m_libraryVersion, outputBox, outputLayout);
    outputLayout->addStretch();

    m_progressText = new QLabel(this);
    m_progressText->setObjectName("progressText");
    m_progressBar = new QProgressBar(this);
    m_progressBar->setObjectName("progressBar");
    m_progressBar->setRange(0, 1);
    m_progressBar->setValue(0);

    m_buildButton = new QPushButton(tr("生成 (&G)..."), this);
    m_buildButton->setObjectName("build");
    m_buildButton->setDefault(true);
    m_stopButton = new QPushButton(tr("停止 (&S)"), this);
    m_stopButton->setObjectName("stop");
    m_stopButton->setEnabled(false);
    m_closeButton = new QPushButton(tr("关闭"), this);
    m_closeButton->setObjectName("close");

    auto* previewBox = new QGroupBox(tr("比例字体预览"), this);
    auto* previewLayout = new QVBoxLayout(previewBox);
    m_preview = new QLabel(previewBox);
    m_preview->setObjectName("preview");
    m_preview->setMinimumHeight(48);
    m_preview->setAccessibleName(tr("比例字体预览"));
    previewLayout->addWidget(m_preview);

    auto* grid = new QGridLayout;
    // The characters and what happens to them on the left, where they go on the right: the
    // dialog fits a 768-dot-high screen with its title bar.
    grid->addWidget(setBox, 0, 0);
    grid->addWidget(optionBox, 1, 0);
    grid->addWidget(outputBox, 0, 1, 2, 1);
    grid->addWidget(previewBox, 2, 0, 1, 2);
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(m_progressText, 1);
    buttons->addWidget(m_buildButton);
    buttons->addWidget(m_stopButton);
    buttons->addWidget(m_closeButton);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(grid);
    layout->addWidget(m_progressBar);
    layout->addLayout(buttons);

    m_options = {setBox, optionBox, outputBox, previewBox, m_buildButton, m_closeButton};
    connect(m_ranges, &QLineEdit::textEdited, this,
            [this] { m_set->button(int(ECharacterSet::Range))->setChecked(true); });

    // The set the current font offers, in the language of the code format.
    const int kind = m_settings.fontType;
    m_set
        ->button(int(isAsciiFont(kind)                                  ? ECharacterSet::Ascii
                     : kind == kFontGb2312_12 || kind == kFontGb2312_16 ? ECharacterSet::Gb2312
                                                                        : ECharacterSet::Font))
        ->setChecked(true);
    m_output->button(writerIndex(m_settings.language ? "asm" : "c"))->setChecked(true);
    drawPreview();

    connect(m_set, &QButtonGroup::idToggled, this, [this] { updateControls(); });
    connect(m_output, &QButtonGroup::idToggled, this, [this](int, bool on) {
        updateControls();
        if (on)
            drawPreview();
    });
    connect(m_depth, &QComboBox::currentIndexChanged, this, [this] {
        m_settings.depth = m_depth->depth();
        drawPreview();
        updateControls();
    });
    connect(m_buildButton, &QPushButton::clicked, this, &CLibraryDialog::startBuild);
    connect(m_stopButton, &QPushButton::clicked, this, &CLibraryDialog::stopBuild);
    connect(m_closeButton, &QPushButton::clicked, this, &CLibraryDialog::reject);
    m_progressTimer.setInterval(kProgressMs);
    connect(&m_progressTimer, &QTimer::timeout, this, &CLibraryDialog::refreshProgress);
    updateControls();
}

CLibraryDialog::~CLibraryDialog() {
    if (building()) {
        m_progressTimer.stop();
        m_builder.reset(); // stops the workers and removes the unfinished file
        QApplication::restoreOverrideCursor();
    }
}

int CLibraryDialog::writerIndex(std::string_view name) {
    const COutputWriter* w = findWriter(name);
    return w ? int(w - outputWriters().data()) : 0;
}

ECharacterSet CLibraryDialog::chosenSet() const {
    return ECharacterSet(m_set->checkedId());
}

const COutputWriter& CLibraryDialog::chosenWriter() const {
    return outputWriters().at(size_t(std::max(0, m_output->checkedId())));
}

void CLibraryDialog::drawPreview() {
    CFontSettings font = m_settings.font();
    if (font.kind == kFontTrueType)
        font.width = font.height;
    // A GFX font cannot hold codes above 0xFF: the line shows it without them.
    const bool gfx = std::string_view(chosenWriter().name) == "gfx";
    CRasteriser rasteriser;
    CProportionalFont glyphs;
    for (char16_t c : std::u16string_view(kPreviewText)) {
        if (gfx && c > kGfxLastCode)
            continue;
        CProportionalGlyph g;
        if (!rasteriser.renderProportional(c, ansiForm(c), font, g, glyphs.line))
            return;
        glyphs.glyphs.push_back(std::move(g));
    }
    // The line as tgw preview draws it: the pen on the baseline, the first line's ascent at the
    // top; a GFX font by the GFX library's own rules.
    const CTextLayout layout = gfx ? layoutGfxText(glyphs, kPreviewText, {})
                                   : layoutProportionalText(glyphs, kPreviewText, {});
    if (layout.width <= 0 || layout.width > 4096 || layout.height > 1024)
        return;
    CPreviewOptions options;
    options.look.colours = parseColours("epaper").value();
    Result<CPreviewCanvas> canvas = tgw::drawPreview(layout, options);
    if (!canvas)
        return;
    options.look.zoom = std::clamp(360 / canvas->width(), 1, 4);
    Result<CPreviewImage> image = paintCanvas(*canvas, options.look);
    if (!image)
        return;
    m_preview->setPixmap(
        QPixmap::fromImage(QImage(image->pixels.data(), image->width, image->height,
                                  image->width * 3, QImage::Format_RGB888)
                               .copy()));
}

CWriterOptions CLibraryDialog::writerOptions() const {
    CWriterOptions options;
    options.kerning = !m_kerning->isEnabled() || m_kerning->isChecked();
    if (m_compress->isEnabled() && m_compress->isChecked())
        options.compression = ECompression::RleXorFilter;
    options.libraryVersion = m_libraryVersion->currentData().toInt();
    return options;
}

void CLibraryDialog::updateControls() {
    const ECharacterSet set = chosenSet();
    m_text->setEnabled(set == ECharacterSet::Custom);
    m_dedupe->setEnabled(set == ECharacterSet::Custom);
    m_printable->setEnabled(set == ECharacterSet::Ascii ||
                            (set == ECharacterSet::Font && isAsciiFont(m_settings.fontType)));
    m_ranges->setEnabled(set == ECharacterSet::Range);
    m_symbols->setEnabled(set == ECharacterSet::Range);
    const COutputWriter& writer = chosenWriter();
    m_index->setEnabled(writer.takesIndex);
    m_name->setEnabled(writer.takesName);
    m_kerning->setEnabled(writer.takesKerning);
    m_compress->setEnabled((writer.compressedDepths >> (m_settings.depth - 1)) & 1);
    m_libraryVersion->setEnabled(std::string_view(writer.name) == "lvgl");
    const std::vector<COutputWriter>& writers = outputWriters();
    for (size_t i = 0; i < writers.size(); ++i)
        m_output->button(int(i))->setEnabled(writers[i].takesDepth(m_settings.depth));
    // A format that cannot hold the depth gives way to the C code, which holds every depth.
    if (!chosenWriter().takesDepth(m_settings.depth))
        m_output->button(writerIndex("c"))->setChecked(true);
}

void CLibraryDialog::startBuild() {
    if (building())
        return;
    const ECharacterSet set = chosenSet();
    CLibraryRequest request;
    request.set = set;
    request.customText = m_text->toPlainText().toStdU16String();
    request.ranges = m_ranges->text().toStdString();
    request.symbols = m_symbols->text().toStdU16String();
    if (set == ECharacterSet::Range) {
        // Bad syntax is refused here, naming the piece, before any file is asked for.
        Result<std::u16string> ranged = rangeCharacters(request.ranges, request.symbols);
        if (!ranged) {
            notice(this, tr("字符范围有误：") + QString::fromStdString(ranged.error()));
            return;
        }
        if (ranged->empty()) {
            notice(this, kNoContent);
            return;
        }
    }
    if (set == ECharacterSet::Custom && request.customText.empty()) {
        notice(this, tr(kNoContent));
        return;
    }
    request.printableOnly = m_printable->isEnabled() && m_printable->isChecked();
    request.sort = m_sort->isChecked();
    request.codePageOrder = !m_settings.useUnicode;
    request.removeDuplicates = m_dedupe->isEnabled() && m_dedupe->isChecked();
    request.skipBlanks = m_skipBlanks->isChecked();

    Result<CCharacterPlan> plan = failure("");
    try {
        plan = planCharacters(request, m_settings.font(), [this](char16_t) {
            return askYesNo(this, tr(kUnicodeOrderQuestion).replace("\r\n", "\n"));
        });
    } catch (const std::bad_alloc&) {
        notice(this, tr(kOutOfMemory));
        return;
    }
    if (!plan) {
        notice(this, QString::fromStdString(plan.error()));
        return;
    }
    if (plan->refused)
        return;

    const COutputWriter& writer = chosenWriter();
    const QString identifier = m_name->isEnabled() ? m_name->text().trimmed() : QString();
    if (!identifier.isEmpty() && !isCIdentifier(identifier.toStdString())) {
        notice(this, tr("“%1”不能用作名称：须以字母或 _ 开头，只含字母、数字与 _，且不是 C 关键字")
                         .arg(identifier));
        return;
    }
    const QString path =
        chooseSaveFile(this, tr("保存至..."), writerSaveFilter(writer), writer.extension);
    if (path.isEmpty())
        return;
    if (plan->characters.size() > kLargeJob && !askYesNo(this, tr(kLargeJobQuestion)))
        return;

    auto builder = std::make_unique<CLibraryBuilder>(
        m_settings, std::move(plan->characters), writer, writer.takesIndex && m_index->isChecked());
    builder->setIdentifier(identifier.toStdString());
    builder->setWriterOptions(writerOptions());
    if (Status opened = builder->start(path.toStdString()); !opened) {
        notice(this, tr(kOpenFailed));
        return;
    }
    m_builder = std::move(builder);
    m_path = path;
    setBuilding(true);
    refreshProgress();
}

void CLibraryDialog::stopBuild() {
    if (!building())
        return;
    m_builder->cancel();
    m_stopButton->setEnabled(false);
    m_progressText->setText(tr("正在停止..."));
}

void CLibraryDialog::setBuilding(bool on) {
    for (QWidget* w : m_options)
        w->setEnabled(!on);
    m_stopButton->setEnabled(on);
    if (on) {
        QApplication::setOverrideCursor(Qt::WaitCursor);
        m_progressTimer.start();
    } else {
        m_progressTimer.stop();
        QApplication::restoreOverrideCursor();
    }
}

void CLibraryDialog::refreshProgress() {
    if (!building())
        return;
    const size_t done = m_builder->done(), total = m_builder->total();
    // The bar counts in thousandths, so that any count fits its int range.
    m_progressBar->setRange(0, 1000);
    m_progressBar->setValue(total ? int(done * 1000 / total) : 1000);
    if (!m_builder->cancelled())
        m_progressText->setText(tr("已生成 %1 / %2 个字模").arg(done).arg(total));
    if (m_builder->finished())
        endBuild();
}

void CLibraryDialog::endBuild() {
    const Result<CBuildSummary> result = m_builder->wait();
    const bool cancelled = m_builder->cancelled();
    m_builder.reset();
    setBuilding(false);
    if (result) {
        m_resultText =
            result->written ? writtenText(result->glyphs, result->bytes, m_path) : QString();
        accept();
        return;
    }
    m_progressBar->setValue(0);
    if (cancelled) {
        m_progressText->setText(tr("已停止，未写入文件"));
        return;
    }
    m_progressText->clear();
    notice(this, tr("字库生成失败，请检查后重试！\n\n") + QString::fromStdString(result.error()));
}

void CLibraryDialog::reject() {
    if (!building())
        QDialog::reject();
}

void CLibraryDialog::closeEvent(QCloseEvent* event) {
    if (building())
        event->ignore();
    else
        QDialog::closeEvent(event);
}

} // namespace tgw

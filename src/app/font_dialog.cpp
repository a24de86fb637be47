#include "app/font_dialog.h"

#include "app/depth_box.h"
#include "app/dialog_keys.h"
#include "base/screen_text.h"
#include "base/text.h"
#include "codegen/preview_layout.h"
#include "model/dot_matrix.h"
#include "model/glyph_list.h"
#include "raster/rasteriser.h"
#include "view/font_list.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QFileDialog>
#include <QFileInfo>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QPixmap>
#include <QPushButton>
#include <QSpinBox>
#include <QTimer>
#include <QVBoxLayout>

#include <algorithm>

namespace tgw {

CFontDialog::CFontDialog(const CSettings& s, QWidget* parent)
    : QDialog(parent), m_kind(new QComboBox(this)), m_face(new CFontList(this)),
      m_sizeOn(new QCheckBox(tr("字号"), this)), m_size(new QSpinBox(this)),
      m_width(new QSpinBox(this)), m_height(new QSpinBox(this)),
      m_bold(new QCheckBox(tr("粗体"), this)), m_italic(new QCheckBox(tr("斜体"), this)),
      m_underline(new QCheckBox(tr("下划线"), this)),
      m_strikeout(new QCheckBox(tr("删除线"), this)),
      m_offsetOn(new QCheckBox(tr("纵向偏移"), this)), m_offset(new QSpinBox(this)),
      m_halfWidth(new QCheckBox(tr("ASCII 字符半宽"), this)),
      m_fileOn(new QCheckBox(tr("字体文件"), this)), m_file(new QLineEdit(this)),
      m_browse(new QPushButton(tr("浏览..."), this)), m_faceIndex(new QSpinBox(this)),
      m_fileInfo(new QLabel(this)), m_fit(new QCheckBox(tr("适应单元"), this)),
      m_depth(new CDepthBox(s.depth, this)), m_start(s),
      m_rasteriser(std::make_unique<CRasteriser>()), m_previewTimer(new QTimer(this)),
      m_preview(new QLabel(this)), m_previewNote(new QLabel(this)) {
    setWindowTitle(tr("字模字体"));

    for (int kind = kFontAscii5x7; kind <= kFontGb2312_16; ++kind)
        m_kind->addItem(screenText("tgw::core::settings", builtinFontName(kind)), kind);
    m_kind->addItem(tr("系统字体 (TrueType)"), int(kFontTrueType));
    m_kind->setCurrentIndex(std::clamp(s.fontType, 0, 6));
    m_face->setFace(QString::fromStdU16String(s.faceName));

    for (QSpinBox* box : {m_size, m_width, m_height})
        box->setRange(1, kMaxMatrixSide);
    m_offset->setRange(-kMaxMatrixSide, kMaxMatrixSide);
    // The size field shows the font size, else the larger side of the cell when that is
    // above 6, else 7.
    const int side = int(std::max(s.width, s.height));
    m_size->setValue(s.fontSize != 0 ? s.fontSize : side > 6 ? side : 7);
    m_sizeOn->setChecked(s.fontSize != 0);
    m_width->setValue(int(s.width));
    m_height->setValue(int(s.height));
    m_bold->setChecked(s.bold);
    m_italic->setChecked(s.italic);
    m_underline->setChecked(s.underline);
    m_strikeout->setChecked(s.strikeout);
    m_offset->setValue(int(s.offset));
    m_offsetOn->setChecked(s.offset != 0);
    m_halfWidth->setChecked(s.halfWidth);
    m_fileOn->setChecked(!s.fontFile.empty());
    m_file->setText(QString::fromStdString(s.fontFile));
    m_faceIndex->setRange(0, 0xFFFF);
    m_faceIndex->setValue(s.faceIndex);
    m_faceIndex->setPrefix(tr("字体序号 "));
    m_fit->setChecked(s.fitCell != 0);
    m_fit->setToolTip(tr("取上升与下降之和不超过点阵高度的最大字号, 字形不被截断"));

    auto* form = new QFormLayout;
    form->addRow(tr("字体类型"), m_kind);
    form->addRow(tr("字体名称"), m_face);
    auto* fileRow = new QHBoxLayout;
    fileRow->addWidget(m_fileOn);
    fileRow->addWidget(m_file, 1);
    fileRow->addWidget(m_browse);
    fileRow->addWidget(m_faceIndex);
    form->addRow("", fileRow);
    form->addRow("", m_fileInfo);
    auto* sizeRow = new QHBoxLayout;
    sizeRow->addWidget(m_sizeOn);
    sizeRow->addWidget(m_size);
    sizeRow->addWidget(m_fit);
    sizeRow->addStretch();
    form->addRow("", sizeRow);
    auto* cellRow = new QHBoxLayout;
    cellRow->addWidget(m_width);
    cellRow->addWidget(new QLabel(tr("×"), this));
    cellRow->addWidget(m_height);
    cellRow->addStretch();
    form->addRow(tr("点阵大小 (宽×高)"), cellRow);
    form->addRow(tr("每点位数"), m_depth);
    auto* offsetRow = new QHBoxLayout;
    offsetRow->addWidget(m_offsetOn);
    offsetRow->addWidget(m_offset);
    offsetRow->addStretch();
    form->addRow("", offsetRow);

    auto* styles = new QGroupBox(tr("字形"), this);
    auto* styleRow = new QHBoxLayout(styles);
    for (QCheckBox* c : {m_bold, m_italic, m_underline, m_strikeout})
        styleRow->addWidget(c);

    auto* previewBox = new QGroupBox(tr("预览"), this);
    auto* previewLayout = new QVBoxLayout(previewBox);
    m_preview->setObjectName("fontPreview");
    m_preview->setAlignment(Qt::AlignCenter);
    m_preview->setMinimumSize(440, 96);
    m_previewNote->setObjectName("fontPreviewNote");
    m_previewNote->setWordWrap(true);
    previewLayout->addWidget(m_preview);
    previewLayout->addWidget(m_previewNote);

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addWidget(styles);
    layout->addWidget(m_halfWidth);
    layout->addWidget(previewBox);
    layout->addWidget(buttons);

    connect(m_kind, &QComboBox::currentIndexChanged, this, &CFontDialog::updateEnabled);
    connect(m_sizeOn, &QCheckBox::toggled, this, &CFontDialog::updateEnabled);
    connect(m_offsetOn, &QCheckBox::toggled, this, &CFontDialog::updateEnabled);
    connect(m_fileOn, &QCheckBox::toggled, this, &CFontDialog::updateEnabled);
    connect(m_fit, &QCheckBox::toggled, this, &CFontDialog::updateEnabled);
    connect(m_browse, &QPushButton::clicked, this, &CFontDialog::browse);
    connect(m_file, &QLineEdit::editingFinished, this, &CFontDialog::describeFile);
    connect(m_faceIndex, &QSpinBox::valueChanged, this, &CFontDialog::describeFile);
    // Names for the fields whose caption is a check box or a shared row label, and Tab in the
    // order the rows are read.
    m_size->setAccessibleName(tr("字号"));
    m_width->setAccessibleName(tr("点阵宽度"));
    m_height->setAccessibleName(tr("点阵高度"));
    m_offset->setAccessibleName(tr("纵向偏移"));
    m_file->setAccessibleName(tr("字体文件"));
    m_faceIndex->setAccessibleName(tr("字体序号"));
    m_fileInfo->setAccessibleName(tr("字体文件说明"));
    tabChain({m_kind,
              m_face,
              m_fileOn,
              m_file,
              m_browse,
              m_faceIndex,
              m_sizeOn,
              m_size,
              m_fit,
              m_width,
              m_height,
              m_depth,
              m_offsetOn,
              m_offset,
              m_bold,
              m_italic,
              m_underline,
              m_strikeout,
              m_halfWidth,
              buttons->button(QDialogButtonBox::Ok),
              buttons->button(QDialogButtonBox::Cancel)});
    acceptWithKeys(this, buttons);
    describeFile();
    updateEnabled();

    // The preview follows every value, a moment after the last change.
    m_previewTimer->setSingleShot(true);
    m_previewTimer->setInterval(120);
    connect(m_previewTimer, &QTimer::timeout, this, &CFontDialog::updatePreview);
    connect(m_kind, &QComboBox::currentIndexChanged, this, &CFontDialog::schedulePreview);
    connect(m_face, &QComboBox::currentTextChanged, this, &CFontDialog::schedulePreview);
    for (QSpinBox* box : {m_size, m_width, m_height, m_offset, m_faceIndex})
        connect(box, &QSpinBox::valueChanged, this, &CFontDialog::schedulePreview);
    for (QCheckBox* c : {m_sizeOn, m_bold, m_italic, m_underline, m_strikeout, m_offsetOn,
                         m_halfWidth, m_fileOn, m_fit})
        connect(c, &QCheckBox::toggled, this, &CFontDialog::schedulePreview);
    connect(m_file, &QLineEdit::editingFinished, this, &CFontDialog::schedulePreview);
    connect(m_depth, &QComboBox::currentIndexChanged, this, &CFontDialog::schedulePreview);
    updatePreview();
}

CFontDialog::~CFontDialog() = default;

void CFontDialog::setPreviewText(const std::u16string& text) {
    m_previewText = text;
    updatePreview();
}

void CFontDialog::schedulePreview() {
    m_previewTimer->start();
}

namespace {

// What the preview shows without a selection: letters with ascenders and descenders, and
// Chinese where the font has it.
std::u16string sampleText(int kind) {
    if (kind >= kFontAscii5x7 && kind <= kFontAscii8x16)
        return u"AgÉj09";
    if (kind == kFontGb2312_12 || kind == kFontGb2312_16)
        return u"Ag字模点阵";
    return u"AgÉj字模";
}

// At most this many characters, and cells no larger than this, are drawn.
constexpr size_t kPreviewCharacters = 12;
constexpr int kPreviewCellSide = 256;

} // namespace

void CFontDialog::updatePreview() {
    m_previewTimer->stop();
    CSettings s = m_start;
    apply(s);
    const CFontSettings font = s.font();
    std::u16string text = m_previewText.empty() ? sampleText(font.kind) : m_previewText;
    std::erase_if(text, [](char16_t c) { return c == 0 || c == u'\n' || c == u'\r'; });
    if (text.size() > kPreviewCharacters)
        text.resize(kPreviewCharacters);
    m_preview->clear();
    if (!font.usable() || text.empty()) {
        m_previewNote->setText(tr("当前设置无法生成字模"));
        return;
    }
    if (font.width > kPreviewCellSide || font.height > kPreviewCellSide) {
        m_previewNote->setText(tr("点阵太大，不显示预览"));
        return;
    }

    // A bitmap face that cannot be scaled to fit moves as a whole, as the add commands move it.
    const Result<int> shift = m_rasteriser->fitOffset(font, text);
    struct CDrawn {
        CDotMatrix cell, uncut;
        CInkLoss lost;
    };
    std::vector<CDrawn> drawn;
    int gap = 1, losing = 0;
    for (char16_t c : text) {
        CFontSettings f = characterFont(font, c, s.halfWidth);
        if (shift)
            f.offset += *shift;
        CDrawn d;
        if (Status r = m_rasteriser->renderUncut(c, ansiForm(c), f, d.cell, d.uncut, d.lost); !r) {
            m_previewNote->setText(QString::fromStdString(r.error()));
            return;
        }
        gap = std::max(
            {gap, std::min(8, std::max({d.lost.top, d.lost.bottom, d.lost.left, d.lost.right}))});
        losing += d.lost.any();
        drawn.push_back(std::move(d));
    }
    std::vector<CCutCell> cells;
    for (const CDrawn& d : drawn)
        cells.push_back({&d.cell, &d.uncut, d.lost.left, d.lost.top});
    const CPreviewCanvas canvas = drawCutCells(cells, gap);

    CPreviewLook look;
    look.colours = parseColours("epaper").value();
    look.zoom = std::clamp(std::min(440 / canvas.width(), 160 / canvas.height()), 1, 12);
    look.grid = look.zoom >= 4;
    Result<CPreviewImage> image = paintCanvas(canvas, look);
    if (!image) {
        m_previewNote->setText(QString::fromStdString(image.error()));
        return;
    }
    m_preview->setPixmap(
        QPixmap::fromImage(QImage(image->pixels.data(), image->width, image->height,
                                  image->width * 3, QImage::Format_RGB888)
                               .copy()));
    m_previewNote->setText(losing ? tr("%n 个字符的笔画超出点阵，红色的点将被截去", "", losing)
                                  : tr("笔画都在点阵之内"));
}

namespace {

const char* const kFontSuffixes[] = {"ttf", "otf",    "ttc",  "otc",  "bdf",
                                     "pcf", "pcf.gz", "woff", "woff2"};

} // namespace

bool CFontDialog::isFontFileName(const QString& name) {
    for (const char* suffix : kFontSuffixes)
        if (name.endsWith(QLatin1Char('.') + QLatin1String(suffix), Qt::CaseInsensitive))
            return true;
    return false;
}

void CFontDialog::browse() {
    const QString start = m_file->text().isEmpty() ? QString() : QFileInfo(m_file->text()).path();
    QStringList patterns;
    for (const char* suffix : kFontSuffixes)
        patterns << QStringLiteral("*.%1").arg(QLatin1String(suffix));
    const QString path = QFileDialog::getOpenFileName(
        this, tr("选择字体文件"), start, tr("字体文件 (%1);;所有文件 (*)").arg(patterns.join(' ')));
    if (!path.isEmpty())
        chooseFile(path);
}

void CFontDialog::chooseFile(const QString& path) {
    // A font file is read as a TrueType font is (a dropped file may meet a built-in font).
    m_kind->setCurrentIndex(m_kind->findData(int(kFontTrueType)));
    m_file->setText(path);
    m_fileOn->setChecked(true);
    m_faceIndex->setValue(0);
    describeFile();
}

void CFontDialog::describeFile() {
    m_fileFamily.clear();
    const QString path = m_file->text();
    if (path.isEmpty()) {
        m_fileInfo->setText(tr("未选择字体文件"));
        return;
    }
    Result<std::vector<CFileFace>> faces = listFileFaces(path.toStdString());
    if (!faces) {
        m_fileInfo->setText(QString::fromStdString(faces.error()));
        return;
    }
    m_faceIndex->setMaximum(std::max(0, int(faces->size()) - 1));
    const CFileFace& f = faces->at(size_t(std::min(m_faceIndex->value(), int(faces->size()) - 1)));
    // Names read from the file are data: no control character reaches the label or FACENAME.
    m_fileFamily = QString::fromStdString(withoutControlCharacters(f.family));
    // A bitmap font need not name its family: the file's name then names the face, so that
    // the file is still taken.
    if (m_fileFamily.trimmed().isEmpty())
        m_fileFamily = QFileInfo(path).completeBaseName();
    QString kind = f.scalable ? tr("轮廓字体") : tr("点阵字体");
    if (!f.strikes.empty()) {
        QStringList sizes;
        for (int size : f.strikes)
            sizes << QString::number(size);
        kind += " " + tr("点阵尺寸 %1").arg(sizes.join(","));
    }
    m_fileInfo->setText(
        QString("%1 %2 (%3)")
            .arg(m_fileFamily, QString::fromStdString(withoutControlCharacters(f.style)), kind));
}

void CFontDialog::updateEnabled() {
    // Face, size, styles, offset and half width mean something only for a TrueType font.
    const bool trueType = m_kind->currentData().toInt() == kFontTrueType;
    for (QWidget* w : std::initializer_list<QWidget*>{
             m_face, m_sizeOn, m_offsetOn, m_bold, m_italic, m_underline, m_strikeout, m_halfWidth})
        w->setEnabled(trueType);
    m_size->setEnabled(trueType && m_sizeOn->isChecked() && !m_fit->isChecked());
    m_sizeOn->setEnabled(trueType && !m_fit->isChecked());
    m_fit->setEnabled(trueType);
    m_fileOn->setEnabled(trueType);
    m_face->setEnabled(trueType && !m_fileOn->isChecked());
    // 浏览... stays open to a TrueType font: choosing a file turns the file on.
    m_browse->setEnabled(trueType);
    for (QWidget* w : std::initializer_list<QWidget*>{m_file, m_faceIndex, m_fileInfo})
        w->setEnabled(trueType && m_fileOn->isChecked());
    m_offset->setEnabled(trueType && m_offsetOn->isChecked());
}

void CFontDialog::apply(CSettings& s) const {
    s.bold = m_bold->isChecked();
    s.italic = m_italic->isChecked();
    s.underline = m_underline->isChecked();
    s.strikeout = m_strikeout->isChecked();
    s.halfWidth = m_halfWidth->isChecked();
    s.width = unsigned(m_width->value());
    s.height = unsigned(m_height->value());
    s.fontType = m_kind->currentData().toInt();
    s.depth = m_depth->depth();
    if (s.fontType == kFontTrueType) {
        if (!m_face->face().isEmpty())
            s.faceName = m_face->face().toStdU16String();
        s.fontSize = m_sizeOn->isChecked() ? m_size->value() : 0;
        s.offset = m_offsetOn->isChecked() ? m_offset->value() : 0;
        s.fitCell = m_fit->isChecked();
        // A file is taken only with its family read from it; the face name then describes it.
        if (m_fileOn->isChecked() && !m_file->text().isEmpty() && !m_fileFamily.isEmpty()) {
            s.fontFile = m_file->text().toStdString();
            s.faceIndex = m_faceIndex->value();
            s.faceName = m_fileFamily.toStdU16String();
        } else {
            s.fontFile.clear();
            s.faceIndex = 0;
        }
    }
}

} // namespace tgw

#include "app/add_string_dialog.h"

#include "app/depth_box.h"

#include "raster/picture_filters.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QHBoxLayout>
#include <QImage>
#include <QLabel>
#include <QPixmap>
#include <QPlainTextEdit>
#include <QSlider>
#include <QSpinBox>
#include <QVBoxLayout>

namespace tgw {
namespace {

QDialogButtonBox* okCancel(QDialog* dialog) {
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, dialog);
    QObject::connect(buttons, &QDialogButtonBox::accepted, dialog, &QDialog::accept);
    QObject::connect(buttons, &QDialogButtonBox::rejected, dialog, &QDialog::reject);
    return buttons;
}

} // namespace

CAddStringDialog::CAddStringDialog(QWidget* parent)
    : QDialog(parent), m_edit(new QPlainTextEdit(this)),
      m_rtl(new QCheckBox(tr("从右向左阅读"), this)) {
    setWindowTitle(tr("添加连写文字"));
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(new QLabel(tr("输入待取模的文字，全部文字生成一个字模（可以多行）："), this));
    layout->addWidget(m_edit);
    layout->addWidget(m_rtl);
    layout->addWidget(okCancel(this));
    resize(420, 260);
}

QString CAddStringDialog::text() const {
    return m_edit->toPlainText();
}
bool CAddStringDialog::rightToLeft() const {
    return m_rtl->isChecked();
}

CThresholdDialog::CThresholdDialog(int threshold, QWidget* parent)
    : CThresholdDialog(CPictureOptions{uint8_t(std::clamp(threshold, 0, 255))}, 0, 0, parent) {}

CThresholdDialog::CThresholdDialog(const CPictureOptions& options, int targetWidth,
                                   int targetHeight, QWidget* parent)
    : QDialog(parent), m_value(new QSpinBox(this)), m_method(new QComboBox(this)),
      m_invert(new QCheckBox(tr("反色 (暗像素取为亮点)"), this)), m_scale(new QComboBox(this)),
      m_preview(new QLabel(this)), m_depth(new CDepthBox(options.depth, this)),
      m_targetWidth(targetWidth), m_targetHeight(targetHeight) {
    setWindowTitle(tr("图形取点设定"));
    auto* slider = new QSlider(Qt::Horizontal, this);
    slider->setRange(0, 255);
    m_value->setRange(0, 255);
    connect(slider, &QSlider::valueChanged, m_value, &QSpinBox::setValue);
    connect(m_value, &QSpinBox::valueChanged, slider, &QSlider::setValue);
    m_value->setValue(options.threshold);
    auto* row = new QHBoxLayout;
    row->addWidget(slider);
    row->addWidget(m_value);

    // Items in the order of EPictureMethod and EPictureScale.
    m_method->addItems(
        {tr("阀值"), tr("Floyd–Steinberg 抖动"), tr("Atkinson 抖动"), tr("Bayer 4×4 有序抖动")});
    m_scale->addItems({tr("保持原尺寸"),
                       tr("缩放到 %1x%2 以内 (保持比例)").arg(targetWidth).arg(targetHeight),
                       tr("拉伸到 %1x%2").arg(targetWidth).arg(targetHeight)});
    m_scale->setEnabled(targetWidth > 0 && targetHeight > 0);
    auto* choices = new QHBoxLayout;
    choices->addWidget(new QLabel(tr("取点方法"), this));
    choices->addWidget(m_method, 1);
    choices->addWidget(new QLabel(tr("尺寸"), this));
    choices->addWidget(m_scale, 1);
    choices->addWidget(new QLabel(tr("每点位数"), this));
    choices->addWidget(m_depth, 1);

    m_preview->setAlignment(Qt::AlignCenter);
    m_preview->setMinimumSize(280, 160);
    m_preview->setFrameShape(QFrame::StyledPanel);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(new QLabel(tr("亮度阀值 (0–255)：亮度不低于阀值的像素取为亮点"), this));
    layout->addLayout(row);
    layout->addLayout(choices);
    layout->addWidget(m_invert);
    layout->addWidget(m_preview, 1);
    layout->addWidget(okCancel(this));
    setOptions(options);

    connect(m_value, &QSpinBox::valueChanged, this, [this] { updatePreview(); });
    connect(m_method, &QComboBox::currentIndexChanged, this, [this](int method) {
        // Dithering decides at mid grey; the threshold belongs to the threshold method.
        m_value->setEnabled(method == 0 && m_depth->depth() == 1);
        updatePreview();
    });
    connect(m_scale, &QComboBox::currentIndexChanged, this, [this] { updatePreview(); });
    connect(m_invert, &QCheckBox::toggled, this, [this] { updatePreview(); });
    connect(m_depth, &QComboBox::currentIndexChanged, this, [this] {
        // At grey levels the brightness is quantised (or dithered): no threshold.
        m_value->setEnabled(m_method->currentIndex() == 0 && m_depth->depth() == 1);
        updatePreview();
    });
    updatePreview();
}

CPictureOptions CThresholdDialog::options() const {
    CPictureOptions o;
    o.threshold = uint8_t(m_value->value());
    o.method = EPictureMethod(std::clamp(m_method->currentIndex(), 0, 3));
    o.invert = m_invert->isChecked();
    o.scale = m_scale->isEnabled() ? EPictureScale(std::clamp(m_scale->currentIndex(), 0, 2))
                                   : EPictureScale::kKeep;
    if (o.scale != EPictureScale::kKeep) {
        o.targetWidth = m_targetWidth;
        o.targetHeight = m_targetHeight;
    }
    o.depth = m_depth->depth();
    return o;
}

void CThresholdDialog::setOptions(const CPictureOptions& o) {
    m_value->setValue(o.threshold);
    m_method->setCurrentIndex(int(o.method));
    m_depth->setDepth(o.depth);
    m_value->setEnabled(o.method == EPictureMethod::kThreshold && o.depth == 1);
    m_invert->setChecked(o.invert);
    m_scale->setCurrentIndex(int(o.scale));
}

void CThresholdDialog::setPreviewPicture(CRgbImage picture) {
    m_picture = std::move(picture);
    updatePreview();
}

void CThresholdDialog::updatePreview() {
    if (m_picture.width <= 0 || m_picture.height <= 0) {
        m_preview->setText(tr("没有可预览的图形"));
        return;
    }
    const CDotMatrix dots = convertPicture(m_picture, options());
    QImage image(dots.width(), dots.height(), QImage::Format_Grayscale8);
    for (int y = 0; y < dots.height(); ++y) {
        uchar* line = image.scanLine(y);
        const uint8_t* row = dots.row(y);
        // Lit dots dark on white, grey levels between.
        const int top = dots.maxLevel();
        for (int x = 0; x < dots.width(); ++x)
            line[x] = uchar(255 - row[x] * 255 / top);
    }
    // Whole multiples of the dot size keep every dot square and sharp.
    const QSize room = m_preview->contentsRect().size();
    const int zoom = std::max(1, std::min(room.width() / std::max(1, dots.width()),
                                          room.height() / std::max(1, dots.height())));
    QPixmap pixmap = QPixmap::fromImage(image.scaled(dots.width() * zoom, dots.height() * zoom));
    if (pixmap.width() > room.width() || pixmap.height() > room.height())
        pixmap = pixmap.scaled(room, Qt::KeepAspectRatio, Qt::FastTransformation);
    m_preview->setPixmap(pixmap);
    m_preview->setToolTip(tr("%1x%2 点").arg(dots.width()).arg(dots.height()));
}

int CThresholdDialog::threshold() const {
    return m_value->value();
}
void CThresholdDialog::setThreshold(int threshold) {
    m_value->setValue(threshold);
}

} // namespace tgw

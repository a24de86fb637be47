#include "app/add_string_dialog.h"

#include <QCheckBox>
#include <QDialogButtonBox>
#include <QHBoxLayout>
#include <QLabel>
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
    : QDialog(parent), m_value(new QSpinBox(this)) {
    setWindowTitle(tr("图形取点设定"));
    auto* slider = new QSlider(Qt::Horizontal, this);
    slider->setRange(0, 255);
    m_value->setRange(0, 255);
    connect(slider, &QSlider::valueChanged, m_value, &QSpinBox::setValue);
    connect(m_value, &QSpinBox::valueChanged, slider, &QSlider::setValue);
    m_value->setValue(threshold);
    auto* row = new QHBoxLayout;
    row->addWidget(slider);
    row->addWidget(m_value);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(new QLabel(tr("亮度阀值 (0–255)：亮度不低于阀值的像素取为亮点"), this));
    layout->addLayout(row);
    layout->addWidget(okCancel(this));
}

int CThresholdDialog::threshold() const {
    return m_value->value();
}
void CThresholdDialog::setThreshold(int threshold) {
    m_value->setValue(threshold);
}

} // namespace tgw

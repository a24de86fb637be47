#include "app/code_format_dialog.h"

#include "base/screen_text.h"
#include "codegen/display_presets.h"
#include "view/byte_order_view.h"

#include <QButtonGroup>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QFontDatabase>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QRadioButton>
#include <QVBoxLayout>

namespace tgw {
namespace {

// The editors show plain line breaks; templates hold CR LF.
QString toEditor(const std::u16string& text) {
    return QString::fromStdU16String(text).replace("\r\n", "\n");
}

std::u16string fromEditor(const QPlainTextEdit* edit) {
    return edit->toPlainText().replace("\n", "\r\n").toStdU16String();
}

QPlainTextEdit* templateEditor(QWidget* parent) {
    auto* e = new QPlainTextEdit(parent);
    e->setTabChangesFocus(false); // a tab typed here is part of the template
    e->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
    e->setMaximumHeight(70);
    return e;
}

} // namespace

QString CCodeFormatDialog::byteOrderText(int byteOrder) {
    static const char* const texts[] = {
        QT_TR_NOOP("字节行从上到下，每行从左到右"), QT_TR_NOOP("字节行从下到上，每行从左到右"),
        QT_TR_NOOP("字节行从上到下，每行从右到左"), QT_TR_NOOP("字节行从下到上，每行从右到左"),
        QT_TR_NOOP("字节列从左到右，每列从上到下"), QT_TR_NOOP("字节列从右到左，每列从上到下"),
        QT_TR_NOOP("字节列从左到右，每列从下到上"), QT_TR_NOOP("字节列从右到左，每列从下到上"),
    };
    return byteOrder >= 0 && byteOrder < 8 ? tr(texts[byteOrder]) : QString();
}

CCodeFormatDialog::CCodeFormatDialog(const CSettings& s, QWidget* parent)
    : QDialog(parent), m_dotOrder(new QButtonGroup(this)), m_byteOrder(new QButtonGroup(this)),
      m_language(new QButtonGroup(this)), m_coding(new QButtonGroup(this)),
      m_head(templateEditor(this)), m_tail(templateEditor(this)), m_browser(new QLineEdit(this)),
      m_example(new QLabel(this)), m_preset(new QComboBox(this)), m_presetInfo(new QLabel(this)),
      m_matching(new QLabel(this)), m_drawing(new CByteOrderView(this)), m_width(int(s.width)),
      m_height(int(s.height)) {
    setWindowTitle(tr("代码格式"));

    // Controller names, as their makers write them.
    m_preset->setObjectName("presetBox");
    m_preset->addItem(tr("自定义"));
    for (const CDisplayPreset& p : displayPresets())
        m_preset->addItem(QString::fromUtf8(p.title), QString::fromUtf8(p.name));
    m_presetInfo->setWordWrap(true);
    m_matching->setWordWrap(true);
    auto* presetRow = new QHBoxLayout;
    presetRow->addWidget(new QLabel(tr("预设"), this));
    presetRow->addWidget(m_preset, 1);

    auto* dots = new QGroupBox(tr("取点方式"), this);
    auto* dotsLayout = new QVBoxLayout(dots);
    for (int i = 0; i < 4; ++i) {
        auto* b = new QRadioButton(screenText("tgw::core::settings", dotOrderName(i)), dots);
        m_dotOrder->addButton(b, i);
        dotsLayout->addWidget(b);
    }

    auto* bytes = new QGroupBox(tr("字节排列"), this);
    auto* bytesLayout = new QGridLayout(bytes);
    for (int i = 0; i < 8; ++i) {
        auto* b = new QRadioButton(tr("模式%1").arg(i + 1), bytes);
        b->setToolTip(byteOrderText(i));
        m_byteOrder->addButton(b, i);
        bytesLayout->addWidget(b, i / 2, i % 2);
    }
    m_example->setWordWrap(true);
    bytesLayout->addWidget(m_example, 4, 0, 1, 2);

    auto* output = new QGroupBox(tr("输出"), this);
    auto* outputLayout = new QGridLayout(output);
    auto* c = new QRadioButton(tr("C 语言"), output);
    auto* asmButton = new QRadioButton(tr("汇编语言"), output);
    m_language->addButton(c, 0);
    m_language->addButton(asmButton, 1);
    auto* mbcs = new QRadioButton(tr("MBCS (GB2312 编码)"), output);
    auto* unicode = new QRadioButton(tr("UNICODE (UCS-2 编码)"), output);
    m_coding->addButton(mbcs, 0);
    m_coding->addButton(unicode, 1);
    outputLayout->addWidget(c, 0, 0);
    outputLayout->addWidget(asmButton, 0, 1);
    outputLayout->addWidget(mbcs, 1, 0);
    outputLayout->addWidget(unicode, 1, 1);

    auto* templates = new QGroupBox(tr("代码模板"), this);
    auto* templatesLayout = new QVBoxLayout(templates);
    templatesLayout->addWidget(
        new QLabel(tr("每个字模代码之前 (%MATRIXCODE_HEAD_FONT% 为字体说明)："), templates));
    templatesLayout->addWidget(m_head);
    templatesLayout->addWidget(new QLabel(tr("每个字模代码之后："), templates));
    templatesLayout->addWidget(m_tail);

    auto* browserRow = new QHBoxLayout;
    browserRow->addWidget(new QLabel(tr("代码查看程序"), this));
    browserRow->addWidget(m_browser);

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);

    auto* drawing = new QGroupBox(tr("字节示意 (数字为字节序号，红角为最高位)"), this);
    auto* drawingLayout = new QVBoxLayout(drawing);
    drawingLayout->addWidget(m_drawing, 1);
    drawingLayout->addWidget(m_matching);
    m_drawing->setMatrixSize(m_width, m_height);
    m_drawing->setMinimumSize(320, 320);

    auto* grid = new QGridLayout;
    grid->addLayout(presetRow, 0, 0, 1, 3);
    grid->addWidget(m_presetInfo, 1, 0, 1, 3);
    grid->addWidget(dots, 2, 0);
    grid->addWidget(bytes, 2, 1, 2, 1);
    grid->addWidget(output, 3, 0);
    grid->addWidget(drawing, 2, 2, 2, 1);
    grid->setColumnStretch(2, 1);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(grid);
    layout->addWidget(templates);
    layout->addLayout(browserRow);
    layout->addWidget(buttons);

    m_dotOrder->button(std::clamp(s.pointsSeq, 0, 3))->setChecked(true);
    m_byteOrder->button(std::clamp(s.bytesSeq, 0, 7))->setChecked(true);
    m_language->button(s.language ? 1 : 0)->setChecked(true);
    m_coding->button(s.useUnicode ? 1 : 0)->setChecked(true);
    m_head->setPlainText(toEditor(s.codeHead));
    m_tail->setPlainText(toEditor(s.codeTail));
    m_browser->setText(QString::fromStdU16String(s.codeBrowser));

    connect(m_byteOrder, &QButtonGroup::idToggled, this, [this] { updateExample(); });
    connect(m_dotOrder, &QButtonGroup::idToggled, this, [this] { ordersChanged(); });
    connect(m_byteOrder, &QButtonGroup::idToggled, this, [this] { ordersChanged(); });
    connect(m_preset, &QComboBox::currentIndexChanged, this, [this](int i) { choosePreset(i); });
    updateExample();
    ordersChanged();
    m_presetInfo->hide();
}

void CCodeFormatDialog::setSample(const CDotMatrix& sample) {
    m_drawing->setSample(sample);
}

void CCodeFormatDialog::choosePreset(int index) {
    m_presetInfo->setVisible(index > 0);
    if (index <= 0)
        return;
    const CDisplayPreset& p = displayPresets()[size_t(index - 1)];
    m_dotOrder->button(p.dotOrder)->setChecked(true);
    m_byteOrder->button(p.byteOrder)->setChecked(true);
    QString info = QString::fromUtf8(p.memory);
    const std::string needs = presetRequirements(p);
    if (!needs.empty())
        info += "\n" + tr("要求：") + QString::fromStdString(needs);
    if (!presetFitsSize(p, m_width, m_height))
        info += "\n" + tr("当前点阵 %1x%2 不符合要求").arg(m_width).arg(m_height);
    m_presetInfo->setText(info);
}

void CCodeFormatDialog::ordersChanged() {
    const int dot = m_dotOrder->checkedId(), byte = m_byteOrder->checkedId();
    if (dot < 0 || byte < 0)
        return;
    m_drawing->setOrders(dot, byte);
    QStringList names;
    for (const CDisplayPreset* p : presetsMatching(dot, byte))
        names << QString::fromUtf8(p->title);
    m_matching->setText(names.isEmpty() ? tr("符合的预设：无")
                                        : tr("符合的预设：") + names.join(tr("；")));
    // Orders chosen by hand that leave the preset shown make it "自定义".
    const int shown = m_preset->currentIndex();
    if (shown > 0) {
        const CDisplayPreset& p = displayPresets()[size_t(shown - 1)];
        if (p.dotOrder != dot || p.byteOrder != byte)
            m_preset->setCurrentIndex(0);
    }
}

void CCodeFormatDialog::updateExample() {
    m_example->setText(tr("模式%1：%2")
                           .arg(m_byteOrder->checkedId() + 1)
                           .arg(byteOrderText(m_byteOrder->checkedId())));
}

void CCodeFormatDialog::apply(CSettings& s) const {
    s.pointsSeq = m_dotOrder->checkedId();
    s.bytesSeq = m_byteOrder->checkedId();
    s.language = m_language->checkedId();
    s.useUnicode = m_coding->checkedId();
    s.codeHead = fromEditor(m_head);
    s.codeTail = fromEditor(m_tail);
    s.codeBrowser = m_browser->text().toStdU16String();
}

} // namespace tgw

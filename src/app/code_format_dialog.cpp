#include "app/code_format_dialog.h"

#include "app/dialog_keys.h"
#include "base/screen_text.h"
#include "codegen/display_presets.h"
#include "view/byte_order_view.h"

#include <QAbstractButton>
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
#include <QPushButton>
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
    tabLeaves(e); // Ctrl+Tab types a tab into the template
    e->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
    e->setMaximumHeight(48);
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
      m_encoding(new QComboBox(this)), m_head(templateEditor(this)), m_tail(templateEditor(this)),
      m_browser(new QLineEdit(this)), m_example(new QLabel(this)), m_preset(new QComboBox(this)),
      m_rotation(new QComboBox(this)), m_presetInfo(new QLabel(this)), m_matching(new QLabel(this)),
      m_drawing(new CByteOrderView(this)), m_width(int(s.width)), m_height(int(s.height)) {
    setWindowTitle(tr("代码格式"));

    // Controller names, as their makers write them.
    m_preset->setObjectName("presetBox");
    m_preset->addItem(tr("自定义"));
    for (const CDisplayPreset* p : allPresets())
        m_preset->addItem(QString::fromUtf8(screenText("tgw::core::presets", p->title)),
                          QString::fromUtf8(p->name));
    for (int degrees : {0, 90, 180, 270})
        m_rotation->addItem(tr("%1°").arg(degrees), degrees);
    m_presetInfo->setWordWrap(true);
    m_presetInfo->setTextFormat(Qt::RichText);
    m_presetInfo->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    // Room for the longest description from the start: choosing a preset moves nothing.
    m_presetInfo->setFixedHeight(m_presetInfo->fontMetrics().lineSpacing() * 5 + 2);
    m_presetInfo->setTextInteractionFlags(Qt::TextSelectableByMouse);
    m_matching->setWordWrap(true);
    m_matching->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    // Four lines whatever the orders match, so that the drawing above keeps its place and
    // size; a longer list is whole in the tip.
    m_matching->setFixedHeight(m_matching->fontMetrics().lineSpacing() * 4 + 2);
    auto* presetRow = new QHBoxLayout;
    auto* presetLabel = new QLabel(tr("预设 (&P)"), this);
    nameControl(m_preset, presetLabel);
    presetRow->addWidget(presetLabel);
    presetRow->addWidget(m_preset, 1);
    auto* rotationLabel = new QLabel(tr("安装方向 (&R)"), this);
    nameControl(m_rotation, rotationLabel);
    rotationLabel->setToolTip(tr("显示屏顺时针转过的角度"));
    presetRow->addWidget(rotationLabel);
    presetRow->addWidget(m_rotation);

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
    // Comments and line ends for the tool chain: the data bytes are the same either way.
    auto* encodingLabel = new QLabel(tr("文件编码 (&N)"), output);
    m_encoding->setObjectName("encodingBox");
    m_encoding->addItem(tr("GBK，CRLF 换行"), kCodeEncodingCp936);
    m_encoding->addItem(tr("UTF-8，LF 换行"), kCodeEncodingUtf8);
    m_encoding->setToolTip(tr("代码文件中注释文字的编码与换行符；点阵数据不变"));
    nameControl(m_encoding, encodingLabel);
    outputLayout->addWidget(encodingLabel, 2, 0);
    outputLayout->addWidget(m_encoding, 2, 1);

    auto* templates = new QGroupBox(tr("代码模板"), this);
    auto* templatesLayout = new QVBoxLayout(templates);
    auto* headLabel = new QLabel(
        tr("每个字模代码之前 (%MATRIXCODE_HEAD_FONT% 为字体说明，Ctrl+Tab 输入制表符)："),
        templates);
    auto* tailLabel = new QLabel(tr("每个字模代码之后："), templates);
    nameControl(m_head, headLabel, tr("每个字模代码之前"));
    nameControl(m_tail, tailLabel);
    templatesLayout->addWidget(headLabel);
    templatesLayout->addWidget(m_head);
    templatesLayout->addWidget(tailLabel);
    templatesLayout->addWidget(m_tail);

    auto* browserRow = new QHBoxLayout;
    auto* browserLabel = new QLabel(tr("代码查看程序"), this);
    nameControl(m_browser, browserLabel);
    m_browser->setPlaceholderText(tr("程序内的代码窗口"));
    browserRow->addWidget(browserLabel);
    browserRow->addWidget(m_browser);

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    acceptWithKeys(this, buttons);

    auto* drawing = new QGroupBox(tr("字节示意 (数字为字节序号，红角为最高位)"), this);
    auto* drawingLayout = new QVBoxLayout(drawing);
    drawingLayout->addWidget(m_drawing, 1);
    drawingLayout->addWidget(m_matching);
    m_drawing->setMatrixSize(m_width, m_height);
    m_drawing->setMinimumSize(240, 200);
    m_drawing->setAccessibleName(tr("字节示意"));

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
    m_encoding->setCurrentIndex(s.codeEncoding == kCodeEncodingUtf8 ? 1 : 0);
    m_head->setPlainText(toEditor(s.codeHead));
    m_tail->setPlainText(toEditor(s.codeTail));
    m_browserStored = QString::fromStdU16String(s.codeBrowser);
    // The built-in viewer shows as the empty field's hint, not as a Windows program's name.
    m_browser->setText(isBuiltInViewer(m_browserStored) ? QString() : m_browserStored);
    m_rotation->setCurrentIndex(std::max(
        0, m_rotation->findData(isPresetRotation(s.presetRotation) ? s.presetRotation : 0)));
    if (const CDisplayPreset* stored =
            s.displayPreset.empty() ? nullptr : findDisplayPreset(s.displayPreset))
        m_preset->setCurrentIndex(std::max(0, m_preset->findData(QString::fromUtf8(stored->name))));

    connect(m_byteOrder, &QButtonGroup::idToggled, this, [this] { updateExample(); });
    connect(m_dotOrder, &QButtonGroup::idToggled, this, [this] { ordersChanged(); });
    connect(m_byteOrder, &QButtonGroup::idToggled, this, [this] { ordersChanged(); });
    connect(m_preset, &QComboBox::currentIndexChanged, this, [this](int i) { choosePreset(i); });
    connect(m_rotation, &QComboBox::currentIndexChanged, this, [this] { describePreset(); });
    if (m_preset->currentIndex() > 0)
        choosePreset(m_preset->currentIndex());
    updateExample();
    ordersChanged();
    describePreset();

    // Tab in reading order, and the dialog opens on its first control, not in a template.
    tabChain({m_preset, m_rotation, m_dotOrder->checkedButton(), m_byteOrder->checkedButton(),
              m_language->checkedButton(), m_coding->checkedButton(), m_encoding, m_head, m_tail,
              m_browser, buttons->button(QDialogButtonBox::Ok),
              buttons->button(QDialogButtonBox::Cancel)});
    m_preset->setFocus();
}

bool CCodeFormatDialog::isBuiltInViewer(const QString& command) {
    const QString c = command.trimmed();
    return c.isEmpty() || c.compare("wordpad.exe", Qt::CaseInsensitive) == 0 ||
           c.compare("wordpad", Qt::CaseInsensitive) == 0;
}

const CDisplayPreset* CCodeFormatDialog::chosenPreset() const {
    const int index = m_preset->currentIndex();
    return index > 0 ? findDisplayPreset(m_preset->itemData(index).toString().toStdString())
                     : nullptr;
}

void CCodeFormatDialog::setSample(const CDotMatrix& sample) {
    m_drawing->setSample(sample);
}

void CCodeFormatDialog::choosePreset(int index) {
    if (const CDisplayPreset* p = index > 0 ? chosenPreset() : nullptr) {
        m_dotOrder->button(p->dotOrder)->setChecked(true);
        m_byteOrder->button(p->byteOrder)->setChecked(true);
    }
    describePreset();
}

void CCodeFormatDialog::describePreset() {
    const CDisplayPreset* p = chosenPreset();
    m_rotation->setEnabled(p != nullptr);
    if (!p) {
        m_presetInfo->setText(
            tr("自定义：按下面选定的取点方式与字节排列输出，点阵不做改动。").toHtmlEscaped());
        return;
    }
    QStringList lines;
    lines << QString::fromUtf8(screenText("tgw::core::presets", p->memory));
    // What it needs of the matrix, and what it does to the dots, in the user's language.
    QStringList needs;
    if (p->controller)
        needs << tr("整屏 %1x%2 (%3)")
                     .arg(p->cellWidth)
                     .arg(p->cellHeight)
                     .arg(p->cellWidth < p->cellHeight ? tr("竖屏") : tr("横屏"));
    else if (p->cellWidth > 0)
        needs << tr("固定 %1x%2 点阵").arg(p->cellWidth).arg(p->cellHeight);
    if (p->depth > 1)
        needs << tr("每点 %1 位").arg(p->depth);
    if (p->widthMultiple > 1)
        needs << tr("宽度为 %1 的倍数").arg(p->widthMultiple);
    if (p->heightMultiple > 1)
        needs << tr("高度为 %1 的倍数").arg(p->heightMultiple);
    if (!needs.isEmpty())
        lines << tr("要求：") + needs.join(tr("；"));
    QStringList effects;
    if (p->mirror)
        effects << tr("每行左右镜像");
    if (p->invert)
        effects << tr("点阵反色 (亮点以 0 发送)");
    const int rotation = m_rotation->currentData().toInt();
    if (rotation != 0)
        effects << tr("转回显示屏存储的方向 (%1°)").arg(rotation);
    lines << tr("输出时：") +
                 (effects.isEmpty() ? tr("点阵不变，只定顺序") : effects.join(tr("；")));
    for (QString& line : lines)
        line = line.toHtmlEscaped();
    if (!presetProblem(*p, m_width, m_height, rotation).empty())
        lines << QStringLiteral("<span style='color:#b00000'>%1</span>")
                     .arg(tr("警告：当前点阵 %1x%2 不符合要求")
                              .arg(m_width)
                              .arg(m_height)
                              .toHtmlEscaped());
    m_presetInfo->setText(lines.join("<br>"));
}

void CCodeFormatDialog::ordersChanged() {
    const int dot = m_dotOrder->checkedId(), byte = m_byteOrder->checkedId();
    if (dot < 0 || byte < 0)
        return;
    m_drawing->setOrders(dot, byte);
    QStringList names;
    for (const CDisplayPreset* p : presetsMatching(dot, byte))
        names << QString::fromUtf8(screenText("tgw::core::presets", p->title));
    m_matching->setText(names.isEmpty() ? tr("符合的预设：无")
                                        : tr("符合的预设：") + names.join(tr("；")));
    m_matching->setToolTip(m_matching->text());
    // Orders chosen by hand that leave the preset shown make it "自定义".
    if (const CDisplayPreset* p = chosenPreset(); p && (p->dotOrder != dot || p->byteOrder != byte))
        m_preset->setCurrentIndex(0);
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
    s.codeEncoding = m_encoding->currentData().toInt();
    s.codeHead = fromEditor(m_head);
    s.codeTail = fromEditor(m_tail);
    // An empty field keeps the stored name of the built-in viewer as it was.
    const QString browser = m_browser->text().trimmed();
    s.codeBrowser = (browser.isEmpty() && isBuiltInViewer(m_browserStored) ? m_browserStored
                                                                           : m_browser->text())
                        .toStdU16String();
    if (const CDisplayPreset* p = chosenPreset()) {
        s.displayPreset = p->name;
        s.presetRotation = m_rotation->currentData().toInt();
    } else {
        s.displayPreset.clear();
        s.presetRotation = 0;
    }
}

} // namespace tgw

#include "app/transfer_dialog_base.h"

#include "app/messages.h"
#include "base/screen_text.h"
#include "view/hex_byte_edit.h"

#include <QAbstractSpinBox>
#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QFontDatabase>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QScrollBar>
#include <QSpinBox>
#include <QTextBlock>
#include <QTextCursor>
#include <QVBoxLayout>

#include <algorithm>
#include <climits>

namespace tgw {
namespace {

struct CHexFieldInfo {
    const char* caption;
    std::string CFramingMemory::*memory;
    CBytes CFramingSettings::*setting;
};

// In EFramingField order.
const CHexFieldInfo kHexFields[] = {
    {QT_TRANSLATE_NOOP("tgw::CTransferDialogBase", "包头1"), &CFramingMemory::header1,
     &CFramingSettings::header1},
    {QT_TRANSLATE_NOOP("tgw::CTransferDialogBase", "包头2"), &CFramingMemory::header2,
     &CFramingSettings::header2},
    {QT_TRANSLATE_NOOP("tgw::CTransferDialogBase", "包尾"), &CFramingMemory::tail,
     &CFramingSettings::tail},
    {QT_TRANSLATE_NOOP("tgw::CTransferDialogBase", "数据前缀"), &CFramingMemory::prefix,
     &CFramingSettings::prefix},
    {QT_TRANSLATE_NOOP("tgw::CTransferDialogBase", "数据后缀"), &CFramingMemory::suffix,
     &CFramingSettings::suffix},
    {QT_TRANSLATE_NOOP("tgw::CTransferDialogBase", "末包数据"), &CFramingMemory::lastBytes,
     &CFramingSettings::lastBytes},
};

QComboBox* listBox(QWidget* parent, std::span<const char* const> texts, int current) {
    auto* box = new QComboBox(parent);
    for (const char* text : texts)
        box->addItem(QString::fromUtf8(screenText("tgw::core::transfer", text)));
    box->setCurrentIndex(current >= 0 && current < box->count() ? current : 0);
    return box;
}

QLabel* caption(const QString& text, QWidget* buddy) {
    auto* label = new QLabel(text, buddy->parentWidget());
    label->setBuddy(buddy);
    return label;
}

} // namespace

// Runs on the worker thread: hands each call over to the dialog's thread, in order.
class CTransferDialogBase::CObserverBridge : public ITransferObserver {
public:
    explicit CObserverBridge(CTransferDialogBase* dialog) : m_dialog(dialog) {}

    void appendLog(std::string_view text) override {
        QString piece = QString::fromUtf8(text.data(), qsizetype(text.size()));
        QMetaObject::invokeMethod(
            m_dialog, [d = m_dialog, piece] { d->appendLog(piece); }, Qt::QueuedConnection);
    }
    void packetSent(size_t sent, size_t total) override {
        QMetaObject::invokeMethod(
            m_dialog, [d = m_dialog, sent, total] { d->showProgress(sent, total); },
            Qt::QueuedConnection);
    }

private:
    CTransferDialogBase* m_dialog;
};

CTransferDialogBase::CTransferDialogBase(std::string data, CFramingMemory& framing, QWidget* parent)
    : QDialog(parent), m_data(std::move(data)), m_framingMemory(framing),
      m_bridge(std::make_unique<CObserverBridge>(this)) {
    m_fields = new QWidget(this);
    m_dataSize = new QLabel(QString::fromUtf8(dataSizeText(m_data.size())), this);

    for (size_t i = 0; i < m_hex.size(); ++i) {
        auto* box = new CHexByteEdit(tr(kHexFields[i].caption), m_fields);
        box->setMaxLength(kMaxHexChars);
        box->setText(QString::fromUtf8(framing.*kHexFields[i].memory));
        m_hex[i] = box;
    }
    m_checksumKind = listBox(m_fields, kChecksumKindTexts, int(framing.checksum));
    m_checksumRange = listBox(m_fields, kChecksumRangeTexts, int(framing.checksumRange));
    m_lastMode = listBox(m_fields, kLastPacketModeTexts, int(framing.lastMode));
    m_packetSize = new QSpinBox(m_fields);
    static_assert(kMaxPacketSize <= size_t(INT_MAX), "the spin box holds an int");
    m_packetSize->setRange(1, int(kMaxPacketSize));
    m_packetSize->setValue(framing.packetSize);
    // The checksum range means nothing without a checksum.
    auto rangeEnabled = [this] {
        m_checksumRange->setEnabled(m_checksumKind->currentIndex() != 0);
    };
    connect(m_checksumKind, &QComboBox::currentIndexChanged, this, rangeEnabled);
    rangeEnabled();

    m_log = new QPlainTextEdit(this);
    m_log->setReadOnly(true);
    // Replies line up in a fixed face; the time-out text is Chinese, so a full CJK face follows.
    QFont logFont = QFontDatabase::systemFont(QFontDatabase::FixedFont);
    logFont.setFamilies({logFont.family(), "WenQuanYi Micro Hei"});
    m_log->setFont(logFont);
    m_log->setLineWrapMode(QPlainTextEdit::WidgetWidth);
    m_progress = new QProgressBar(this);
    m_progress->setRange(0, 1);
    m_progress->setValue(0);
    m_progress->setFormat("%v/%m");
    m_progress->setTextVisible(false); // until there is a transfer to count

    m_send = new QPushButton(tr("发送(&S)"), this);
    m_stop = new QPushButton(tr("停止(&P)"), this);
    m_close = new QPushButton(tr("关闭(&C)"), this);
    m_send->setDefault(true);
    m_stop->setAutoDefault(false);
    m_close->setAutoDefault(false);
    m_stop->setEnabled(false);
    connect(m_send, &QPushButton::clicked, this, [this] {
        if (!isSending())
            send();
    });
    connect(m_stop, &QPushButton::clicked, this, [this] {
        if (m_transfer)
            m_transfer->cancel();
        m_stop->setEnabled(false);
    });
    connect(m_close, &QPushButton::clicked, this, &QDialog::reject);
}

CTransferDialogBase::~CTransferDialogBase() {
    if (m_transfer)
        m_transfer->cancel();
    if (m_worker.joinable())
        m_worker.join();
}

void CTransferDialogBase::addLabelled(QGridLayout* grid, int row, int column, const QString& text,
                                      QWidget* field) {
    grid->addWidget(caption(text, field), row, column);
    grid->addWidget(field, row, column + 1);
}

CTransferDialogBase::CReplyFields CTransferDialogBase::makeReplyFields(QWidget* parent,
                                                                       int timeoutMs, bool receive,
                                                                       const QString& optionText,
                                                                       bool option) {
    CReplyFields f{new QSpinBox(parent), new QCheckBox(tr("接收回应数据"), parent),
                   new QCheckBox(optionText, parent)};
    f.timeout->setRange(1, 65535);
    f.timeout->setValue(timeoutMs);
    f.receive->setChecked(receive);
    f.option->setChecked(option);
    auto follow = [f] {
        f.option->setEnabled(f.receive->isChecked());
        f.timeout->setEnabled(f.receive->isChecked());
    };
    connect(f.receive, &QCheckBox::toggled, parent, follow);
    follow();
    return f;
}

void CTransferDialogBase::buildLayout(QWidget* linkFields) {
    auto* framing = new QGroupBox(tr("数据包格式"), m_fields);
    auto* grid = new QGridLayout(framing);
    auto add = [&](QWidget* field, const QString& text, int row, int column) {
        field->setParent(framing);
        addLabelled(grid, row, column, text, field);
    };
    using F = EFramingField;
    const F order[] = {F::Header1, F::Header2, F::Tail, F::LastBytes, F::Prefix, F::Suffix};
    for (int i = 0; i < 6; ++i)
        add(hexBox(order[i]), hexBox(order[i])->fieldName() + tr("："), i / 2, i % 2 * 2);
    add(m_checksumKind, tr("校验方式："), 3, 0);
    add(m_checksumRange, tr("校验范围："), 3, 2);
    add(m_lastMode, tr("末包处理："), 4, 0);
    // Its long caption gets a row of its own rather than widening a column.
    auto* sizeRow = new QHBoxLayout;
    m_packetSize->setParent(framing);
    sizeRow->addWidget(caption(tr("最大数据长度[超过时拆分数据]："), m_packetSize));
    sizeRow->addWidget(m_packetSize);
    sizeRow->addStretch(1);
    grid->addLayout(sizeRow, 5, 0, 1, 4);
    grid->setColumnStretch(1, 1);
    grid->setColumnStretch(3, 1);

    auto* fieldsLayout = new QVBoxLayout(m_fields);
    fieldsLayout->setContentsMargins(0, 0, 0, 0);
    linkFields->setParent(m_fields);
    fieldsLayout->addWidget(linkFields);
    fieldsLayout->addWidget(framing);

    auto* buttons = new QHBoxLayout;
    buttons->addWidget(m_progress, 1);
    buttons->addWidget(m_send);
    buttons->addWidget(m_stop);
    buttons->addWidget(m_close);

    // Tab goes through the fields as they stand on screen: the link's first, although the
    // framing's were made before them.
    QList<QWidget*> tabOrder;
    for (QWidget* w : linkFields->findChildren<QWidget*>()) {
        QWidget* owner = w->parentWidget();
        const bool inner =
            qobject_cast<QComboBox*>(owner) || qobject_cast<QAbstractSpinBox*>(owner);
        if ((w->focusPolicy() & Qt::TabFocus) && !inner)
            tabOrder << w;
    }
    for (F field : order)
        tabOrder << hexBox(field);
    tabOrder << m_checksumKind << m_checksumRange << m_lastMode << m_packetSize << m_log << m_send
             << m_stop << m_close;
    for (qsizetype i = 1; i < tabOrder.size(); ++i)
        setTabOrder(tabOrder[i - 1], tabOrder[i]);
    if (!tabOrder.isEmpty())
        tabOrder.first()->setFocus();

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_dataSize);
    layout->addWidget(m_fields);
    layout->addWidget(caption(tr("接收记录："), m_log));
    layout->addWidget(m_log, 1);
    layout->addLayout(buttons);
    resize(640, 600);
}

CHexByteEdit* CTransferDialogBase::hexBox(EFramingField field) const {
    return m_hex[size_t(field)];
}

QString CTransferDialogBase::logText() const {
    return m_log->toPlainText();
}

std::span<const uint8_t> CTransferDialogBase::data() const {
    return {reinterpret_cast<const uint8_t*>(m_data.data()), m_data.size()};
}

ITransferObserver& CTransferDialogBase::observer() {
    return *m_bridge;
}

std::optional<CFramingSettings> CTransferDialogBase::readFraming() {
    CFramingSettings settings;
    for (size_t i = 0; i < m_hex.size(); ++i) {
        Result<CBytes> bytes = m_hex[i]->bytes();
        if (!bytes) {
            notify(QMessageBox::Warning, QString::fromUtf8(bytes.error()));
            m_hex[i]->setFocus();
            m_hex[i]->selectAll();
            return std::nullopt;
        }
        settings.*kHexFields[i].setting = std::move(bytes).value();
    }
    settings.checksum = EChecksumKind(m_checksumKind->currentIndex());
    settings.checksumRange = EChecksumRange(m_checksumRange->currentIndex());
    settings.lastMode = ELastPacketMode(m_lastMode->currentIndex());
    settings.packetSize = size_t(m_packetSize->value());
    if (Status valid = settings.validate(); !valid) {
        notify(QMessageBox::Warning, QString::fromUtf8(valid.error()));
        m_packetSize->setFocus();
        return std::nullopt;
    }
    return settings;
}

void CTransferDialogBase::storeMemory() {
    for (size_t i = 0; i < m_hex.size(); ++i) {
        const QByteArray text = m_hex[i]->text().toUtf8();
        m_framingMemory.*kHexFields[i].memory = std::string(text.constData(), size_t(text.size()));
    }
    m_framingMemory.checksum = EChecksumKind(m_checksumKind->currentIndex());
    m_framingMemory.checksumRange = EChecksumRange(m_checksumRange->currentIndex());
    m_framingMemory.lastMode = ELastPacketMode(m_lastMode->currentIndex());
    m_framingMemory.packetSize = m_packetSize->value();
    storeLinkMemory();
}

void CTransferDialogBase::start(std::unique_ptr<CPacketTransfer> transfer) {
    m_transfer = std::move(transfer);
    m_loggedThisTransfer = false;
    m_progress->setRange(0, int(std::min<size_t>(m_transfer->packetCount(), INT_MAX)));
    m_progress->setValue(0);
    m_progress->setTextVisible(true);
    setSending(true);
    // The worker touches the transfer and, through it, the observer bridge; both stay alive
    // until the worker has been joined (in transferEnded() or the destructor).
    m_worker = std::thread([this, transfer = m_transfer.get()] {
        transfer->run();
        QMetaObject::invokeMethod(
            this, [this] { transferEnded(); }, Qt::QueuedConnection);
    });
}

void CTransferDialogBase::transferEnded() {
    if (m_worker.joinable())
        m_worker.join();
    if (!m_transfer)
        return;
    m_lastOutcome = m_transfer->outcome();
    m_transfer.reset();
    setSending(false);
    // A link that did not open leaves no trace in the log; its reason goes there, so that the
    // message box's general words are not all the user learns.
    if (m_lastOutcome.state == ETransferState::Failed && !m_lastOutcome.detail.empty() &&
        !m_loggedThisTransfer)
        appendLog(QString::fromUtf8(m_lastOutcome.detail) + "\n");
    if (!m_lastOutcome.notice.empty())
        notify(m_lastOutcome.succeeded() ? QMessageBox::Information : QMessageBox::Warning,
               QString::fromUtf8(m_lastOutcome.notice));
    emit transferFinished();
}

void CTransferDialogBase::setSending(bool sending) {
    m_fields->setEnabled(!sending);
    m_send->setEnabled(!sending);
    m_close->setEnabled(!sending);
    m_stop->setEnabled(sending);
    if (sending)
        m_stop->setFocus();
    else
        m_send->setFocus();
}

void CTransferDialogBase::showProgress(size_t sent, size_t total) {
    m_progress->setRange(0, int(std::min<size_t>(total, INT_MAX)));
    m_progress->setValue(int(std::min<size_t>(sent, INT_MAX)));
}

void CTransferDialogBase::appendLog(const QString& text) {
    m_loggedThisTransfer = true;
    QScrollBar* bar = m_log->verticalScrollBar();
    const bool followEnd = bar->value() == bar->maximum();
    QTextCursor cursor(m_log->document());
    cursor.movePosition(QTextCursor::End);
    cursor.insertText(text);
    trimLog();
    if (followEnd)
        bar->setValue(bar->maximum());
}

// Over the limit, the oldest lines go, down to 7/8 of it so that the next pieces do not each
// cut again. Whole lines are cut where there are any, so no line loses its time stamp.
void CTransferDialogBase::trimLog() {
    QTextDocument* doc = m_log->document();
    const int length = doc->characterCount() - 1; // without the closing paragraph mark
    if (length <= kMaxLogChars)
        return;
    int cut = length - kMaxLogChars / 8 * 7;
    const QTextBlock block = doc->findBlock(cut);
    if (block.isValid() && block.position() != cut && block.next().isValid())
        cut = block.next().position();
    QTextCursor cursor(doc);
    cursor.setPosition(0);
    cursor.setPosition(cut, QTextCursor::KeepAnchor);
    cursor.removeSelectedText();
}

void CTransferDialogBase::notify(QMessageBox::Icon icon, const QString& text) {
    showMessage(this, icon, noticeTitle(), text);
}

void CTransferDialogBase::reject() {
    if (isSending())
        return; // stopped with "停止" first
    QDialog::reject();
}

void CTransferDialogBase::done(int result) {
    if (isSending())
        return;
    storeMemory();
    QDialog::done(result);
}

void CTransferDialogBase::closeEvent(QCloseEvent* event) {
    if (isSending()) {
        event->ignore();
        return;
    }
    QDialog::closeEvent(event);
}

} // namespace tgw

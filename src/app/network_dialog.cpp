#include "app/network_dialog.h"

#include "base/screen_text.h"
#include "transfer/network_transfer.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QIntValidator>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QRadioButton>
#include <QSpinBox>

#include <algorithm>

namespace tgw {

CIpv4Edit::CIpv4Edit(QWidget* parent) : QWidget(parent) {
    auto* row = new QHBoxLayout(this);
    row->setContentsMargins(0, 0, 0, 0);
    row->setSpacing(2);
    for (int i = 0; i < 4; ++i) {
        auto* field = new QLineEdit(this);
        field->setMaxLength(3);
        field->setValidator(new QIntValidator(0, 255, field));
        field->setAlignment(Qt::AlignCenter);
        field->setAccessibleName(tr("IP 地址第 %1 段").arg(i + 1));
        field->setMaximumWidth(field->fontMetrics().horizontalAdvance("00000") + 12);
        field->installEventFilter(this);
        connect(field, &QLineEdit::textEdited, this, [this, i](const QString& text) {
            QLineEdit* f = m_fields[size_t(i)];
            const bool full = text.size() == 3 || text.toInt() * 10 > 255;
            if (i < 3 && full && f->cursorPosition() == text.size()) {
                m_fields[size_t(i) + 1]->setFocus();
                m_fields[size_t(i) + 1]->selectAll();
            }
        });
        m_fields[size_t(i)] = field;
        row->addWidget(field);
        if (i < 3)
            row->addWidget(new QLabel(".", this));
    }
    row->addStretch(1);
    setFocusProxy(m_fields[0]);
}

std::array<std::optional<int>, 4> CIpv4Edit::fields() const {
    std::array<std::optional<int>, 4> out;
    for (size_t i = 0; i < 4; ++i) {
        bool ok = false;
        const int value = m_fields[i]->text().toInt(&ok, 10);
        if (ok)
            out[i] = value;
    }
    return out;
}

void CIpv4Edit::setFields(const std::array<std::optional<int>, 4>& fields) {
    for (size_t i = 0; i < 4; ++i)
        m_fields[i]->setText(fields[i] ? QString::number(*fields[i]) : QString());
}

void CIpv4Edit::focusFirstEmpty() {
    for (QLineEdit* field : m_fields)
        if (field->text().isEmpty()) {
            field->setFocus();
            return;
        }
    m_fields[0]->setFocus();
}

bool CIpv4Edit::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() != QEvent::KeyPress)
        return QWidget::eventFilter(watched, event);
    const auto it = std::find(m_fields.begin(), m_fields.end(), watched);
    if (it == m_fields.end())
        return QWidget::eventFilter(watched, event);
    const size_t i = size_t(it - m_fields.begin());
    QLineEdit* field = *it;
    const int key = static_cast<QKeyEvent*>(event)->key();
    const bool atStart = field->cursorPosition() == 0 && !field->hasSelectedText();
    const bool atEnd = field->cursorPosition() == field->text().size() && !field->hasSelectedText();
    if (key == Qt::Key_Period || key == Qt::Key_Space) {
        if (i < 3 && !field->text().isEmpty()) {
            m_fields[i + 1]->setFocus();
            m_fields[i + 1]->selectAll();
        }
        return true;
    }
    if (i > 0 && atStart && (key == Qt::Key_Backspace || key == Qt::Key_Left)) {
        m_fields[i - 1]->setFocus();
        m_fields[i - 1]->end(false);
        return true;
    }
    if (i < 3 && atEnd && key == Qt::Key_Right) {
        m_fields[i + 1]->setFocus();
        m_fields[i + 1]->home(false);
        return true;
    }
    return QWidget::eventFilter(watched, event);
}

CNetworkDialog::CNetworkDialog(std::string data, CTransferMemory& memory, QWidget* parent)
    : CTransferDialogBase(std::move(data), memory.network.framing, parent),
      m_memory(memory.network) {
    setWindowTitle(QString::fromUtf8(screenText("tgw::core::transfer", kNetworkDialogTitle)));
    auto* link = new QGroupBox(tr("网络设置"), this);

    m_address = new CIpv4Edit(link);
    m_address->setFields(m_memory.address);
    m_port = new QSpinBox(link);
    m_port->setRange(1, 65535);
    m_port->setValue(m_memory.port);
    m_tcp = new QRadioButton("&TCP", link);
    m_udp = new QRadioButton("&UDP", link);
    auto* protocol = new QButtonGroup(link);
    protocol->addButton(m_tcp);
    protocol->addButton(m_udp);
    (m_memory.protocol == EProtocol::Udp ? m_udp : m_tcp)->setChecked(true);
    const CReplyFields reply = makeReplyFields(link, m_memory.replyTimeoutMs, m_memory.logReplies,
                                               tr("单应答包"), m_memory.singleReply);
    m_replyTimeout = reply.timeout;
    m_logReplies = reply.receive;
    m_singleReply = reply.option;

    auto* grid = new QGridLayout(link);
    auto add = [&](int row, int column, const QString& text, QWidget* field) {
        addLabelled(grid, row, column, text, field);
    };
    add(0, 0, tr("目标IP地址："), m_address);
    add(0, 2, tr("端口："), m_port);
    auto* protocols = new QHBoxLayout;
    protocols->addWidget(m_tcp);
    protocols->addWidget(m_udp);
    protocols->addStretch(1);
    grid->addLayout(protocols, 1, 1);
    add(1, 2, tr("接收超时[MS]："), m_replyTimeout);
    grid->addWidget(m_logReplies, 2, 1);
    grid->addWidget(m_singleReply, 2, 3);
    grid->setColumnStretch(1, 1);
    buildLayout(link);
}

void CNetworkDialog::send() {
    std::optional<CFramingSettings> framing = readFraming();
    if (!framing)
        return;
    Result<CIpv4Address> address = ipv4FromFields(m_address->fields());
    if (!address) {
        m_address->focusFirstEmpty();
        return;
    }
    storeMemory();
    CNetworkSettings settings;
    settings.protocol = m_udp->isChecked() ? EProtocol::Udp : EProtocol::Tcp;
    settings.address = *address;
    settings.port = uint16_t(m_port->value());
    settings.logReplies = m_logReplies->isChecked();
    settings.singleReply = m_singleReply->isChecked();
    settings.replyTimeoutMs = m_replyTimeout->value();
    start(std::make_unique<CNetworkTransfer>(
        std::move(settings), CPacketFramer(std::move(*framing), data()), observer()));
}

void CNetworkDialog::storeLinkMemory() {
    m_memory.address = m_address->fields();
    m_memory.protocol = m_udp->isChecked() ? EProtocol::Udp : EProtocol::Tcp;
    m_memory.port = m_port->value();
    m_memory.logReplies = m_logReplies->isChecked();
    m_memory.singleReply = m_singleReply->isChecked();
    m_memory.replyTimeoutMs = m_replyTimeout->value();
}

} // namespace tgw

#include "app/serial_dialog.h"

#include "base/screen_text.h"
#include "transfer/serial_transfer.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QSpinBox>
#include <QTimer>

namespace tgw {

CSerialDialog::CSerialDialog(std::string data, CTransferMemory& memory, QWidget* parent)
    : CSerialDialog(std::move(data), memory, listSerialPorts(), parent) {}

CSerialDialog::CSerialDialog(std::string data, CTransferMemory& memory,
                             std::vector<CSerialPortInfo> ports, QWidget* parent)
    : CSerialDialog(std::move(data), memory, Result<std::vector<CSerialPortInfo>>(std::move(ports)),
                    parent) {}

CSerialDialog::CSerialDialog(std::string data, CTransferMemory& memory,
                             Result<std::vector<CSerialPortInfo>> ports, QWidget* parent)
    : CTransferDialogBase(std::move(data), memory.serial.framing, parent), m_memory(memory.serial) {
    setWindowTitle(tr("通过串口发送字模点阵数据"));
    auto* link = new QGroupBox(tr("串口设置"), this);

    m_port = new QComboBox(link);
    m_port->setEditable(true);
    m_port->setInsertPolicy(QComboBox::NoInsert);
    m_port->lineEdit()->setPlaceholderText("/dev/ttyUSB0");
    if (ports) {
        for (const CSerialPortInfo& port : *ports) {
            const QString name = QString::fromUtf8(port.name);
            const QString description = QString::fromUtf8(port.description);
            m_port->addItem(description.isEmpty() || description == name
                                ? QString("[%1]").arg(name)
                                : QString("[%1] %2").arg(name, description),
                            name);
        }
    } else {
        appendLog(QString::fromUtf8(ports.error()) + "\n");
    }
    m_noPorts = m_port->count() == 0;
    // The port of the last use: a listed one is chosen again, a typed path typed again.
    const QString remembered = QString::fromUtf8(m_memory.port);
    if (const int index = m_port->findData(remembered); index >= 0)
        m_port->setCurrentIndex(index);
    else if (!remembered.isEmpty())
        m_port->setEditText(remembered);
    else
        m_port->setCurrentIndex(m_noPorts ? -1 : 0);

    m_baud = new QComboBox(link);
    for (unsigned rate : kBaudRates)
        m_baud->addItem(QString::number(rate), rate);
    const int baud = m_baud->findData(m_memory.baudRate);
    m_baud->setCurrentIndex(baud >= 0 ? baud : m_baud->findData(kDefaultBaudRate));

    const CReplyFields reply = makeReplyFields(link, m_memory.replyTimeoutMs, m_memory.waitReply,
                                               tr("自适应接收超时"), m_memory.adaptiveTiming);
    m_replyTimeout = reply.timeout;
    m_waitReply = reply.receive;
    m_adaptive = reply.option;

    auto* grid = new QGridLayout(link);
    auto add = [&](int row, int column, const QString& text, QWidget* field) {
        addLabelled(grid, row, column, text, field);
    };
    add(0, 0, tr("串口："), m_port);
    add(0, 2, tr("波特率："), m_baud);
    add(1, 0, tr("接收超时[MS]："), m_replyTimeout);
    grid->addWidget(m_waitReply, 1, 2);
    grid->addWidget(m_adaptive, 1, 3);
    grid->setColumnStretch(1, 1);
    buildLayout(link);
}

std::string CSerialDialog::portName() const {
    const QString text = m_port->currentText().trimmed();
    const int index = m_port->findText(text, Qt::MatchExactly);
    const QString name = index >= 0 ? m_port->itemData(index).toString() : text;
    const QByteArray utf8 = name.toUtf8();
    return std::string(utf8.constData(), size_t(utf8.size()));
}

void CSerialDialog::showEvent(QShowEvent* event) {
    CTransferDialogBase::showEvent(event);
    if (m_noPorts && !m_noPortsShown) {
        m_noPortsShown = true;
        // Once the dialog is on screen, so that the box stands over it.
        QTimer::singleShot(0, this, [this] {
            notify(QMessageBox::Information,
                   screenText("tgw::core::transfer", kNoSerialPortNotice));
            m_port->setFocus();
        });
    }
}

void CSerialDialog::send() {
    const std::string port = portName();
    if (port.empty()) {
        notify(QMessageBox::Information, screenText("tgw::core::transfer", kNoSerialPortNotice));
        m_port->setFocus();
        return;
    }
    std::optional<CFramingSettings> framing = readFraming();
    if (!framing)
        return;
    storeMemory();
    CSerialSettings settings;
    settings.port = port;
    settings.baudRate = m_baud->currentData().toUInt();
    settings.waitReply = m_waitReply->isChecked();
    settings.adaptiveTiming = m_adaptive->isChecked();
    settings.replyTimeoutMs = m_replyTimeout->value();
    start(std::make_unique<CSerialTransfer>(
        std::move(settings), CPacketFramer(std::move(*framing), data()), observer()));
}

void CSerialDialog::storeLinkMemory() {
    m_memory.port = portName();
    m_memory.baudRate = m_baud->currentData().toUInt();
    m_memory.waitReply = m_waitReply->isChecked();
    m_memory.adaptiveTiming = m_adaptive->isChecked();
    m_memory.replyTimeoutMs = m_replyTimeout->value();
}

} // namespace tgw

#pragma once

#include "app/transfer_dialog_base.h"
#include "transfer/serial_port.h"

#include <string>
#include <vector>

class QCheckBox;

namespace tgw {

// "通过串口发送字模点阵数据": sends the matrix data to a device on a serial port, framed into
// packets, and logs each packet's reply. The port list shows the system's ports with what the
// system says they are; a path can be typed instead (a USB adapter the list misses, a
// pseudo-terminal). Without any listed port the dialog says "未找到可用的串口，无法进行传输！" when
// it opens, and sends only to a typed path.
class CSerialDialog : public CTransferDialogBase {
    Q_OBJECT

public:
    // Lists the system's serial ports.
    CSerialDialog(std::string data, CTransferMemory& memory, QWidget* parent = nullptr);
    // Lists `ports` in place of the system's; an empty list stands for a system without ports.
    CSerialDialog(std::string data, CTransferMemory& memory, std::vector<CSerialPortInfo> ports,
                  QWidget* parent = nullptr);

    // The port a send would open: the chosen item's system name, or the typed path.
    std::string portName() const;

    QComboBox* portBox() const { return m_port; }
    QComboBox* baudBox() const { return m_baud; }
    QCheckBox* waitReplyBox() const { return m_waitReply; }
    QCheckBox* adaptiveBox() const { return m_adaptive; }
    QSpinBox* replyTimeoutBox() const { return m_replyTimeout; }

protected:
    void send() override;
    void storeLinkMemory() override;
    void showEvent(QShowEvent* event) override;

private:
    CSerialDialog(std::string data, CTransferMemory& memory,
                  Result<std::vector<CSerialPortInfo>> ports, QWidget* parent);

    CTransferMemory::CSerial& m_memory;
    bool m_noPorts = false;
    bool m_noPortsShown = false;
    QComboBox* m_port = nullptr;
    QComboBox* m_baud = nullptr;
    QCheckBox* m_waitReply = nullptr;
    QCheckBox* m_adaptive = nullptr;
    QSpinBox* m_replyTimeout = nullptr;
};

} // namespace tgw

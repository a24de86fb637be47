#pragma once

#include "app/transfer_dialog_base.h"
#include "transfer/net_socket.h"

#include <array>
#include <optional>
#include <string>

class QCheckBox;
class QLineEdit;
class QRadioButton;

namespace tgw {

// The four-field address control: four numbers 0..255, each field may be empty. A dot or a
// blank moves on to the next field, as does a field that can take no further digit; Backspace
// in an empty field goes back to the one before.
class CIpv4Edit : public QWidget {
    Q_OBJECT

public:
    explicit CIpv4Edit(QWidget* parent = nullptr);

    // Empty fields are nullopt.
    std::array<std::optional<int>, 4> fields() const;
    void setFields(const std::array<std::optional<int>, 4>& fields);
    QLineEdit* field(int i) const { return m_fields[size_t(i)]; }
    // Puts the focus on the first empty field (the first field when none is empty).
    void focusFirstEmpty();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    std::array<QLineEdit*, 4> m_fields{};
};

// "通过网络发送字模点阵数据": sends the matrix data over TCP or as UDP datagrams, framed into
// packets, and logs what comes back. An address with an empty field puts the focus on the
// address control and opens no socket.
class CNetworkDialog : public CTransferDialogBase {
    Q_OBJECT

public:
    CNetworkDialog(std::string data, CTransferMemory& memory, QWidget* parent = nullptr);

    CIpv4Edit* addressEdit() const { return m_address; }
    QRadioButton* tcpButton() const { return m_tcp; }
    QRadioButton* udpButton() const { return m_udp; }
    QSpinBox* portBox() const { return m_port; }
    QSpinBox* replyTimeoutBox() const { return m_replyTimeout; }
    QCheckBox* logRepliesBox() const { return m_logReplies; }
    QCheckBox* singleReplyBox() const { return m_singleReply; }

protected:
    void send() override;
    void storeLinkMemory() override;

private:
    CTransferMemory::CNetwork& m_memory;
    CIpv4Edit* m_address = nullptr;
    QRadioButton* m_tcp = nullptr;
    QRadioButton* m_udp = nullptr;
    QSpinBox* m_port = nullptr;
    QSpinBox* m_replyTimeout = nullptr;
    QCheckBox* m_logReplies = nullptr;
    QCheckBox* m_singleReply = nullptr;
};

} // namespace tgw

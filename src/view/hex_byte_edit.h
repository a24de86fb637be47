#pragma once

#include "base/result.h"
#include "transfer/packet_framing.h"

#include <QLineEdit>

namespace tgw {

// An edit box for a byte string typed in hexadecimal ("AA 01 02"): packet headers, tails and
// the like. Only the digits 0-9 and A-F (by key, so lower case too), blank, Backspace, Delete,
// the cursor keys and Home/End edit the text; other keys are swallowed, except the dialog's own
// (Tab, Enter, Escape) and the standard copy, cut, paste, select-all and undo shortcuts. Right
// clicks and the context menu are swallowed. On losing the focus the text is rewritten in normal
// form, "0A 01 23 " for "a 123".
//
// Pasting can still bring in other characters; bytes() then fails and names the field.
class CHexByteEdit : public QLineEdit {
    Q_OBJECT

public:
    // `fieldName` names the box in messages about its text ("包头1").
    explicit CHexByteEdit(const QString& fieldName, QWidget* parent = nullptr);

    const QString& fieldName() const { return m_fieldName; }

    // Rewrites the text in normal form and puts the caret at the end. A normal form longer
    // than maxLength() is not applied (the box would cut it short and lose bytes): the text then
    // stays as typed, which reads the same.
    void normalise();
    // The bytes of the text, normalised first when the box has the focus; an empty box holds
    // none. Fails when a token is not hexadecimal, with a message that names the field.
    Result<CBytes> bytes();

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;

private:
    QString m_fieldName;
};

} // namespace tgw

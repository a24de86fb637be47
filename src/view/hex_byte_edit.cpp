#include "view/hex_byte_edit.h"

#include "transfer/hex_bytes.h"

#include <QContextMenuEvent>
#include <QKeyEvent>
#include <QKeySequence>
#include <QMouseEvent>

namespace tgw {
namespace {

bool isStandardEditShortcut(QKeyEvent* event) {
    for (QKeySequence::StandardKey key :
         {QKeySequence::Copy, QKeySequence::Cut, QKeySequence::Paste, QKeySequence::SelectAll,
          QKeySequence::Undo, QKeySequence::Redo})
        if (event->matches(key))
            return true;
    return false;
}

bool isCaretKey(int key) {
    switch (key) {
    case Qt::Key_Left:
    case Qt::Key_Right:
    case Qt::Key_Up:
    case Qt::Key_Down:
    case Qt::Key_Home:
    case Qt::Key_End:
        return true;
    default:
        return false;
    }
}

bool isTypingKey(int key) {
    return (key >= Qt::Key_0 && key <= Qt::Key_9) || (key >= Qt::Key_A && key <= Qt::Key_F) ||
           key == Qt::Key_Space || key == Qt::Key_Backspace || key == Qt::Key_Delete;
}

std::string utf8(const QString& text) {
    const QByteArray bytes = text.toUtf8();
    return std::string(bytes.constData(), size_t(bytes.size()));
}

} // namespace

CHexByteEdit::CHexByteEdit(const QString& fieldName, QWidget* parent)
    : QLineEdit(parent), m_fieldName(fieldName) {
    // An input method or a drop would put text in past the key filter.
    setAttribute(Qt::WA_InputMethodEnabled, false);
    setAcceptDrops(false);
}

void CHexByteEdit::normalise() {
    const QString current = text();
    const QString normal = QString::fromUtf8(normaliseHexText(utf8(current)));
    if (normal == current) {
        setCursorPosition(int(current.size()));
        return;
    }
    if (normal.size() > maxLength())
        return;
    setText(normal); // leaves the caret at the end
}

Result<CBytes> CHexByteEdit::bytes() {
    if (hasFocus())
        normalise();
    return parseHexBytes(utf8(text()), utf8(m_fieldName));
}

void CHexByteEdit::keyPressEvent(QKeyEvent* event) {
    if (isStandardEditShortcut(event)) {
        QLineEdit::keyPressEvent(event);
        return;
    }
    const int key = event->key();
    switch (key) {
    case Qt::Key_Return:
    case Qt::Key_Enter:
        // The line edit reports the end of editing and passes the key on to the dialog's
        // default button.
        QLineEdit::keyPressEvent(event);
        return;
    case Qt::Key_Escape:
    case Qt::Key_Tab:
    case Qt::Key_Backtab:
        event->ignore();
        return;
    default:
        break;
    }
    const Qt::KeyboardModifiers modifiers =
        event->modifiers() & ~(Qt::ShiftModifier | Qt::KeypadModifier);
    const bool plain = modifiers == Qt::NoModifier;
    // Ctrl with a caret key moves by words, which is still only moving.
    if ((isTypingKey(key) && plain) ||
        (isCaretKey(key) && (plain || modifiers == Qt::ControlModifier))) {
        QLineEdit::keyPressEvent(event);
        return;
    }
    event->accept(); // swallowed
}

void CHexByteEdit::focusOutEvent(QFocusEvent* event) {
    normalise();
    QLineEdit::focusOutEvent(event);
}

void CHexByteEdit::mousePressEvent(QMouseEvent* event) {
    if (event->button() == Qt::RightButton) {
        event->accept();
        return;
    }
    QLineEdit::mousePressEvent(event);
}

void CHexByteEdit::mouseReleaseEvent(QMouseEvent* event) {
    if (event->button() == Qt::RightButton) {
        event->accept();
        return;
    }
    QLineEdit::mouseReleaseEvent(event);
}

void CHexByteEdit::mouseDoubleClickEvent(QMouseEvent* event) {
    if (event->button() == Qt::RightButton) {
        event->accept();
        return;
    }
    QLineEdit::mouseDoubleClickEvent(event);
}

void CHexByteEdit::contextMenuEvent(QContextMenuEvent* event) {
    event->accept(); // no menu, so no paste through it
}

} // namespace tgw

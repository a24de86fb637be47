#pragma once

#include <QString>

#include <initializer_list>

class QDialog;
class QDialogButtonBox;
class QLabel;
class QPlainTextEdit;
class QWidget;

namespace tgw {

// Keyboard use shared by the dialogs: every dialog can be filled in and accepted without the
// mouse.

// Ctrl+Return and Ctrl+Enter (the keypad's) accept `dialog` from any of its controls, a text
// box included; the OK button of `buttons` gets a mnemonic (Alt+O).
void acceptWithKeys(QDialog* dialog, QDialogButtonBox* buttons);

// A multi-line text box that Tab leaves, as it leaves every other control; Ctrl+Tab types a
// tab character where one is really wanted.
void tabLeaves(QPlainTextEdit* edit);

// Names `control` for screen readers and, when `label` is given, makes the label its buddy so
// that the label's mnemonic reaches it. The name is the label's text without its mnemonic and
// colon when `name` is empty.
void nameControl(QWidget* control, QLabel* label, const QString& name = {});

// Tab walks the controls in this order.
void tabChain(std::initializer_list<QWidget*> controls);

} // namespace tgw

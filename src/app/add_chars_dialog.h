#pragma once

#include <QDialog>

class QPlainTextEdit;

namespace tgw {

// "添加单写字符": the characters to add, one entry each.
class CAddCharsDialog : public QDialog {
    Q_OBJECT

public:
    explicit CAddCharsDialog(QWidget* parent = nullptr);
    QString text() const;
    QPlainTextEdit* editor() const { return m_edit; }
    // "导入...": replaces the text with a text file's; a failure leaves it as it was.
    void importText();

private:
    QPlainTextEdit* m_edit;
};

} // namespace tgw

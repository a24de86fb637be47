#pragma once

#include "model/settings.h"

#include <QDialog>

class QButtonGroup;
class QLabel;
class QLineEdit;
class QPlainTextEdit;

namespace tgw {

// "代码格式": dot order, byte order, C or assembler, Unicode or code page codes, the header and
// tail templates, and the program that shows exported code.
class CCodeFormatDialog : public QDialog {
    Q_OBJECT

public:
    CCodeFormatDialog(const CSettings& settings, QWidget* parent = nullptr);

    // Takes POINTSSEQ, BYTESSEQ, LANGUAGE, USEUNICODE, CODEHEAD, CODETAIL and CODEBROWSER over.
    void apply(CSettings& settings) const;

    QButtonGroup* dotOrders() const { return m_dotOrder; }
    QButtonGroup* byteOrders() const { return m_byteOrder; }
    QButtonGroup* languages() const { return m_language; }
    QButtonGroup* codings() const { return m_coding; }
    QPlainTextEdit* headEdit() const { return m_head; }
    QPlainTextEdit* tailEdit() const { return m_tail; }
    QLineEdit* browserEdit() const { return m_browser; }

    // What a byte order does, in words, for the mode shown as `byteOrder` + 1.
    static QString byteOrderText(int byteOrder);

private:
    void updateExample();

    QButtonGroup* m_dotOrder;
    QButtonGroup* m_byteOrder;
    QButtonGroup* m_language;
    QButtonGroup* m_coding;
    QPlainTextEdit* m_head;
    QPlainTextEdit* m_tail;
    QLineEdit* m_browser;
    QLabel* m_example;
};

} // namespace tgw

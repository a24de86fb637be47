#pragma once

#include "model/dot_matrix.h"
#include "model/settings.h"

#include <QDialog>

class QButtonGroup;
class QComboBox;
class QLabel;
class QLineEdit;
class QPlainTextEdit;

namespace tgw {

class CByteOrderView;

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
    // "预设": item 0 is "自定义", then the display presets in table order.
    QComboBox* presetBox() const { return m_preset; }
    // The presets whose orders are the ones chosen.
    QLabel* matchingLabel() const { return m_matching; }
    CByteOrderView* orderView() const { return m_drawing; }

    // A glyph to draw the byte order on instead of a bare grid of the matrix size.
    void setSample(const CDotMatrix& sample);

    // What a byte order does, in words, for the mode shown as `byteOrder` + 1.
    static QString byteOrderText(int byteOrder);

private:
    void updateExample();
    void choosePreset(int index);
    void ordersChanged();

    QButtonGroup* m_dotOrder;
    QButtonGroup* m_byteOrder;
    QButtonGroup* m_language;
    QButtonGroup* m_coding;
    QPlainTextEdit* m_head;
    QPlainTextEdit* m_tail;
    QLineEdit* m_browser;
    QLabel* m_example;
    QComboBox* m_preset;
    QLabel* m_presetInfo;
    QLabel* m_matching;
    CByteOrderView* m_drawing;
    int m_width, m_height;
};

} // namespace tgw

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
struct CDisplayPreset;

// "代码格式": dot order, byte order, C or assembler, Unicode or code page codes, the header and
// tail templates, and the program that shows exported code.
class CCodeFormatDialog : public QDialog {
    Q_OBJECT

public:
    CCodeFormatDialog(const CSettings& settings, QWidget* parent = nullptr);

    // Takes POINTSSEQ, BYTESSEQ, LANGUAGE, USEUNICODE, CODEHEAD, CODETAIL, CODEBROWSER,
    // CODEENCODING and the display preset with its rotation over.
    void apply(CSettings& settings) const;

    // Whether a CODEBROWSER value means the program's own code window: none named, or the
    // stored default, a Windows program that is not there on this system.
    static bool isBuiltInViewer(const QString& command);

    QButtonGroup* dotOrders() const { return m_dotOrder; }
    QButtonGroup* byteOrders() const { return m_byteOrder; }
    QButtonGroup* languages() const { return m_language; }
    QButtonGroup* codings() const { return m_coding; }
    // The text of the code file: item 0 code page 936 with CR LF, item 1 UTF-8 with LF.
    QComboBox* encodingBox() const { return m_encoding; }
    QPlainTextEdit* headEdit() const { return m_head; }
    QPlainTextEdit* tailEdit() const { return m_tail; }
    QLineEdit* browserEdit() const { return m_browser; }
    // "预设": item 0 is "自定义", then the display presets in table order, then the panels.
    QComboBox* presetBox() const { return m_preset; }
    // How the display is mounted: 0°, 90°, 180°, 270° (items in that order).
    QComboBox* rotationBox() const { return m_rotation; }
    // What the chosen preset does and needs, and whether the cell suits it.
    QLabel* presetInfo() const { return m_presetInfo; }
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
    void describePreset();
    // The preset chosen in the drop-down, or nullptr for "自定义".
    const CDisplayPreset* chosenPreset() const;

    QButtonGroup* m_dotOrder;
    QButtonGroup* m_byteOrder;
    QButtonGroup* m_language;
    QButtonGroup* m_coding;
    QComboBox* m_encoding;
    QPlainTextEdit* m_head;
    QPlainTextEdit* m_tail;
    QLineEdit* m_browser;
    QLabel* m_example;
    QComboBox* m_preset;
    QComboBox* m_rotation;
    QLabel* m_presetInfo;
    QString m_browserStored; // CODEBROWSER as read, kept when the built-in viewer stays chosen
    QLabel* m_matching;
    CByteOrderView* m_drawing;
    int m_width, m_height;
};

} // namespace tgw

#pragma once

#include <QDialog>

class QCheckBox;
class QPlainTextEdit;
class QSpinBox;

namespace tgw {

// "添加连写文字": one or more lines of text that become one matrix.
class CAddStringDialog : public QDialog {
    Q_OBJECT

public:
    explicit CAddStringDialog(QWidget* parent = nullptr);
    QString text() const;
    bool rightToLeft() const;
    QPlainTextEdit* editor() const { return m_edit; }
    QCheckBox* rtlCheck() const { return m_rtl; }

private:
    QPlainTextEdit* m_edit;
    QCheckBox* m_rtl;
};

// "图形取点设定": the brightness threshold of pictures.
class CThresholdDialog : public QDialog {
    Q_OBJECT

public:
    CThresholdDialog(int threshold, QWidget* parent = nullptr);
    int threshold() const;
    void setThreshold(int threshold);

private:
    QSpinBox* m_value;
};

} // namespace tgw

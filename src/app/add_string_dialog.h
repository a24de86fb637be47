#pragma once

#include "model/picture_options.h"
#include "raster/decoded_picture.h"

#include <QDialog>

class QCheckBox;
class QComboBox;
class QLabel;
class QPlainTextEdit;
class QSpinBox;

namespace tgw {

class CDepthBox;

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

// "图形取点设定": how pictures become dots — the method (threshold or a dithering), the
// brightness threshold, inversion and scaling — with a live preview of one picture.
class CThresholdDialog : public QDialog {
    Q_OBJECT

public:
    CThresholdDialog(int threshold, QWidget* parent = nullptr);
    // `options` chosen now; scaled pictures aim at targetWidth × targetHeight.
    CThresholdDialog(const CPictureOptions& options, int targetWidth, int targetHeight,
                     QWidget* parent = nullptr);
    int threshold() const;
    void setThreshold(int threshold);
    // The choice, with the target size given to the constructor when scaling.
    CPictureOptions options() const;
    void setOptions(const CPictureOptions& options);
    // The decoded picture the preview converts; an empty image shows no preview.
    void setPreviewPicture(CRgbImage picture);

    QComboBox* methodBox() const { return m_method; }
    QComboBox* scaleBox() const { return m_scale; }
    QCheckBox* invertCheck() const { return m_invert; }
    QLabel* preview() const { return m_preview; }
    CDepthBox* depthBox() const { return m_depth; }

private:
    void updatePreview();

    QSpinBox* m_value;
    QComboBox* m_method;
    QCheckBox* m_invert;
    QComboBox* m_scale;
    QLabel* m_preview;
    CDepthBox* m_depth;
    CRgbImage m_picture;
    int m_targetWidth = 0, m_targetHeight = 0;
};

} // namespace tgw

#pragma once

#include "model/settings.h"

#include <QDialog>

#include <memory>
#include <string>

class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QSpinBox;
class QTimer;

namespace tgw {

class CDepthBox;
class CFontList;
class CRasteriser;

// "字模字体": the font and matrix size of new entries, and of the selected ones on OK.
class CFontDialog : public QDialog {
    Q_OBJECT

public:
    CFontDialog(const CSettings& settings, QWidget* parent = nullptr);
    ~CFontDialog() override;

    // Takes the dialog's values over into `settings`: styles, half width, size and kind always;
    // face, font size and offset only for a TrueType font (a built-in library keeps the old
    // ones).
    void apply(CSettings& settings) const;

    QComboBox* kindBox() const { return m_kind; }
    CFontList* faceList() const { return m_face; }
    QCheckBox* sizeCheck() const { return m_sizeOn; }
    QSpinBox* sizeBox() const { return m_size; }
    QSpinBox* widthBox() const { return m_width; }
    QSpinBox* heightBox() const { return m_height; }
    QCheckBox* offsetCheck() const { return m_offsetOn; }
    QSpinBox* offsetBox() const { return m_offset; }
    QCheckBox* boldCheck() const { return m_bold; }
    QCheckBox* italicCheck() const { return m_italic; }
    QCheckBox* halfWidthCheck() const { return m_halfWidth; }
    QCheckBox* fileCheck() const { return m_fileOn; }
    QLineEdit* fileEdit() const { return m_file; }
    QSpinBox* faceIndexBox() const { return m_faceIndex; }
    QLabel* fileInfo() const { return m_fileInfo; }
    QCheckBox* fitCheck() const { return m_fit; }
    CDepthBox* depthBox() const { return m_depth; }

    // Shows the family and style of the chosen face of the file, or why it cannot be read.
    void describeFile();
    // Reads the font from the file at `path` (its first face), as the browse button does.
    void chooseFile(const QString& path);
    // Whether a file's name ends as the font files the dialog reads do (.ttf, .bdf, .pcf.gz …).
    static bool isFontFileName(const QString& name);

    // The characters the preview draws in their cells (the selected entries' characters);
    // empty: a sample line.
    void setPreviewText(const std::u16string& text);
    // Draws the preview of the dialog's values now; every change draws it a moment later.
    void updatePreview();
    QLabel* previewPicture() const { return m_preview; }
    QLabel* previewNote() const { return m_previewNote; }

private:
    void updateEnabled();
    void browse();

    QComboBox* m_kind;
    CFontList* m_face;
    QCheckBox* m_sizeOn;
    QSpinBox* m_size;
    QSpinBox* m_width;
    QSpinBox* m_height;
    QCheckBox* m_bold;
    QCheckBox* m_italic;
    QCheckBox* m_underline;
    QCheckBox* m_strikeout;
    QCheckBox* m_offsetOn;
    QSpinBox* m_offset;
    QCheckBox* m_halfWidth;
    QCheckBox* m_fileOn;
    QLineEdit* m_file;
    QPushButton* m_browse;
    QSpinBox* m_faceIndex;
    QLabel* m_fileInfo;
    QCheckBox* m_fit;
    CDepthBox* m_depth;
    QString m_fileFamily; // of the face shown, empty when the file cannot be read

    // The preview: each character in its cell, the ink the cell cuts off marked around it.
    void schedulePreview();
    CSettings m_start; // what apply() fills in for the preview
    std::u16string m_previewText;
    std::unique_ptr<CRasteriser> m_rasteriser;
    QTimer* m_previewTimer;
    QLabel* m_preview;
    QLabel* m_previewNote;
};

} // namespace tgw

#pragma once

#include "library/character_set.h"
#include "library/library_builder.h"
#include "model/settings.h"

#include <QDialog>
#include <QTimer>

#include <memory>

class QAbstractButton;
class QButtonGroup;
class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QProgressBar;
class QPushButton;

namespace tgw {

class CDepthBox;

// "生成字库": renders a whole character set under the font and code format of `settings` and
// writes it to one code or binary file. The build runs on worker threads while the dialog shows
// its progress; the document's own entries are never touched.
class CLibraryDialog : public QDialog {
    Q_OBJECT

public:
    explicit CLibraryDialog(CSettings settings, QWidget* parent = nullptr);
    ~CLibraryDialog() override;

    bool building() const { return m_builder != nullptr; }
    // After a build that was written: what it wrote and where, as the status bar says it.
    QString resultText() const { return m_resultText; }

    // How often the progress display is refreshed while a build runs.
    static constexpr int kProgressMs = 360;

    // The proportional preview's sample line.
    static constexpr const char16_t* kPreviewText = u"Hello, 世界 123";

public slots:
    // A build in progress ignores the dialog's close command (the Escape key, the title bar).
    void reject() override;

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    void startBuild();
    void stopBuild();
    void refreshProgress();
    void endBuild();
    void setBuilding(bool on);
    void updateControls();
    ECharacterSet chosenSet() const;
    // The place of a format in the writer table: its button's id.
    static int writerIndex(std::string_view name);
    const COutputWriter& chosenWriter() const;
    // What the writer's own controls ask of it.
    CWriterOptions writerOptions() const;
    // Draws the sample line from the glyphs' metrics, as a proportional font places them.
    void drawPreview();

    CSettings m_settings;
    std::unique_ptr<CLibraryBuilder> m_builder;
    QTimer m_progressTimer;

    QButtonGroup* m_set;
    QCheckBox* m_printable;
    QPlainTextEdit* m_text;
    QLineEdit* m_ranges;
    QLineEdit* m_symbols;
    QLabel* m_preview;
    QCheckBox* m_sort;
    QCheckBox* m_dedupe;
    QCheckBox* m_skipBlanks;
    QButtonGroup* m_output;
    QCheckBox* m_index;
    CDepthBox* m_depth;
    // The writers' own choices, each enabled for the formats that take it.
    QLineEdit* m_name;
    QCheckBox* m_kerning;
    QCheckBox* m_compress;
    QComboBox* m_libraryVersion;
    QLabel* m_progressText;
    QProgressBar* m_progressBar;
    QPushButton* m_buildButton;
    QPushButton* m_stopButton;
    QPushButton* m_closeButton;
    QList<QWidget*> m_options; // what a build in progress disables
    QString m_path;            // the file the build in progress writes
    QString m_resultText;
};

} // namespace tgw

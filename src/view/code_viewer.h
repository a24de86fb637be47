#pragma once

#include <QDialog>

#include <string>

class QPlainTextEdit;

namespace tgw {

// A window that shows generated code text (code page 936 bytes, or UTF-8 with `utf8`, shown
// decoded) with copy and save-as, for a look at the code without leaving the program.
class CCodeViewer : public QDialog {
    Q_OBJECT

public:
    CCodeViewer(std::string code, const QString& suffix, QWidget* parent = nullptr,
                bool utf8 = false);

    QString shownText() const;
    // Writes the original bytes to `path`; returns the failure's reason or an empty string.
    QString saveTo(const QString& path) const;

private:
    void saveAs();

    std::string m_code;
    QString m_suffix;
    QPlainTextEdit* m_text;
};

// Starts the program of `command` (split like a shell's words, without a shell) with `path` as
// its last argument, one argument however many blanks it holds. Returns false when it could
// not be started.
bool startViewer(const QString& command, const QString& path);

} // namespace tgw

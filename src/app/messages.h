#pragma once

#include <QMessageBox>
#include <QString>

#include <functional>

namespace tgw {

// The program's message boxes, titled as the user knows them. Every box goes through
// showMessage(), so that tests can answer it instead of a person.
QString noticeTitle();
QString questionTitle();

QMessageBox::StandardButton showMessage(QWidget* parent, QMessageBox::Icon icon,
                                        const QString& title, const QString& text,
                                        QMessageBox::StandardButtons buttons = QMessageBox::Ok);

// A notice with the information icon, a warning, a Yes/No and a Yes/No/Cancel question.
void notice(QWidget* parent, const QString& text);
void warning(QWidget* parent, const QString& text);
bool askYesNo(QWidget* parent, const QString& text);
QMessageBox::StandardButton askYesNoCancel(QWidget* parent, const QString& text);

// A save dialog that asks before overwriting and wants an existing folder; `suffix` is added
// to a name typed without one. Returns the chosen path, or an empty string.
struct COutputWriter;
// The save dialog's filter for the files `writer` writes ("C 源文件 (*.c);;所有文件 (*.*)").
QString writerSaveFilter(const COutputWriter& writer);

QString chooseSaveFile(QWidget* parent, const QString& title, const QString& filter,
                       const QString& suffix);
// An open dialog for an existing file.
QString chooseOpenFile(QWidget* parent, const QString& title, const QString& filter);

// Replaces the file dialogs by a function (tests) that gets the title and returns the path.
using CFileHook = std::function<QString(const QString& title)>;
void setFileHook(CFileHook hook);

// What a write left on disk, for the status bar: "已写入 8178 个字模，343480 字节：/tmp/a.bin".
QString writtenText(size_t glyphs, unsigned long long bytes, const QString& path);

// Replaces the boxes by a function (tests); an empty function restores them.
using CMessageHook = std::function<QMessageBox::StandardButton(
    QMessageBox::Icon, const QString& title, const QString& text, QMessageBox::StandardButtons)>;
void setMessageHook(CMessageHook hook);

} // namespace tgw

#include "app/messages.h"

#include "base/screen_text.h"
#include "codegen/output_writers.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileDialog>

#include <climits>

namespace tgw {
namespace {
CMessageHook& hook() {
    static CMessageHook h;
    return h;
}
} // namespace

void setMessageHook(CMessageHook h) {
    hook() = std::move(h);
}

namespace {
CFileHook& fileHook() {
    static CFileHook h;
    return h;
}
} // namespace

QString noticeTitle() {
    return QCoreApplication::translate("tgw::messages", "Tessaglyphworks 提示");
}

QString questionTitle() {
    return QCoreApplication::translate("tgw::messages", "Tessaglyphworks 确认");
}

void setFileHook(CFileHook h) {
    fileHook() = std::move(h);
}

QString writerSaveFilter(const COutputWriter& writer) {
    if (writer.saveFilter)
        return QString::fromUtf8(screenText("tgw::core::writers", writer.saveFilter));
    return QCoreApplication::translate("tgw::messages", "%1 (*.%2);;所有文件 (*.*)")
        .arg(QString::fromUtf8(screenText("tgw::core::writers", writer.label)), writer.extension);
}

QString chooseSaveFile(QWidget* parent, const QString& title, const QString& filter,
                       const QString& suffix) {
    if (fileHook())
        return fileHook()(title);
    QFileDialog dialog(parent, title, QString(), filter);
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setFileMode(QFileDialog::AnyFile);
    dialog.setDefaultSuffix(suffix);
    dialog.setOption(QFileDialog::DontConfirmOverwrite, false);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return {};
    return dialog.selectedFiles().first();
}

QString chooseOpenFile(QWidget* parent, const QString& title, const QString& filter) {
    if (fileHook())
        return fileHook()(title);
    return QFileDialog::getOpenFileName(parent, title, QString(), filter);
}

QMessageBox::StandardButton showMessage(QWidget* parent, QMessageBox::Icon icon,
                                        const QString& title, const QString& text,
                                        QMessageBox::StandardButtons buttons) {
    if (hook())
        return hook()(icon, title, text, buttons);
    QMessageBox box(icon, title, text, buttons, parent);
    return QMessageBox::StandardButton(box.exec());
}

void notice(QWidget* parent, const QString& text) {
    showMessage(parent, QMessageBox::Information, noticeTitle(), text);
}

void warning(QWidget* parent, const QString& text) {
    showMessage(parent, QMessageBox::Warning, noticeTitle(), text);
}

bool askYesNo(QWidget* parent, const QString& text) {
    return showMessage(parent, QMessageBox::Question, questionTitle(), text,
                       QMessageBox::Yes | QMessageBox::No) == QMessageBox::Yes;
}

QMessageBox::StandardButton askYesNoCancel(QWidget* parent, const QString& text) {
    return showMessage(parent, QMessageBox::Question, questionTitle(), text,
                       QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel);
}

QString writtenText(size_t glyphs, unsigned long long bytes, const QString& path) {
    const int count = glyphs > size_t(INT_MAX) ? INT_MAX : int(glyphs);
    return QCoreApplication::translate("tgw::Messages", "已写入 %n 个字模，%1 字节：%2", nullptr,
                                       count)
        .arg(bytes)
        .arg(QDir::toNativeSeparators(path));
}

} // namespace tgw

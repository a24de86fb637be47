#include "view/code_viewer.h"

#include "base/codepage.h"
#include "base/replacing_file.h"

#include <QApplication>
#include <QClipboard>
#include <QDialogButtonBox>
#include <QFileDialog>
#include <QFontDatabase>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QProcess>
#include <QPushButton>
#include <QVBoxLayout>

namespace tgw {

CCodeViewer::CCodeViewer(std::string code, const QString& suffix, QWidget* parent, bool utf8)
    : QDialog(parent), m_code(std::move(code)), m_suffix(suffix), m_text(new QPlainTextEdit(this)) {
    setWindowTitle(tr("代码预览"));
    m_text->setReadOnly(true);
    m_text->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
    m_text->setLineWrapMode(QPlainTextEdit::NoWrap);
    QString shown =
        utf8 ? QString::fromStdString(m_code) : QString::fromStdU16String(fromCp936(m_code));
    m_text->setPlainText(shown.replace("\r\n", "\n"));

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Close, this);
    QPushButton* copy = buttons->addButton(tr("复制全部"), QDialogButtonBox::ActionRole);
    QPushButton* save = buttons->addButton(tr("另存为..."), QDialogButtonBox::ActionRole);
    connect(copy, &QPushButton::clicked, this,
            [this] { QApplication::clipboard()->setText(m_text->toPlainText()); });
    connect(save, &QPushButton::clicked, this, &CCodeViewer::saveAs);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_text);
    layout->addWidget(buttons);
    resize(720, 520);
}

QString CCodeViewer::shownText() const {
    return m_text->toPlainText();
}

QString CCodeViewer::saveTo(const QString& path) const {
    CReplacingFile file(path.toStdString());
    Status s = file.open();
    if (s)
        s = file.write(m_code);
    if (s)
        s = file.commit();
    return s ? QString() : QString::fromStdString(s.error());
}

void CCodeViewer::saveAs() {
    const bool assembler = m_suffix == "asm";
    QFileDialog dialog(this, tr("保存至..."), QString(),
                       assembler ? tr("ASM 源文件 (*.asm);;所有文件 (*.*)")
                                 : tr("C 源文件 (*.c);;所有文件 (*.*)"));
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setDefaultSuffix(m_suffix);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return;
    QString error = saveTo(dialog.selectedFiles().first());
    if (!error.isEmpty())
        QMessageBox::warning(this, tr("Tessaglyphworks 提示"),
                             tr("文件打开失败，请检查！\n\n") + error);
}

bool startViewer(const QString& command, const QString& path) {
    QStringList words = QProcess::splitCommand(command);
    if (words.isEmpty())
        return false;
    const QString program = words.takeFirst();
    words.append(path);
    return QProcess::startDetached(program, words);
}

} // namespace tgw

#include "app/add_chars_dialog.h"

#include "app/dialog_keys.h"
#include "app/messages.h"
#include "project/text_import.h"

#include <QDialogButtonBox>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace tgw {

CAddCharsDialog::CAddCharsDialog(QWidget* parent)
    : QDialog(parent), m_edit(new QPlainTextEdit(this)) {
    setWindowTitle(tr("添加单写字符"));
    auto* layout = new QVBoxLayout(this);
    auto* label = new QLabel(tr("输入待取模的字符，每个字符生成一个字模："), this);
    layout->addWidget(label);
    layout->addWidget(m_edit);
    nameControl(m_edit, label);
    tabLeaves(m_edit);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    QPushButton* import = buttons->addButton(tr("导入..."), QDialogButtonBox::ActionRole);
    connect(import, &QPushButton::clicked, this, &CAddCharsDialog::importText);
    layout->addWidget(buttons);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    acceptWithKeys(this, buttons);
    resize(420, 260);
}

QString CAddCharsDialog::text() const {
    return m_edit->toPlainText();
}

void CAddCharsDialog::importText() {
    const QString path =
        chooseOpenFile(this, tr("请指定需导入的文件..."), tr("文本文件 (*.txt);;所有文件 (*.*)"));
    if (path.isEmpty())
        return;
    EReadFailure why = EReadFailure::None;
    Result<std::u16string> text = importTextFile(path.toStdString(), &why);
    if (text) {
        m_edit->setPlainText(QString::fromStdU16String(*text));
        return;
    }
    switch (why) {
    case EReadFailure::Open:
        notice(this, tr("文件打开失败，请检查后重试！"));
        break;
    case EReadFailure::TooLarge:
        warning(this, tr("文件过大（超过 %1 MB），无法导入！").arg(kMaxImportBytes >> 20));
        break;
    default:
        warning(this, tr("文件读取失败，请检查后重试！"));
        break;
    }
}

} // namespace tgw

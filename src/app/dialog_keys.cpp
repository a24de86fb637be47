#include "app/dialog_keys.h"

#include <QCoreApplication>
#include <QDialog>
#include <QDialogButtonBox>
#include <QKeyEvent>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRegularExpression>
#include <QShortcut>

namespace tgw {
namespace {

// Types a tab for Ctrl+Tab in a box whose plain Tab moves on, and leaves Ctrl+Return to the
// dialog's shortcut.
class CTabTyper : public QObject {
public:
    using QObject::QObject;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        // Ctrl+Return is the dialog's, though a text box would take it as a line break.
        if (event->type() == QEvent::ShortcutOverride) {
            auto* key = static_cast<QKeyEvent*>(event);
            const auto mods = key->modifiers() & ~Qt::KeypadModifier;
            if (mods == Qt::ControlModifier &&
                (key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter)) {
                event->ignore();
                return true;
            }
            return false;
        }
        if (event->type() != QEvent::KeyPress)
            return false;
        auto* key = static_cast<QKeyEvent*>(event);
        if (key->key() != Qt::Key_Tab || key->modifiers() != Qt::ControlModifier)
            return false;
        static_cast<QPlainTextEdit*>(watched)->insertPlainText(QStringLiteral("\t"));
        return true;
    }
};

} // namespace

void acceptWithKeys(QDialog* dialog, QDialogButtonBox* buttons) {
    for (QKeySequence key :
         {QKeySequence(Qt::CTRL | Qt::Key_Return), QKeySequence(Qt::CTRL | Qt::Key_Enter),
          QKeySequence(QKeyCombination(Qt::ControlModifier | Qt::KeypadModifier, Qt::Key_Enter))}) {
        auto* shortcut = new QShortcut(key, dialog);
        shortcut->setContext(Qt::WidgetWithChildrenShortcut);
        QObject::connect(shortcut, &QShortcut::activated, dialog, [dialog, buttons] {
            QPushButton* ok = buttons ? buttons->button(QDialogButtonBox::Ok) : nullptr;
            if (ok && ok->isEnabled())
                ok->click();
            else if (!ok)
                dialog->accept();
        });
    }
    if (QPushButton* ok = buttons ? buttons->button(QDialogButtonBox::Ok) : nullptr)
        ok->setText(QCoreApplication::translate("tgw::DialogKeys", "确定 (&O)"));
}

void tabLeaves(QPlainTextEdit* edit) {
    edit->setTabChangesFocus(true);
    edit->installEventFilter(new CTabTyper(edit));
}

void nameControl(QWidget* control, QLabel* label, const QString& name) {
    QString text = name;
    if (text.isEmpty() && label) {
        text = label->text();
        text.remove(QRegularExpression(QStringLiteral("\\s*\\(&.\\)"))).remove('&');
        while (text.endsWith(u'：') || text.endsWith(u':'))
            text.chop(1);
        text = text.trimmed();
    }
    if (label)
        label->setBuddy(control);
    control->setAccessibleName(text);
}

void tabChain(std::initializer_list<QWidget*> controls) {
    QWidget* previous = nullptr;
    for (QWidget* w : controls) {
        if (previous)
            QWidget::setTabOrder(previous, w);
        previous = w;
    }
}

} // namespace tgw

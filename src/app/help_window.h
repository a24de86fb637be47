#pragma once

#include <QDialog>

class QTextBrowser;

namespace tgw {

// "使用说明": the program's help page.
class CHelpWindow : public QDialog {
    Q_OBJECT

public:
    explicit CHelpWindow(QWidget* parent = nullptr);
    QTextBrowser* browser() const { return m_browser; }

private:
    QTextBrowser* m_browser;
};

} // namespace tgw

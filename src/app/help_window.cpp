#include "app/help_window.h"

#include "app/language.h"

#include <QTextBrowser>
#include <QVBoxLayout>

namespace tgw {

CHelpWindow::CHelpWindow(QWidget* parent) : QDialog(parent), m_browser(new QTextBrowser(this)) {
    setWindowTitle(tr("使用说明"));
    m_browser->setOpenExternalLinks(true);
    m_browser->setSource(QUrl(currentLanguage() == QLatin1String("en") ? "qrc:/help/help_en.html"
                                                                       : "qrc:/help/help.html"));
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(m_browser);
    resize(760, 640);
}

} // namespace tgw

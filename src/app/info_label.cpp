#include "app/info_label.h"

#include <QPainter>

namespace tgw {

CInfoLabel::CInfoLabel(QWidget* parent) : QFrame(parent) {
    setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Preferred);
}

void CInfoLabel::setText(const QString& text) {
    if (text == m_text)
        return;
    m_text = text;
    setToolTip(text);
    update();
}

QString CInfoLabel::shownText() const {
    return fontMetrics().elidedText(m_text, Qt::ElideRight, contentsRect().width());
}

QSize CInfoLabel::sizeHint() const {
    // A modest width whatever the text: the tool bar gives the rest through the size policy.
    return {fontMetrics().averageCharWidth() * 20, fontMetrics().height() + 4};
}

QSize CInfoLabel::minimumSizeHint() const {
    return {fontMetrics().averageCharWidth() * 4, fontMetrics().height() + 4};
}

void CInfoLabel::paintEvent(QPaintEvent* event) {
    QFrame::paintEvent(event);
    QPainter p(this);
    p.setPen(palette().color(QPalette::WindowText));
    p.drawText(contentsRect(), Qt::AlignLeft | Qt::AlignVCenter, shownText());
}

} // namespace tgw

#include "view/byte_order_view.h"

#include "codegen/byte_map.h"

#include <QPainter>

#include <algorithm>

namespace tgw {
namespace {

// Neighbouring bytes get clearly different pale tints: the hue steps by the golden angle.
QColor byteTint(int byte) {
    return QColor::fromHsv(int((byte * 137.508)) % 360, 70, 245);
}

} // namespace

CByteOrderView::CByteOrderView(QWidget* parent) : QWidget(parent) {
    setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Expanding);
}

void CByteOrderView::setMatrixSize(int width, int height) {
    m_width = std::clamp(width, 1, kMaxMatrixSide);
    m_height = std::clamp(height, 1, kMaxMatrixSide);
    update();
}

void CByteOrderView::setOrders(int dotOrder, int byteOrder) {
    m_dotOrder = dotOrder;
    m_byteOrder = byteOrder;
    update();
}

void CByteOrderView::setSample(const CDotMatrix& sample) {
    m_sample = sample;
    if (!sample.empty())
        setMatrixSize(sample.width(), sample.height());
    update();
}

QSize CByteOrderView::sizeHint() const {
    return {260, 200};
}

QSize CByteOrderView::minimumSizeHint() const {
    return {160, 140};
}

void CByteOrderView::paintEvent(QPaintEvent*) {
    QPainter p(this);
    p.fillRect(rect(), palette().base());
    const int cols = std::min(m_width, kMaxShown), rows = std::min(m_height, kMaxShown);
    const int cell = std::max(4, std::min((width() - 2) / cols, (height() - 2) / rows));
    const int left = (width() - cell * cols) / 2, top = (height() - cell * rows) / 2;
    QFont font = p.font();
    font.setPixelSize(std::max(6, cell * 5 / 12));
    p.setFont(font);
    const QColor line = palette().color(QPalette::Mid);

    for (int y = 0; y < rows; ++y)
        for (int x = 0; x < cols; ++x) {
            const CDotPlace place = dotPlace(m_width, m_height, m_dotOrder, m_byteOrder, x, y);
            const QRect r(left + x * cell, top + y * cell, cell, cell);
            p.fillRect(r, byteTint(place.byte));
            if (!m_sample.empty() && m_sample.lit(y, x)) {
                p.setPen(Qt::NoPen);
                p.setBrush(QColor(60, 60, 60));
                p.drawEllipse(r.adjusted(cell / 5, cell / 5, -cell / 5, -cell / 5));
            }
            if (place.bit == 7) {
                // The high bit: a dark triangle in the top-right corner.
                const int m = std::max(3, cell / 3);
                const QPoint corner = r.topRight() + QPoint(1, 0);
                const QPoint tri[3] = {corner, corner - QPoint(m, 0), corner + QPoint(0, m)};
                p.setPen(Qt::NoPen);
                p.setBrush(QColor(170, 20, 20));
                p.drawPolygon(tri, 3);
            }
            // The byte's number in its first dot: no neighbour of the same byte above or left.
            const bool first =
                !(x > 0 && dotPlace(m_width, m_height, m_dotOrder, m_byteOrder, x - 1, y).byte ==
                               place.byte) &&
                !(y > 0 && dotPlace(m_width, m_height, m_dotOrder, m_byteOrder, x, y - 1).byte ==
                               place.byte);
            if (first && cell >= 8) {
                p.setPen(Qt::black);
                p.drawText(r, Qt::AlignCenter, QString::number(place.byte));
            }
        }
    // Lines between dots of different bytes are drawn strong, within a byte faint.
    for (int y = 0; y < rows; ++y)
        for (int x = 0; x < cols; ++x) {
            const int b = dotPlace(m_width, m_height, m_dotOrder, m_byteOrder, x, y).byte;
            const int x0 = left + x * cell, y0 = top + y * cell;
            const bool rightDiffers =
                x + 1 >= cols ||
                dotPlace(m_width, m_height, m_dotOrder, m_byteOrder, x + 1, y).byte != b;
            const bool belowDiffers =
                y + 1 >= rows ||
                dotPlace(m_width, m_height, m_dotOrder, m_byteOrder, x, y + 1).byte != b;
            p.setPen(QPen(rightDiffers ? Qt::black : line, rightDiffers ? 2 : 1));
            p.drawLine(x0 + cell, y0, x0 + cell, y0 + cell);
            p.setPen(QPen(belowDiffers ? Qt::black : line, belowDiffers ? 2 : 1));
            p.drawLine(x0, y0 + cell, x0 + cell, y0 + cell);
        }
    p.setPen(QPen(Qt::black, 2));
    p.setBrush(Qt::NoBrush);
    p.drawRect(left, top, cell * cols, cell * rows);
}

} // namespace tgw

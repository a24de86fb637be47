#pragma once

#include "model/dot_matrix.h"

#include <QWidget>

namespace tgw {

// A drawing of which dots make byte 0, 1, 2 … of a matrix under a dot order and a byte order:
// the dots of one byte share a tint, the byte's number stands in its first dot, and the dot of
// its high bit (bit 7) has a dark corner mark. At most kMaxShown dots a side are drawn (the top
// left corner of a larger matrix, numbered as in the whole matrix). Lit dots of a sample glyph,
// when one is given, are drawn as dark discs.
class CByteOrderView : public QWidget {
    Q_OBJECT

public:
    static constexpr int kMaxShown = 32;

    explicit CByteOrderView(QWidget* parent = nullptr);

    void setMatrixSize(int width, int height);
    void setOrders(int dotOrder, int byteOrder);
    // A glyph to show in the grid; an empty matrix shows the bare grid. The drawing takes the
    // glyph's size.
    void setSample(const CDotMatrix& sample);

    int dotOrder() const { return m_dotOrder; }
    int byteOrder() const { return m_byteOrder; }

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    int m_width = 8, m_height = 8;
    int m_dotOrder = 0, m_byteOrder = 0;
    CDotMatrix m_sample;
};

} // namespace tgw

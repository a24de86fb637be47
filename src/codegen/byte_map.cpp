#include "codegen/byte_map.h"

#include "codegen/matrix_packing.h"

#include <algorithm>
#include <cstdio>

namespace tgw {

CDotPlace dotPlace(int width, int height, int dotOrder, int byteOrder, int x, int y, int depth) {
    if (dotOrder < 0 || dotOrder > 3)
        dotOrder = 0;
    if (byteOrder < 0 || byteOrder > 7)
        byteOrder = 0;
    if (depth != 2 && depth != 4 && depth != 8)
        depth = 1;
    const CPackedLayout layout = packedLayout(width, height, dotOrder, depth);
    const int perByte = 8 / depth;
    // The byte orders as the encoder walks them: 4..7 by byte columns; 1, 3, 6, 7 bottom-up;
    // 2, 3, 5, 7 right to left.
    const bool byColumns = byteOrder >= 4;
    const bool bottomUp = byteOrder == 1 || byteOrder == 3 || byteOrder == 6 || byteOrder == 7;
    const bool rightToLeft = byteOrder == 2 || byteOrder == 3 || byteOrder == 5 || byteOrder == 7;
    int row, col, pos;
    if (dotOrder >= 2)
        row = y / perByte, col = x, pos = y % perByte;
    else
        row = y, col = x / perByte, pos = x % perByte;
    const int i = bottomUp ? layout.rows - 1 - row : row;
    const int j = rightToLeft ? layout.columns - 1 - col : col;
    CDotPlace p;
    p.byte = byColumns ? j * layout.rows + i : i * layout.columns + j;
    p.bit = dotOrder == 0 || dotOrder == 2 ? 7 - pos * depth : pos * depth + depth - 1;
    p.bits = depth;
    return p;
}

CByteMap::CByteMap(int width, int height, int dotOrder, int byteOrder, int depth)
    : m_width(std::max(width, 0)), m_height(std::max(height, 0)),
      m_dotOrder(dotOrder >= 0 && dotOrder <= 3 ? dotOrder : 0),
      m_byteOrder(byteOrder >= 0 && byteOrder <= 7 ? byteOrder : 0),
      m_depth(depth == 2 || depth == 4 || depth == 8 ? depth : 1) {
    m_bytes = int(packedLayout(m_width, m_height, m_dotOrder, m_depth).size());
    m_places.resize(size_t(m_width) * size_t(m_height));
    for (int y = 0; y < m_height; ++y)
        for (int x = 0; x < m_width; ++x)
            m_places[size_t(y) * size_t(m_width) + size_t(x)] =
                dotPlace(m_width, m_height, m_dotOrder, m_byteOrder, x, y, m_depth);
}

bool CByteMap::isFirstDotOfByte(int x, int y) const {
    const int b = at(x, y).byte;
    // Bytes hold a run of one row or one column, so the first dot is the one with no
    // neighbour of the same byte above or to the left.
    return !(x > 0 && at(x - 1, y).byte == b) && !(y > 0 && at(x, y - 1).byte == b);
}

std::string CByteMap::text() const {
    char buf[64];
    std::snprintf(buf, sizeof buf, "%dx%d, dot order %d, byte order %d: %d bytes\n", m_width,
                  m_height, m_dotOrder, m_byteOrder, m_bytes);
    std::string out = buf;
    if (m_depth > 1) {
        out += std::to_string(m_depth) +
               " bits a dot: byte.high-low are the bits of the dot's level\n";
    }
    const int digits = int(std::to_string(std::max(m_bytes - 1, 0)).size());
    const int cell = digits + (m_depth > 1 ? 5 : 3); // " byte.bit" or " byte.high-low"
    const int label = int(std::to_string(std::max(m_height - 1, 0)).size()) + 1;
    out.append(size_t(label), ' ');
    for (int x = 0; x < m_width; ++x) {
        std::snprintf(buf, sizeof buf, "%*s", cell, ("x" + std::to_string(x)).c_str());
        out += buf;
    }
    out += '\n';
    for (int y = 0; y < m_height; ++y) {
        std::snprintf(buf, sizeof buf, "%-*s", label, ("y" + std::to_string(y)).c_str());
        out += buf;
        for (int x = 0; x < m_width; ++x) {
            const CDotPlace p = at(x, y);
            if (m_depth > 1)
                std::snprintf(buf, sizeof buf, " %*d.%d-%d", digits, p.byte, p.bit,
                              p.bit - m_depth + 1);
            else
                std::snprintf(buf, sizeof buf, " %*d.%d", digits, p.byte, p.bit);
            out += buf;
        }
        out += '\n';
    }
    return out;
}

} // namespace tgw

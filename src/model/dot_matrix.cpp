#include "model/dot_matrix.h"

#include <algorithm>

namespace tgw {

int CDotMatrix::litCount() const {
    return int(std::count_if(m_dots.begin(), m_dots.end(), [](uint8_t d) { return d != 0; }));
}

void CDotMatrix::clear() {
    std::fill(m_dots.begin(), m_dots.end(), 0);
}

CDotMatrix CDotMatrix::atDepth(int depth) const {
    if (depth == m_depth)
        return *this;
    CDotMatrix out(m_width, m_height, depth);
    const unsigned from = maxLevel(), to = maxLevelOf(depth);
    uint8_t table[256];
    for (unsigned v = 0; v <= from; ++v)
        table[v] = uint8_t((v * to + from / 2) / from);
    std::transform(m_dots.begin(), m_dots.end(), out.m_dots.begin(),
                   [&](uint8_t d) { return table[d]; });
    return out;
}

} // namespace tgw

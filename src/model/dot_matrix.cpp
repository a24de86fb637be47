#include "model/dot_matrix.h"

#include <algorithm>

namespace tgw {

int CDotMatrix::litCount() const {
    return int(std::count_if(m_dots.begin(), m_dots.end(), [](uint8_t d) { return d != 0; }));
}

void CDotMatrix::clear() {
    std::fill(m_dots.begin(), m_dots.end(), 0);
}

} // namespace tgw

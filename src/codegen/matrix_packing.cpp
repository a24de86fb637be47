#include "codegen/matrix_packing.h"

#include <algorithm>
#include <bit>
#include <cstring>

namespace tgw {

CPackedLayout packedLayout(int width, int height, int dotOrder, int depth) {
    if (width <= 0 || height <= 0)
        return {};
    if (dotOrder == 2 || dotOrder == 3)
        return {(height * depth + 7) / 8, width};
    return {height, (width * depth + 7) / 8};
}

namespace {

// Grey levels in fields of `depth` bits, 8 / depth dots a byte, walked as the one-bit orders
// walk their bits: the first dot of a row (orders 0, 1) or of a column (2, 3) in the highest
// field for orders 0 and 2, in the lowest for 1 and 3.
std::vector<uint8_t> packLevels(const CDotMatrix& m, int dotOrder) {
    const int depth = m.depth();
    const CPackedLayout layout = packedLayout(m.width(), m.height(), dotOrder, depth);
    std::vector<uint8_t> packed(layout.size(), 0);
    const int perByte = 8 / depth;
    const bool highFirst = dotOrder == 0 || dotOrder == 2;
    const bool columns = dotOrder == 2 || dotOrder == 3;
    for (int r = 0; r < m.height(); ++r) {
        const uint8_t* dots = m.row(r);
        for (int c = 0; c < m.width(); ++c) {
            const int along = columns ? r : c; // the dot's place in its row or column
            const int slot = along % perByte;
            const int shift = highFirst ? 8 - depth * (slot + 1) : depth * slot;
            const size_t at = columns
                                  ? size_t(along / perByte) * size_t(layout.columns) + size_t(c)
                                  : size_t(r) * size_t(layout.columns) + size_t(along / perByte);
            packed[at] = uint8_t(packed[at] | (dots[c] << shift));
        }
    }
    return packed;
}

} // namespace

namespace {

// Eight dots from `dots` (fewer at the end of a row: the rest count as dark), as a byte in
// each of eight lanes: 1 where the dot is lit (any level above 0), 0 where it is dark. The lane
// of the first dot is the lowest byte.
uint64_t litLanes(const uint8_t* dots, int n) {
    uint64_t v = 0;
    if (n == 8) {
        std::memcpy(&v, dots, 8);
        if constexpr (std::endian::native == std::endian::big)
            v = __builtin_bswap64(v);
    } else {
        for (int k = 0; k < n; ++k)
            v |= uint64_t(dots[k]) << (8 * k);
    }
    constexpr uint64_t low7 = 0x7F7F7F7F7F7F7F7Fu;
    // The top bit of a lane is set when the lane is not 0.
    const uint64_t top = (((v & low7) + low7) | v) & ~low7;
    return top >> 7;
}

} // namespace

std::vector<uint8_t> packMatrix(const CDotMatrix& m, int dotOrder) {
    if (m.grey())
        return packLevels(m, dotOrder);
    const CPackedLayout layout = packedLayout(m.width(), m.height(), dotOrder);
    std::vector<uint8_t> packed(layout.size(), 0);
    const int w = m.width();
    const bool columns = dotOrder == 2 || dotOrder == 3;
    // Eight dots at a time: a row order gathers the eight lanes of litLanes() into the bits of
    // one byte by a multiplication (each lane's bit lands in its own place of the top byte,
    // no two products overlap); a column order shifts them to the row's bit and ors them into
    // eight bytes at once.
    for (int r = 0; r < m.height(); ++r) {
        const uint8_t* dots = m.row(r);
        if (columns) {
            uint8_t* out = packed.data() + size_t(r >> 3) * layout.columns;
            const int shift = dotOrder == 2 ? 7 - (r & 7) : r & 7;
            for (int c0 = 0; c0 < w; c0 += 8) {
                const int n = std::min(8, w - c0);
                const uint64_t bits = litLanes(dots + c0, n) << shift;
                if (n == 8 && std::endian::native == std::endian::little) {
                    uint64_t bytes;
                    std::memcpy(&bytes, out + c0, 8);
                    bytes |= bits;
                    std::memcpy(out + c0, &bytes, 8);
                    continue;
                }
                for (int k = 0; k < n; ++k)
                    out[c0 + k] |= uint8_t(bits >> (8 * k));
            }
            continue;
        }
        // The first dot in bit 7 (order 0) or in bit 0 (order 1).
        const uint64_t gather = dotOrder == 1 ? 0x0102040810204080u : 0x8040201008040201u;
        uint8_t* out = packed.data() + size_t(r) * layout.columns;
        for (int c0 = 0; c0 < w; c0 += 8)
            out[c0 >> 3] = uint8_t((litLanes(dots + c0, std::min(8, w - c0)) * gather) >> 56);
    }
    return packed;
}

void appendInByteOrder(const uint8_t* packed, CPackedLayout layout, int byteOrder,
                       std::vector<uint8_t>& out) {
    const size_t rows = size_t(layout.rows), cols = size_t(layout.columns);
    const size_t first = out.size();
    out.resize(first + rows * cols);
    uint8_t* dst = out.data() + first;
    if (byteOrder < 1 || byteOrder > 7) {
        std::copy(packed, packed + rows * cols, dst);
        return;
    }
    const bool byColumns = byteOrder >= 4;
    bool bottomUp, rightToLeft;
    switch (byteOrder) {
    case 1:
        bottomUp = true, rightToLeft = false;
        break;
    case 2:
        bottomUp = false, rightToLeft = true;
        break;
    case 3:
        bottomUp = true, rightToLeft = true;
        break;
    case 5:
        bottomUp = false, rightToLeft = true;
        break;
    case 6:
        bottomUp = true, rightToLeft = false;
        break;
    case 7:
        bottomUp = true, rightToLeft = true;
        break;
    default:
        bottomUp = false, rightToLeft = false;
        break; // 4
    }
    auto rowAt = [&](size_t i) { return bottomUp ? rows - 1 - i : i; };
    auto colAt = [&](size_t j) { return rightToLeft ? cols - 1 - j : j; };
    if (byColumns) {
        for (size_t j = 0; j < cols; ++j)
            for (size_t i = 0; i < rows; ++i)
                *dst++ = packed[rowAt(i) * cols + colAt(j)];
    } else {
        for (size_t i = 0; i < rows; ++i)
            for (size_t j = 0; j < cols; ++j)
                *dst++ = packed[rowAt(i) * cols + colAt(j)];
    }
}

std::vector<uint8_t> encodeMatrix(const CDotMatrix& matrix, int dotOrder, int byteOrder) {
    std::vector<uint8_t> packed = packMatrix(matrix, dotOrder);
    if (byteOrder == 0)
        return packed;
    std::vector<uint8_t> out;
    out.reserve(packed.size());
    appendInByteOrder(packed.data(),
                      packedLayout(matrix.width(), matrix.height(), dotOrder, matrix.depth()),
                      byteOrder, out);
    return out;
}

} // namespace tgw

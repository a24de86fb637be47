#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace tgw {

// Where each dot of a width × height matrix ends up in the encoded bytes: byte index and bit
// (7 the high bit). The drawing in the code-format dialog and `tgw explain` both show this.
// At 2, 4 or 8 bits a dot, `bit` is the highest bit of the dot's field.
struct CDotPlace {
    int byte = 0;
    int bit = 0;
    int bits = 1; // the field's width
};

// The place of the dot at column x, row y of a width × height matrix, without a whole map
// (a drawing of a corner of a large matrix needs only a few).
CDotPlace dotPlace(int width, int height, int dotOrder, int byteOrder, int x, int y, int depth = 1);

class CByteMap {
public:
    // The map for 1..2048 dots a side and orders in their ranges (others are taken as 0, as
    // the encoder takes them).
    CByteMap(int width, int height, int dotOrder, int byteOrder, int depth = 1);

    int width() const { return m_width; }
    int height() const { return m_height; }
    int byteCount() const { return m_bytes; }
    CDotPlace at(int x, int y) const { return m_places[size_t(y) * size_t(m_width) + size_t(x)]; }
    // The dot that holds the first bit of a byte met in reading order (top row first, left to
    // right): where a drawing writes the byte's number.
    bool isFirstDotOfByte(int x, int y) const;

    // The map as text a user can paste: a header line, then one line per dot row with
    // "byte.bit" for every dot.
    //   16x8, dot order 3, byte order 0: 16 bytes
    //         x0   x1   x2 ...
    //   y0   0.0  1.0  2.0 ...
    //   y1   0.1  1.1  2.1 ...
    std::string text() const;

private:
    int m_width, m_height, m_dotOrder, m_byteOrder, m_depth, m_bytes = 0;
    std::vector<CDotPlace> m_places;
};

} // namespace tgw

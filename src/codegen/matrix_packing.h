#pragma once

#include "model/dot_matrix.h"

#include <cstddef>
#include <cstdint>
#include <vector>

namespace tgw {

// Dot orders (POINTSSEQ): which dot lands in which bit.
//   0 rows, leftmost dot in bit 7     1 rows, leftmost dot in bit 0
//   2 columns, top dot in bit 7       3 columns, top dot in bit 0
// Rows orders pack each dot row into (W + 7) / 8 bytes; column orders pack each group of eight
// dot rows into W bytes. Unused bits are 0.
//
// 'F' in an 8 × 8 matrix (row 7 blank):
//   XXXXX...   row 0 -> 0xF8 in dot order 0, 0x1F in dot order 1
//   X.......   row 1 -> 0x80 in dot order 0, 0x01 in dot order 1
//   X.......
//   XXXX....   column 0 (rows 0..6 lit)   -> 0xFE in dot order 2, 0x7F in dot order 3
//   X.......   column 1 (rows 0 and 3 lit) -> 0x90 in dot order 2, 0x09 in dot order 3
//   X.......
//   X.......
//   ........
//
// Byte orders (BYTESSEQ) then walk the packed bytes, seen as byte rows × byte columns:
//   0 rows top-down, each left to right     4 columns left-right, each top-down
//   1 rows bottom-up, each left to right    5 columns right-left, each top-down
//   2 rows top-down, each right to left     6 columns left-right, each bottom-up
//   3 rows bottom-up, each right to left    7 columns right-left, each bottom-up

// The packed layout of a width × height matrix in a dot order.
struct CPackedLayout {
    int rows = 0;    // byte rows
    int columns = 0; // bytes per byte row
    size_t size() const { return size_t(rows) * size_t(columns); }
};

CPackedLayout packedLayout(int width, int height, int dotOrder);

// The matrix packed in `dotOrder`, byte rows top to bottom, each left to right.
std::vector<uint8_t> packMatrix(const CDotMatrix& matrix, int dotOrder);

// `packed` (in `layout`) appended to `out` in `byteOrder`.
void appendInByteOrder(const uint8_t* packed, CPackedLayout layout, int byteOrder,
                       std::vector<uint8_t>& out);

// Packing and byte order in one: the bytes an entry contributes to code text and binary files.
std::vector<uint8_t> encodeMatrix(const CDotMatrix& matrix, int dotOrder, int byteOrder);

} // namespace tgw

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

//
// Grey matrices (2, 4 or 8 bits a dot) pack fields of that many bits instead of bits, 8 / depth
// dots a byte, in the same direction: orders 0 and 2 put the first dot of a row or column in the
// highest field (at 4 bits, order 0 puts the left dot in the high nibble), orders 1 and 3 in the
// lowest. A field never straddles a byte; a row (orders 0, 1) takes (W × depth + 7) / 8 bytes,
// a group of 8 / depth dot rows (orders 2, 3) one byte row of W bytes.

// The packed layout of a width × height matrix in a dot order.
struct CPackedLayout {
    int rows = 0;    // byte rows
    int columns = 0; // bytes per byte row
    size_t size() const { return size_t(rows) * size_t(columns); }
};

CPackedLayout packedLayout(int width, int height, int dotOrder, int depth = 1);

// The matrix packed in `dotOrder`, byte rows top to bottom, each left to right.
std::vector<uint8_t> packMatrix(const CDotMatrix& matrix, int dotOrder);

// `packed` (in `layout`) appended to `out` in `byteOrder`.
void appendInByteOrder(const uint8_t* packed, CPackedLayout layout, int byteOrder,
                       std::vector<uint8_t>& out);

// Packing and byte order in one: the bytes an entry contributes to code text and binary files.
std::vector<uint8_t> encodeMatrix(const CDotMatrix& matrix, int dotOrder, int byteOrder);

} // namespace tgw

#pragma once

#include "base/output.h"
#include "base/result.h"
#include "codegen/encoding_options.h"
#include "model/glyph_entry.h"
#include "model/glyph_list.h"

#include <cstdint>
#include <span>
#include <string>

namespace tgw {

// The binary matrix file: the encoded bytes of every entry in list order, optionally behind an
// index of 4 + 10 × n bytes, all numbers big-endian:
//   0        4  n, the number of entries
//   4 + 10k  2  code of entry k (see indexCode)
//   6 + 10k  2  width
//   8 + 10k  2  height
//  10 + 10k  4  offset of the entry's bytes, counted from the end of the index
// e.g. "中文" in 16 × 16 with code page 936 codes:
//   00 00 00 02  D6 D0 00 10 00 10 00 00 00 00  CE C4 00 10 00 10 00 00 00 20  <64 data bytes>
// An empty list gives no bytes at all, index or not.

// The code of an entry in the index: the UCS-2 code when `unicode`, else the code page 936
// code (0x00NN for one byte, the two bytes in order for two); 0xFFFF for an entry that is not
// a character or has no code page 936 form.
uint16_t indexCode(const CGlyphEntry& entry, bool unicode);

// The index's leading count and one record of it, appended to `out`: the only place that
// knows the index layout, for this writer and the library builder alike.
void appendIndexCount(std::string& out, uint64_t count);
void appendIndexRecord(std::string& out, uint16_t code, int width, int height, uint64_t offset);

// Writes the file of all entries, rendering those without dots. A failed entry stops the
// writing: `out` then holds a complete file (index included) of the entries before it, and
// the reason names the entry.
Status writeBinaryFile(const CGlyphList& list, const CEncodingOptions& options, bool withIndex,
                       IOutput& out);
// The same for some of the entries (the selected ones of a send), in the given order.
Status writeBinaryFile(std::span<CGlyphEntry* const> entries, const CEncodingOptions& options,
                       bool withIndex, IOutput& out);
Result<std::string> binaryFile(const CGlyphList& list, const CEncodingOptions& options,
                               bool withIndex);

} // namespace tgw

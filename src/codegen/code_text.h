#pragma once

#include "base/output.h"
#include "base/result.h"
#include "codegen/encoding_options.h"
#include "model/glyph_entry.h"
#include "model/glyph_list.h"

#include <cstdint>
#include <span>
#include <string>
#include <string_view>

namespace tgw {

// Code text is made in code page 936 with CR LF line ends (options.utf8 converts it to UTF-8
// with LF line ends as it is written, see CUtf8TextOutput): per entry the header template (its
// font placeholder expanded for character and string entries), a comment line naming the
// entry and its size, the data bytes (16 to a line) and the tail template.
//
// Text that comes from the user (a string entry's text, a picture's path, a face name) is made
// safe for the comment that carries it, so that the code always builds: see commentSafe().

// The font description of the header's placeholder, in code page 936: "GB2312 16x16点阵字库",
// "Face 字号[12点]", "Face [未指定字号]", then " 上移[-2]" / " 下移[3]" and " +粗体" … .
std::string fontDescription(const CFontSettings& font);

// `text` (code page 936) made safe inside a comment: every line break (CR LF, CR or LF) becomes
// one blank, since both comment forms must stay on their line; in C every "*/" becomes "* /",
// which would otherwise end the comment early. Anything else stays as it is.
std::string commentSafe(std::string_view text, bool assembler);

// The comment line of an entry of width × height dots (the assembler form ends in "DB ").
std::string commentLine(const CGlyphEntry& entry, int width, int height,
                        const CEncodingOptions& options);

// Appends the code text of one entry to `out`, rendering the entry first when it has no dots.
// A failed render returns its reason and leaves `out` unchanged.
Status appendEntryCode(CGlyphEntry& entry, const CEncodingOptions& options, std::string& out);

// With options.headerName (C text only) the entries' text, templates and comments included,
// becomes the initialiser of one array in a header that compiles on its own:
//   #ifndef FONT16_H / #define FONT16_H / #include <stdint.h>
//   #define FONT16_COUNT 2, and FONT16_WIDTH, FONT16_HEIGHT, FONT16_GLYPH_BYTES when every
//   entry has the same size
//   static const uint8_t font16[] = { <entries> };
//   static const uint16_t font16_codes[2]    index codes, as the binary index gives them
//   static const uint32_t font16_offsets[2]  where each entry's bytes start in font16
//   font16_widths, font16_heights and font16_sizes (bytes) instead of the defines when the
//   entries' sizes differ
// The arrays are static, so that every C file of a program may include the header.
// A header of no entries cannot be written (C has no empty array).

// The header in pieces, for a writer that makes the entries' text itself (the library
// builder): the text before the first entry's, and the text after the last one's with the
// tables of what each entry is.
struct CHeaderEntry {
    uint16_t code; // indexCode()
    uint64_t offset;
    size_t bytes;
    int width, height;
};
std::string headerOpening(const std::string& name, size_t count);
std::string headerClosing(const std::string& name, std::span<const CHeaderEntry> table);

// Whether `name` can name a C array: a letter or '_' then letters, digits and '_', at most 63
// characters, not a keyword and not reserved (a leading "__" or '_' and a capital).
bool isCIdentifier(std::string_view name);

// The code text of every entry in list order. A failed entry stops the writing: `out` then
// holds the text of the entries before it, and the reason names the entry.
Status writeCodeText(const CGlyphList& list, const CEncodingOptions& options, IOutput& out);
Result<std::string> codeText(const CGlyphList& list, const CEncodingOptions& options);

// "U+4E2D", a string entry's text or a picture's path (UTF-8), for messages.
std::string entryLabel(const CGlyphEntry& entry);

} // namespace tgw

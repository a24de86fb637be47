#pragma once

#include "codegen/byte_map.h"
#include "model/dot_matrix.h"
#include "model/settings.h"

#include <optional>
#include <string>
#include <string_view>

namespace tgw {

// Templates are kept in code page 936 and cut to this many bytes.
inline constexpr size_t kMaxTemplateBytes = 259;

// The placeholder of the header template that becomes the entry's font description.
inline constexpr std::string_view kFontPlaceholder = "%MATRIXCODE_HEAD_FONT%";

// The header that assembler text gets in place of the untouched default header.
inline constexpr std::u16string_view kAssemblerCodeHead = u"; %MATRIXCODE_HEAD_FONT%\r\n";

// How matrices become bytes and code text. A plain value: every writer takes the options it
// encodes with, so encoders on several threads never share mutable state.
struct CEncodingOptions {
    int dotOrder = 0;       // POINTSSEQ 0..3, see matrix_packing.h
    int byteOrder = 0;      // BYTESSEQ 0..7
    bool assembler = false; // LANGUAGE: 0 C text, anything else assembler text
    bool unicode = false;   // USEUNICODE: comments and the index carry the UCS-2 code
    std::string head;       // CODEHEAD in code page 936, real line breaks and tabs
    std::string tail;       // CODETAIL
    // CODEENCODING 1: C and assembler text in UTF-8 with LF line ends instead of code page 936
    // with CR LF. The text is made as always and converted as it is written.
    bool utf8 = false;
    // Not a setting: when set (a C identifier, see isCIdentifier), C text is a header that
    // compiles on its own, with the bytes of all entries in one array of this name.
    std::string headerName;
    // What a display preset does to each matrix before its dots are packed, in this order:
    // turned into the memory's orientation, mirrored left-right, inverted. All off without a
    // preset, so that the bytes are those of the orders alone.
    int rotation = 0;    // the display is mounted this many degrees clockwise: 0, 90, 180, 270
    bool mirror = false; // the memory's rows run right to left
    bool invert = false; // a set bit is the background

    // Whether the matrix is written as it is (no rotation, mirror or inversion).
    bool plain() const { return rotation == 0 && !mirror && !invert; }
    // The matrix as the memory takes it: `matrix` itself when plain(), else a changed copy
    // kept in `scratch`. Every writer of fixed-cell matrix data (code text, binary files and
    // so what is sent) packs this, not the entry's matrix.
    const CDotMatrix& prepared(const CDotMatrix& matrix, CDotMatrix& scratch) const;
    // Where dot (row, col) of a width × height matrix of `depth` bits a dot lands in the bytes
    // written for it: through prepared()'s turn and mirror, then the orders (see dotPlace() in
    // byte_map.h). Nullopt for a dot outside the matrix.
    std::optional<CDotPlace> placeOf(int width, int height, int depth, int row, int col) const;

    // Takes the code-format settings in one call. An order out of its range becomes 0; the
    // templates are converted to code page 936 (characters without a form become '?') and cut
    // to kMaxTemplateBytes without splitting a double-byte character.
    void set(int pointsSeq, int bytesSeq, int language, int useUnicode,
             std::u16string_view codeHead, std::u16string_view codeTail);

    // The code-format settings, and the display preset they name (its orders, rotation,
    // mirror and inversion); a preset name that is not known is ignored.
    static CEncodingOptions fromSettings(const CSettings& settings);
};

// `text` converted to code page 936 and cut to at most `maxBytes` on a character boundary.
std::string templateBytes(std::u16string_view text, size_t maxBytes = kMaxTemplateBytes);

} // namespace tgw

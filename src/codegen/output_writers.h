#pragma once

#include "base/output.h"
#include "base/result.h"
#include "codegen/code_text.h"
#include "codegen/encoding_options.h"
#include "model/glyph_list.h"
#include "model/proportional_glyph.h"

#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace tgw {

// COutputWriter::depths of a writer that takes 1, 2, 4 and 8 bits a dot.
inline constexpr unsigned kEveryDepth = (1u << 0) | (1u << 1) | (1u << 3) | (1u << 7);

// What a writer is given to write.
enum class EWriterInput {
    Matrices,     // the entries of a glyph list, each a whole matrix
    Proportional, // glyphs cropped to their ink, with their metrics (character sets only)
};

// How a font format that can compress its glyphs' dots does so.
enum class ECompression {
    None,
    Rle,          // run-length coded
    RleXorFilter, // each row XOR-ed with the one above, then run-length coded
};

// Choices a caller passes through to the writer; a writer ignores those it does not take.
struct CWriterOptions {
    bool withIndex = false; // the binary matrix file's index
    std::string identifier; // the proportional writers' symbol; empty: made from the font name
    bool kerning = true;    // the face's kerning, for the writers that hold it (takesKerning)
    ECompression compression = ECompression::None; // for the writers that compress
    int libraryVersion = 9; // the major version of the display library a C font is for
};

// One output format. Every front end (tgw export, tgw build, the library dialog, the export
// command) lists and looks formats up here, so a new format is one new file and one row of
// the table.
struct COutputWriter {
    const char* name;        // "c", "asm", "bin", "gfx", "metrics-c", "metrics-bin", "bdf", ...
    const char* extension;   // of the files it writes, without the dot
    const char* description; // one line for help texts
    const char* label;       // what the program's lists show (UTF-8)
    EWriterInput input;
    bool binary;     // bytes rather than text
    bool takesIndex; // CWriterOptions::withIndex means something to it

    // Exactly one of these is set, after `input`. A failure names the entry or glyph.
    Status (*writeMatrices)(const CGlyphList& list, const CEncodingOptions& encoding,
                            const CWriterOptions& options, IOutput& out) = nullptr;
    // A proportional writer writes in pieces as it goes, having checked every limit first.
    Status (*writeProportional)(const CProportionalFont& font, const CEncodingOptions& encoding,
                                const CWriterOptions& options, IOutput& out) = nullptr;
    // Proportional writers: the limits that can be checked before any glyph is drawn (the codes
    // the font will hold and its line), and those of one glyph, checked as each comes, so that a
    // font the format cannot hold fails at once. nullptr: nothing to check.
    Status (*checkFont)(std::span<const char16_t> codes, const CLineMetrics& line) = nullptr;
    Status (*checkGlyph)(const CProportionalGlyph& glyph) = nullptr;

    // The depths of dots it writes: bit d - 1 set when it takes d bits a dot (kEveryDepth: 1,
    // 2, 4 and 8); a grey entry is refused by a writer without its depth.
    unsigned depths = 1u << 0;
    // CWriterOptions::identifier (--name) names what it writes.
    bool takesName = false;
    // It holds kerning: CProportionalFont::kerning is filled for it (unless
    // CWriterOptions::kerning is off).
    bool takesKerning = false;
    // The depths at which it can compress (bit d - 1 for d bits a dot); 0: it never does.
    unsigned compressedDepths = 0;
    // A matrix writer whose named form wraps the entries' text (the C header): the text before
    // the first entry's and after the last one's, for those that put the entries' text
    // together in pieces (the library builder). nullptr: the entries' text is the whole.
    std::string (*opening)(const std::string& name, size_t count) = nullptr;
    std::string (*closing)(const std::string& name, std::span<const CHeaderEntry> table) = nullptr;
    // The file dialog's filter for the files it writes, as a text to translate (context
    // "tgw::core::writers"); nullptr: one made from the label and the extension.
    const char* saveFilter = nullptr;

    bool proportional() const { return input == EWriterInput::Proportional; }
    bool takesDepth(int bits) const {
        return bits >= 1 && bits <= 32 && (depths >> (bits - 1)) & 1;
    }
};

// Fails, saying what the writer holds, when it cannot hold `depth` bits a dot.
Status checkWriterDepth(const COutputWriter& writer, int depth);
// "1, 2, 4 or 8 bits a dot" / "1 bit a dot": the depths a writer holds, for messages and help.
std::string writerDepthsText(const COutputWriter& writer);

// The table, in the order lists show it.
const std::vector<COutputWriter>& outputWriters();
// The writer of that name, or nullptr.
const COutputWriter* findWriter(std::string_view name);
// "c, asm, bin, ..." for help texts.
std::string writerNames();

// "DejaVu Sans 12 Bold": the face, the size glyphs are drawn at and the style, or the built-in
// font's name. What a proportional font is named after (cIdentifier() makes its symbol), the
// same in tgw export, tgw build and the library dialog.
std::string proportionalFontName(const CFontSettings& font);

// The font's settings for proportional glyphs: a TrueType face at its natural width (no cell
// to squeeze into).
CFontSettings naturalWidth(CFontSettings font);

// The character entries of `list` as proportional glyphs, each in its own font at the font's
// natural width, named after the first entry's font. Fails naming an entry that is not a
// character (strings and pictures have no metrics) or that cannot be rendered, and at the first
// glyph that `writer` (when given) cannot hold.
// With `kerning`, the face's kerning between the glyphs is attached.
Result<CProportionalFont> proportionalGlyphs(const CGlyphList& list,
                                             const COutputWriter* writer = nullptr,
                                             bool kerning = false);

// Fails, saying where it can, when `writer` cannot compress as `options` ask at `depth`.
Status checkWriterChoices(const COutputWriter& writer, const CWriterOptions& options, int depth);

// The list written by `writer`, whatever its input: the one call of tgw export and the
// program's export command.
Status writeList(const COutputWriter& writer, const CGlyphList& list,
                 const CEncodingOptions& encoding, const CWriterOptions& options, IOutput& out);

// The rows of the table, each defined beside its writer.
COutputWriter cTextWriter();
COutputWriter asmTextWriter();
COutputWriter binaryMatrixWriter();
COutputWriter gfxFontWriter();
COutputWriter metricsTextWriter();
COutputWriter metricsBinaryWriter();
COutputWriter bdfFontWriter();
COutputWriter u8g2FontWriter();
COutputWriter lvglFontWriter();
COutputWriter lvglBinaryFontWriter();

// writeList() into `path` through a temporary file: on failure the file is left as it was.
Status saveList(const COutputWriter& writer, const CGlyphList& list,
                const CEncodingOptions& encoding, const CWriterOptions& options,
                const std::string& path);

// "0x3C," appended to `out`: the byte arrays of the proportional writers, made without a
// formatted print per byte.
void appendHexByte(std::string& out, uint8_t byte);

// The glyphs of `font` in code order, the first of each code only (a later one of the same code
// is dropped); pointers into `font`.
std::vector<const CProportionalGlyph*> glyphsByCode(const CProportionalFont& font);

// The font writers write their text in pieces of about this size, so that a large font is
// never held whole.
inline constexpr size_t kFlushBytes = size_t(1) << 16;

// Hands `text` to `out` and empties it once it holds kFlushBytes or more.
Status flushWhenFull(std::string& text, IOutput& out);

// The body of a C byte array appended to a text: "    0x3C, 0x66," lines of `perLine` bytes.
class CHexArrayText {
public:
    CHexArrayText(std::string& text, int perLine) : m_text(text), m_perLine(perLine) {}
    void add(uint8_t byte) {
        m_text += m_column == 0 ? "    " : " ";
        appendHexByte(m_text, byte);
        ++m_count;
        if (++m_column == m_perLine) {
            m_text += "\n";
            m_column = 0;
        }
    }
    // Ends the last line; an array of no byte gets one 0x00 when `placeholder` (a C array may
    // not be empty).
    void finish(bool placeholder) {
        if (m_column)
            m_text += "\n";
        if (placeholder && m_count == 0)
            m_text += "    0x00\n";
    }

private:
    std::string& m_text;
    int m_perLine;
    int m_column = 0;
    size_t m_count = 0;
};

// `name` made into a C identifier: letters and digits of its words joined, each word's first
// letter upper case ("DejaVu Sans 12 Bold" -> "DejaVuSans12Bold"); "Font" prefixed when it
// would begin with a digit or hold nothing.
std::string cIdentifier(std::string_view name);

} // namespace tgw

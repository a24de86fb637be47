#include "codegen/code_text.h"

#include "base/codepage.h"
#include "base/text.h"
#include "codegen/binary_file.h"
#include "codegen/matrix_packing.h"
#include "codegen/utf8_text_output.h"

#include <algorithm>
#include <cctype>
#include <set>
#include <vector>

namespace tgw {
namespace {

// The system's own words, written in code page 936.
struct CWords {
    std::string picture = toCp936(u"图像 ");
    std::string string = toCp936(u"字串 ");
    std::string sizeOpen = toCp936(u" 字号[");
    std::string sizeClose = toCp936(u"点]");
    std::string noSize = toCp936(u" [未指定字号]");
    std::string up = toCp936(u" 上移[");
    std::string down = toCp936(u" 下移[");
    std::string bold = toCp936(u" +粗体");
    std::string italic = toCp936(u" +斜体");
    std::string underline = toCp936(u" +下划线");
    std::string strikeout = toCp936(u" +删除线");
    std::string builtin[6];

    CWords() {
        for (int kind = kFontAscii5x7; kind <= kFontGb2312_16; ++kind)
            builtin[kind] = toCp936(utf8ToUtf16(builtinFontName(kind)));
    }
};

const CWords& words() {
    static const CWords w;
    return w;
}

constexpr size_t kFlushBytes = 1 << 16;

// Makes the code text of entries one after another, keeping what repeats between them.
class CCodeTextBuilder {
public:
    explicit CCodeTextBuilder(const CEncodingOptions& options) : m_options(options) {
        const std::string& head = options.head;
        size_t from = 0;
        for (size_t at; (at = head.find(kFontPlaceholder, from)) != std::string::npos;
             from = at + kFontPlaceholder.size())
            m_headPieces.push_back(std::string_view(head).substr(from, at - from));
        m_headPieces.push_back(std::string_view(head).substr(from));
    }

    // `byteCount` (when given) receives the number of data bytes of the entry.
    Status append(CGlyphEntry& entry, std::string& out, size_t* byteCount = nullptr) {
        if (Status s = entry.ensureRendered(); !s)
            return s;
        CDotMatrix scratch;
        const CDotMatrix& m = m_options.prepared(entry.matrix(), scratch);
        const std::vector<uint8_t> bytes = encodeMatrix(m, m_options.dotOrder, m_options.byteOrder);
        if (byteCount)
            *byteCount = bytes.size();
        appendHeader(entry, out);
        out += commentLine(entry, m.width(), m.height(), m_options);
        if (m.grey())
            appendLevelDrawing(m, out);
        appendData(bytes, out);
        out += m_options.tail;
        return {};
    }

private:
    void appendHeader(const CGlyphEntry& entry, std::string& out) {
        if (m_options.head.empty())
            return;
        if (m_headPieces.size() == 1 || !(entry.isCharacter() || entry.isString())) {
            out += m_options.head;
            return;
        }
        const std::string& description =
            descriptionOf(static_cast<const CFontEntry&>(entry).font());
        out += m_headPieces[0];
        for (size_t i = 1; i < m_headPieces.size(); ++i) {
            out += description;
            out += m_headPieces[i];
        }
    }

    // A grey matrix drawn in the comment, a character a level (levelChar's ramp), after the
    // entry's comment line: a C comment of its own, or assembler comment lines before the
    // "DB " that begins the data.
    void appendLevelDrawing(const CDotMatrix& m, std::string& out) const {
        const bool a = m_options.assembler;
        if (a && out.ends_with("DB "))
            out.resize(out.size() - 3);
        out += format(a ? "; %d bits a dot, levels 0-%u as \".',:;-~=+*ox%%&@#\"\r\n"
                        : "/* %d bits a dot, levels 0-%u as \".',:;-~=+*ox%%&@#\"\r\n",
                      m.depth(), unsigned(m.maxLevel()));
        for (int r = 0; r < m.height(); ++r) {
            out += a ? "; " : "   ";
            const uint8_t* row = m.row(r);
            for (int c = 0; c < m.width(); ++c)
                out += levelChar(row[c], m.depth());
            out += "\r\n";
        }
        out += a ? "DB " : "*/\r\n";
    }

    // Entries of one list mostly share their font: describe each font once.
    const std::string& descriptionOf(const CFontSettings& font) {
        if (!m_described || !(font == m_font)) {
            m_font = font;
            m_description = commentSafe(fontDescription(font), m_options.assembler);
            m_described = true;
        }
        return m_description;
    }

    // C: "0x12," each, 16 to a line, every line (the last too) ending in "," CR LF.
    // Assembler: "012H" separated by ",", a new "DB " line after each 16th.
    void appendData(const std::vector<uint8_t>& bytes, std::string& out) {
        static const char kHex[] = "0123456789ABCDEF";
        const size_t n = bytes.size();
        const size_t lines = (n + 15) / 16;
        const size_t start = out.size();
        out.resize(start + n * 5 + lines * 5);
        char* p = out.data() + start;
        for (size_t i = 0; i < n; ++i) {
            const uint8_t b = bytes[i];
            const bool last = i + 1 == n;
            const bool lineEnd = (i + 1) % 16 == 0;
            if (m_options.assembler) {
                *p++ = '0';
                *p++ = kHex[b >> 4];
                *p++ = kHex[b & 15];
                *p++ = 'H';
                if (last) {
                    *p++ = '\r';
                    *p++ = '\n';
                } else if (lineEnd) {
                    *p++ = '\r';
                    *p++ = '\n';
                    *p++ = 'D';
                    *p++ = 'B';
                    *p++ = ' ';
                } else {
                    *p++ = ',';
                }
            } else {
                *p++ = '0';
                *p++ = 'x';
                *p++ = kHex[b >> 4];
                *p++ = kHex[b & 15];
                *p++ = ',';
                if (last || lineEnd) {
                    *p++ = '\r';
                    *p++ = '\n';
                }
            }
        }
        out.resize(size_t(p - out.data()));
    }

    const CEncodingOptions& m_options;
    std::vector<std::string_view> m_headPieces;
    CFontSettings m_font;
    std::string m_description;
    bool m_described = false;
};

} // namespace

std::string fontDescription(const CFontSettings& f) {
    const CWords& w = words();
    std::string d;
    if (isBuiltinFont(f.kind)) {
        d = w.builtin[f.kind];
    } else if (f.kind == kFontTrueType) {
        // A face name may come from a font file: its control characters are dropped, but for
        // line breaks, which commentSafe() turns into blanks as it always has.
        std::u16string face = f.face;
        std::erase_if(face, [](char16_t c) {
            return c != u'\r' && c != u'\n' && (c < 0x20 || (c >= 0x7F && c <= 0x9F));
        });
        d = toCp936(face);
        if (f.size != 0)
            d += w.sizeOpen + std::to_string(f.size) + w.sizeClose;
        else
            d += w.noSize;
    }
    if (f.offset != 0)
        d += (f.offset < 0 ? w.up : w.down) + std::to_string(f.offset) + "]";
    if (f.bold)
        d += w.bold;
    if (f.italic)
        d += w.italic;
    if (f.underline)
        d += w.underline;
    if (f.strikeout)
        d += w.strikeout;
    return d;
}

std::string commentSafe(std::string_view text, bool assembler) {
    // CR, LF, '*' and '/' are bytes below 0x40, which no double-byte character of code page
    // 936 has as its trail byte, so a byte-wise scan never cuts a character.
    std::string out;
    out.reserve(text.size());
    for (size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        if (c == '\r' || c == '\n') {
            if (c == '\r' && i + 1 < text.size() && text[i + 1] == '\n')
                ++i;
            out.push_back(' ');
        } else if (!assembler && c == '*' && i + 1 < text.size() && text[i + 1] == '/') {
            out += "* ";
        } else {
            out.push_back(c);
        }
    }
    return out;
}

std::string commentLine(const CGlyphEntry& entry, int w, int h, const CEncodingOptions& o) {
    const bool a = o.assembler;
    if (entry.isCharacter()) {
        const auto& c = static_cast<const CCharEntry&>(entry);
        const CAnsiForm& ansi = c.ansi();
        // The character itself: a line break (a blank entry kept on purpose) would end the
        // comment.
        const std::string shown = commentSafe(ansi.text(), a);
        if (o.unicode)
            return a ? format("; %2s[0%04XH]  %3dx%-3d\r\nDB ", shown.c_str(), unsigned(c.code()),
                              w, h)
                     : format("/* %2s[0x%04X]  %3dx%-3d*/\r\n", shown.c_str(), unsigned(c.code()),
                              w, h);
        if (ansi.length == 0)
            return a ? format("; UCS2:0%04XH %3dx%-3d\r\nDB ", unsigned(c.code()), w, h)
                     : format("/* UCS2:0x%04X %3dx%-3d*/\r\n", unsigned(c.code()), w, h);
        // One-byte forms: ASCII, and the euro sign at 0x80.
        if (ansi.length == 1)
            return a ? format("; %2s[0%04XH]  %3dx%-3d\r\nDB ", shown.c_str(),
                              unsigned(ansi.bytes[0]), w, h)
                     : format("/* %2s[0x%04X]  %3dx%-3d*/\r\n", shown.c_str(),
                              unsigned(ansi.bytes[0]), w, h);
        return a ? format("; %2s[0%02X%02XH]  %3dx%-3d\r\nDB ", shown.c_str(), ansi.bytes[0],
                          ansi.bytes[1], w, h)
                 : format("/* %2s[0x%02X%02X]  %3dx%-3d*/\r\n", shown.c_str(), ansi.bytes[0],
                          ansi.bytes[1], w, h);
    }
    std::string line = a ? "; " : "/* ";
    if (entry.isPicture()) {
        line += words().picture;
        line += commentSafe(toCp936(static_cast<const CPictureEntry&>(entry).path()), a);
    } else {
        line += words().string;
        line += commentSafe(toCp936(static_cast<const CStringEntry&>(entry).text()), a);
    }
    line += a ? format(" %4dx%-4d\r\nDB ", w, h) : format(" %4dx%-4d*/\r\n", w, h);
    return line;
}

Status appendEntryCode(CGlyphEntry& entry, const CEncodingOptions& options, std::string& out) {
    // The render comes first, so a failure has appended nothing.
    return CCodeTextBuilder(options).append(entry, out);
}

namespace {

std::string guardOf(const std::string& name) {
    std::string guard;
    for (char c : name)
        guard.push_back(char(std::toupper(static_cast<unsigned char>(c))));
    return guard;
}

} // namespace

std::string headerOpening(const std::string& name, size_t count) {
    const std::string guard = guardOf(name);
    return "#ifndef " + guard + "_H\r\n#define " + guard + "_H\r\n\r\n#include <stdint.h>\r\n\r\n" +
           format(
               "/* Entry i has the code %s_codes[i]; its bytes start at %s[%s_offsets[i]]. */\r\n"
               "#define %s_COUNT %zu\r\n\r\n",
               name.c_str(), name.c_str(), name.c_str(), guard.c_str(), count) +
           "static const uint8_t " + name + "[] = {\r\n";
}

std::string headerClosing(const std::string& name, std::span<const CHeaderEntry> table) {
    const std::string guard = guardOf(name);
    auto array = [&](const char* type, const char* suffix, auto value) {
        std::string text =
            format("static const %s %s_%s[%zu] = {", type, name.c_str(), suffix, table.size());
        for (size_t i = 0; i < table.size(); ++i)
            text += (i % 8 ? " " : "\r\n    ") + value(table[i]) + ",";
        return text + "\r\n};\r\n";
    };
    std::string out = "};\r\n\r\n";
    out +=
        array("uint16_t", "codes", [](const CHeaderEntry& e) { return format("0x%04X", e.code); });
    out += array("uint32_t", "offsets",
                 [](const CHeaderEntry& e) { return std::to_string(e.offset); });
    const bool sameSize = std::all_of(table.begin(), table.end(), [&](const CHeaderEntry& e) {
        return e.width == table[0].width && e.height == table[0].height &&
               e.bytes == table[0].bytes;
    });
    if (sameSize) {
        out += format(
            "\r\n#define %s_WIDTH %d\r\n#define %s_HEIGHT %d\r\n#define %s_GLYPH_BYTES %zu\r\n",
            guard.c_str(), table[0].width, guard.c_str(), table[0].height, guard.c_str(),
            table[0].bytes);
    } else {
        out += array("uint16_t", "widths",
                     [](const CHeaderEntry& e) { return std::to_string(e.width); });
        out += array("uint16_t", "heights",
                     [](const CHeaderEntry& e) { return std::to_string(e.height); });
        out += array("uint32_t", "sizes",
                     [](const CHeaderEntry& e) { return std::to_string(e.bytes); });
    }
    return out + "\r\n#endif\r\n";
}

namespace {

Status writeHeader(const CGlyphList& list, const CEncodingOptions& options, IOutput& out) {
    if (options.assembler)
        return failure("an array name belongs to C text, not to assembler text");
    if (!isCIdentifier(options.headerName))
        return failure("'" + options.headerName + "' cannot name a C array");
    if (list.empty())
        return failure("a header needs at least one entry (C has no empty array)");
    std::vector<CGlyphEntry*> entries(list.size());
    for (size_t i = 0; i < list.size(); ++i)
        entries[i] = &list.at(i);

    CCodeTextBuilder builder(options);
    std::string buffer = headerOpening(options.headerName, entries.size());
    std::vector<CHeaderEntry> table;
    table.reserve(entries.size());
    uint64_t offset = 0;
    for (size_t i = 0; i < entries.size(); ++i) {
        CGlyphEntry& entry = *entries[i];
        size_t bytes = 0;
        if (Status s = builder.append(entry, buffer, &bytes); !s)
            return failure(
                format("entry %zu (%s): %s", i + 1, entryLabel(entry).c_str(), s.error().c_str()));
        if (offset > 0xFFFFFFFFu)
            return failure("the matrix data passes 4 GiB, more than the offsets can address");
        table.push_back({indexCode(entry, options.unicode), offset, bytes, entry.matrix().width(),
                         entry.matrix().height()});
        offset += bytes;
        if (buffer.size() >= kFlushBytes) {
            if (Status s = out.write(buffer); !s)
                return s;
            buffer.clear();
        }
    }
    buffer += headerClosing(options.headerName, table);
    return out.write(buffer);
}

} // namespace

bool isCIdentifier(std::string_view name) {
    static const std::set<std::string_view> kKeywords = {
        "auto",         "break",    "case",          "char",     "const",     "continue",
        "default",      "do",       "double",        "else",     "enum",      "extern",
        "float",        "for",      "goto",          "if",       "inline",    "int",
        "long",         "register", "restrict",      "return",   "short",     "signed",
        "sizeof",       "static",   "struct",        "switch",   "typedef",   "union",
        "unsigned",     "void",     "volatile",      "while",    "bool",      "true",
        "false",        "nullptr",  "alignas",       "alignof",  "constexpr", "static_assert",
        "thread_local", "typeof",   "typeof_unqual", "_Bool",    "_Complex",  "_Imaginary",
        "_Alignas",     "_Alignof", "_Atomic",       "_Generic", "_Noreturn", "_Static_assert",
        "_Thread_local"};
    if (name.empty() || name.size() > 63 || kKeywords.count(name))
        return false;
    auto letter = [](char c) {
        return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || c == '_';
    };
    if (!letter(name[0]))
        return false;
    if (name[0] == '_' && name.size() > 1 && (name[1] == '_' || (name[1] >= 'A' && name[1] <= 'Z')))
        return false;
    for (char c : name)
        if (!letter(c) && !(c >= '0' && c <= '9'))
            return false;
    return true;
}

Status writeCodeText(const CGlyphList& list, const CEncodingOptions& options, IOutput& out) {
    if (options.utf8) {
        CEncodingOptions made = options;
        made.utf8 = false;
        CUtf8TextOutput text(out);
        const Status written = writeCodeText(list, made, text);
        const Status finished = text.finish();
        return written ? finished : written;
    }
    if (!options.headerName.empty())
        return writeHeader(list, options, out);
    CCodeTextBuilder builder(options);
    std::string buffer;
    buffer.reserve(kFlushBytes * 2);
    for (size_t i = 0; i < list.size(); ++i) {
        CGlyphEntry& entry = list.at(i);
        if (Status s = builder.append(entry, buffer); !s) {
            (void)out.write(buffer);
            return failure(
                format("entry %zu (%s): %s", i + 1, entryLabel(entry).c_str(), s.error().c_str()));
        }
        if (buffer.size() >= kFlushBytes) {
            if (Status s = out.write(buffer); !s)
                return s;
            buffer.clear();
        }
    }
    return out.write(buffer);
}

Result<std::string> codeText(const CGlyphList& list, const CEncodingOptions& options) {
    CStringOutput out;
    if (Status s = writeCodeText(list, options, out); !s)
        return failure(s.error());
    return std::move(out).data();
}

std::string entryLabel(const CGlyphEntry& entry) {
    if (entry.isCharacter())
        return format("U+%04X", unsigned(static_cast<const CCharEntry&>(entry).code()));
    const std::u16string& text = entry.isString() ? static_cast<const CStringEntry&>(entry).text()
                                                  : static_cast<const CPictureEntry&>(entry).path();
    // Messages are one line.
    return commentSafe(utf16ToUtf8(text), true);
}

} // namespace tgw

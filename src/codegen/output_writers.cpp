#include "codegen/output_writers.h"
#include "base/screen_text.h"

#include "codegen/binary_file.h"
#include "codegen/code_text.h"

#include "base/replacing_file.h"
#include "base/text.h"

#include <algorithm>

namespace tgw {

COutputWriter cTextWriter() {
    COutputWriter w{.name = "c",
                    .extension = "c",
                    .description = "C code text, one matrix per entry",
                    .label = TGW_TR_NOOP("tgw::core::writers", "C 代码"),
                    .input = EWriterInput::Matrices,
                    .binary = false,
                    .takesIndex = false};
    w.writeMatrices = [](const CGlyphList& list, const CEncodingOptions& encoding,
                         const CWriterOptions& options, IOutput& out) {
        CEncodingOptions c = encoding;
        c.assembler = false;
        c.headerName = options.identifier;
        return writeCodeText(list, c, out);
    };
    w.depths = kEveryDepth;
    // Named, it is a header that compiles on its own, its tables the index of the entries.
    w.takesName = true;
    w.opening = headerOpening;
    w.closing = headerClosing;
    w.saveFilter = TGW_TR_NOOP("tgw::core::writers", "C 源文件 (*.c);;所有文件 (*.*)");
    return w;
}

COutputWriter asmTextWriter() {
    COutputWriter w{.name = "asm",
                    .extension = "asm",
                    .description = "assembler code text, one matrix per entry",
                    .label = TGW_TR_NOOP("tgw::core::writers", "ASM 代码"),
                    .input = EWriterInput::Matrices,
                    .binary = false,
                    .takesIndex = false};
    w.writeMatrices = [](const CGlyphList& list, const CEncodingOptions& encoding,
                         const CWriterOptions&, IOutput& out) {
        CEncodingOptions a = encoding;
        a.assembler = true;
        return writeCodeText(list, a, out);
    };
    w.depths = kEveryDepth;
    w.saveFilter = TGW_TR_NOOP("tgw::core::writers", "ASM 源文件 (*.asm);;所有文件 (*.*)");
    return w;
}

COutputWriter binaryMatrixWriter() {
    COutputWriter w{.name = "bin",
                    .extension = "bin",
                    .description = "binary matrix file, optionally behind an index",
                    .label = TGW_TR_NOOP("tgw::core::writers", "二进制字库"),
                    .input = EWriterInput::Matrices,
                    .binary = true,
                    .takesIndex = true};
    w.writeMatrices = [](const CGlyphList& list, const CEncodingOptions& encoding,
                         const CWriterOptions& options, IOutput& out) {
        return writeBinaryFile(list, encoding, options.withIndex, out);
    };
    w.depths = kEveryDepth;
    w.saveFilter = TGW_TR_NOOP("tgw::core::writers", "二进制文件 (*.BIN *.bin);;所有文件 (*.*)");
    return w;
}

const std::vector<COutputWriter>& outputWriters() {
    static const std::vector<COutputWriter> writers = {
        cTextWriter(),       asmTextWriter(),        binaryMatrixWriter(), gfxFontWriter(),
        metricsTextWriter(), metricsBinaryWriter(),  bdfFontWriter(),      u8g2FontWriter(),
        lvglFontWriter(),    lvglBinaryFontWriter(),
    };
    return writers;
}

const COutputWriter* findWriter(std::string_view name) {
    for (const COutputWriter& w : outputWriters())
        if (name == w.name)
            return &w;
    return nullptr;
}

std::string writerNames() {
    std::string names;
    for (const COutputWriter& w : outputWriters())
        names += (names.empty() ? "" : ", ") + std::string(w.name);
    return names;
}

std::string writerDepthsText(const COutputWriter& writer) {
    std::vector<std::string> held;
    for (int d : kDepths)
        if (writer.takesDepth(d))
            held.push_back(std::to_string(d));
    std::string text;
    for (size_t i = 0; i < held.size(); ++i)
        text += (i == 0 ? "" : i + 1 == held.size() ? " or " : ", ") + held[i];
    return text + (text == "1" ? " bit a dot" : " bits a dot");
}

Status checkWriterDepth(const COutputWriter& writer, int depth) {
    if (writer.takesDepth(depth))
        return {};
    return failure(format("the %s format holds %s, not %d bits a dot (choose --depth %s, or "
                          "another format)",
                          writer.name, writerDepthsText(writer).c_str(), depth,
                          writer.takesDepth(1) ? "1" : "another"));
}

std::string proportionalFontName(const CFontSettings& f) {
    if (isBuiltinFont(f.kind))
        return builtinFontName(f.kind);
    std::string name = utf16ToUtf8(f.face);
    name += f.fitCell ? format(" Fit%d", f.height) : format(" %d", f.size ? f.size : f.height);
    if (f.bold)
        name += " Bold";
    if (f.italic)
        name += " Italic";
    if (f.depth > 1)
        name += format(" %dbpp", f.depth);
    return name;
}

CFontSettings naturalWidth(CFontSettings font) {
    if (font.kind == kFontTrueType)
        font.width = font.height;
    return font;
}

Status checkWriterChoices(const COutputWriter& writer, const CWriterOptions& options, int depth) {
    if (options.compression == ECompression::None)
        return {};
    if (!writer.compressedDepths)
        return failure(format("the %s format is never compressed", writer.name));
    if (depth >= 1 && depth <= 32 && (writer.compressedDepths >> (depth - 1)) & 1)
        return {};
    COutputWriter held = writer;
    held.depths = writer.compressedDepths;
    return failure(format("the %s format compresses %s only, not %d bit%s a dot (leave out "
                          "--compress, or choose another --depth)",
                          writer.name, writerDepthsText(held).c_str(), depth,
                          depth == 1 ? "" : "s"));
}

Result<CProportionalFont> proportionalGlyphs(const CGlyphList& list, const COutputWriter* writer,
                                             bool kerning) {
    CProportionalFont font;
    std::vector<char16_t> codes;
    for (size_t i = 0; i < list.size(); ++i)
        if (list.at(i).isCharacter())
            codes.push_back(static_cast<const CCharEntry&>(list.at(i)).code());
    for (size_t i = 0; i < list.size(); ++i) {
        const CGlyphEntry& entry = list.at(i);
        if (!entry.isCharacter())
            return failure(format("entry %zu (%s) is not a character: only characters have the "
                                  "metrics of a proportional font",
                                  i + 1, entryLabel(entry).c_str()));
        const auto& c = static_cast<const CCharEntry&>(entry);
        const CFontSettings f = naturalWidth(c.font());
        if (writer)
            if (Status s = checkWriterDepth(*writer, f.depth); !s)
                return failure(format("entry %zu (%s): ", i + 1, entryLabel(entry).c_str()) +
                               s.error());
        if (!font.glyphs.empty() && f.depth != font.settings.depth)
            return failure(format("entry %zu (%s) has %d bits a dot where the font's first glyph "
                                  "has %d: a proportional font has one depth",
                                  i + 1, entryLabel(entry).c_str(), f.depth, font.settings.depth));
        if (font.glyphs.empty()) {
            font.name = proportionalFontName(c.font());
            font.settings = f;
        }
        CProportionalGlyph glyph;
        CLineMetrics line;
        if (Status s = list.rasteriser().renderProportional(c.code(), c.ansi(), f, glyph, line); !s)
            return failure(
                format("entry %zu (%s): %s", i + 1, entryLabel(entry).c_str(), s.error().c_str()));
        if (font.glyphs.empty()) {
            font.line = line;
            // The codes and the line are known now: a font the format cannot hold stops here.
            if (writer && writer->checkFont)
                if (Status s = writer->checkFont(codes, line); !s)
                    return failure(s.error());
        }
        if (writer && writer->checkGlyph)
            if (Status s = writer->checkGlyph(glyph); !s)
                return failure(s.error());
        font.glyphs.push_back(std::move(glyph));
    }
    if (kerning && !font.glyphs.empty()) {
        std::vector<char16_t> drawn;
        for (const CProportionalGlyph& g : font.glyphs)
            drawn.push_back(g.code);
        if (Status s = list.rasteriser().kerningPairs(drawn, font.settings, font.kerning); !s)
            return failure(s.error());
    }
    return font;
}

Status writeList(const COutputWriter& writer, const CGlyphList& list,
                 const CEncodingOptions& encoding, const CWriterOptions& options, IOutput& out) {
    if (!writer.proportional()) {
        for (size_t i = 0; i < list.size(); ++i)
            if (Status s = checkWriterDepth(writer, list.at(i).depth()); !s)
                return failure(format("entry %zu (%s): ", i + 1, entryLabel(list.at(i)).c_str()) +
                               s.error());
        return writer.writeMatrices(list, encoding, options, out);
    }
    for (size_t i = 0; i < list.size(); ++i)
        if (Status s = checkWriterChoices(writer, options, list.at(i).depth()); !s)
            return s;
    Result<CProportionalFont> font =
        proportionalGlyphs(list, &writer, writer.takesKerning && options.kerning);
    if (!font)
        return failure(font.error());
    font->identifier = options.identifier;
    return writer.writeProportional(*font, encoding, options, out);
}

Status saveList(const COutputWriter& writer, const CGlyphList& list,
                const CEncodingOptions& encoding, const CWriterOptions& options,
                const std::string& path) {
    CReplacingFile file(path);
    if (Status s = file.open(); !s)
        return s;
    if (Status s = writeList(writer, list, encoding, options, file); !s)
        return s;
    return file.commit();
}

void appendHexByte(std::string& out, uint8_t byte) {
    static const char digits[] = "0123456789ABCDEF";
    const char text[5] = {'0', 'x', digits[byte >> 4], digits[byte & 15], ','};
    out.append(text, 5);
}

std::vector<const CProportionalGlyph*> glyphsByCode(const CProportionalFont& font) {
    std::vector<const CProportionalGlyph*> glyphs;
    glyphs.reserve(font.glyphs.size());
    for (const CProportionalGlyph& g : font.glyphs)
        glyphs.push_back(&g);
    std::stable_sort(glyphs.begin(), glyphs.end(),
                     [](auto* a, auto* b) { return a->code < b->code; });
    glyphs.erase(std::unique(glyphs.begin(), glyphs.end(),
                             [](auto* a, auto* b) { return a->code == b->code; }),
                 glyphs.end());
    return glyphs;
}

Status flushWhenFull(std::string& text, IOutput& out) {
    if (text.size() < kFlushBytes)
        return {};
    Status s = out.write(text);
    text.clear();
    return s;
}

std::string cIdentifier(std::string_view name) {
    std::string id;
    bool wordStart = true;
    for (char c : name) {
        const bool letter = (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
        const bool digit = c >= '0' && c <= '9';
        if (!letter && !digit) {
            wordStart = true;
            continue;
        }
        id.push_back(wordStart && c >= 'a' && c <= 'z' ? char(c - 'a' + 'A') : c);
        wordStart = false;
    }
    if (id.empty() || (id[0] >= '0' && id[0] <= '9'))
        id = "Font" + id;
    return id;
}

} // namespace tgw

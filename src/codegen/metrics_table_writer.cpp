#include "codegen/metrics_table_writer.h"
#include "base/screen_text.h"

#include "base/text.h"
#include "codegen/matrix_packing.h"
#include "codegen/output_writers.h"

#include <algorithm>
#include <vector>

namespace tgw {
namespace {

constexpr size_t kHeadBytes = 8;
constexpr size_t kRecordBytes = 16;

void putBigEndian(std::string& out, uint64_t value, int bytes) {
    for (int shift = 8 * (bytes - 1); shift >= 0; shift -= 8)
        out.push_back(char(uint8_t(value >> shift)));
}

struct CEncodedGlyph {
    const CProportionalGlyph* glyph;
    std::vector<uint8_t> bytes;
    uint64_t offset;
};

// The glyphs sorted by code, without repeats, each encoded, with the checks both forms share.
Result<std::vector<CEncodedGlyph>> encodeGlyphs(const CProportionalFont& font,
                                                const CEncodingOptions& encoding) {
    std::vector<const CProportionalGlyph*> sorted;
    for (const CProportionalGlyph& g : font.glyphs)
        sorted.push_back(&g);
    std::stable_sort(sorted.begin(), sorted.end(),
                     [](auto* a, auto* b) { return a->code < b->code; });
    sorted.erase(std::unique(sorted.begin(), sorted.end(),
                             [](auto* a, auto* b) { return a->code == b->code; }),
                 sorted.end());
    std::vector<CEncodedGlyph> out;
    uint64_t offset = 0;
    for (const CProportionalGlyph* g : sorted) {
        if (g->xOffset < -32768 || g->xOffset > 32767 || g->yOffset < -32768 ||
            g->yOffset > 32767 || g->advance < 0 || g->advance > 0xFFFF)
            return failure(format("U+%04X is placed beyond what 16 bits hold", unsigned(g->code)));
        CEncodedGlyph e{g, {}, offset};
        if (!g->dots.empty())
            e.bytes = encodeMatrix(g->dots, encoding.dotOrder, encoding.byteOrder);
        offset += e.bytes.size();
        if (offset > 0xFFFFFFFFu)
            return failure("the glyph data passes 4 GiB, more than the table can address");
        out.push_back(std::move(e));
    }
    return out;
}

} // namespace

Result<std::string> metricsTableBinary(const CProportionalFont& font,
                                       const CEncodingOptions& encoding) {
    Result<std::vector<CEncodedGlyph>> glyphs = encodeGlyphs(font, encoding);
    if (!glyphs)
        return failure(glyphs.error());
    std::string out;
    out.reserve(kHeadBytes + kRecordBytes * glyphs->size());
    putBigEndian(out, glyphs->size(), 4);
    putBigEndian(out, uint16_t(std::clamp(font.line.lineAdvance, 0, 0xFFFF)), 2);
    putBigEndian(out, uint16_t(std::clamp(font.line.ascent, 0, 0xFFFF)), 2);
    for (const CEncodedGlyph& e : *glyphs) {
        const CProportionalGlyph& g = *e.glyph;
        putBigEndian(out, g.code, 2);
        putBigEndian(out, uint64_t(g.width()), 2);
        putBigEndian(out, uint64_t(g.height()), 2);
        putBigEndian(out, uint16_t(int16_t(g.xOffset)), 2);
        putBigEndian(out, uint16_t(int16_t(g.yOffset)), 2);
        putBigEndian(out, uint64_t(g.advance), 2);
        putBigEndian(out, e.offset, 4);
    }
    for (const CEncodedGlyph& e : *glyphs)
        out.append(reinterpret_cast<const char*>(e.bytes.data()), e.bytes.size());
    return out;
}

Result<std::string> metricsTableText(const CProportionalFont& font,
                                     const CEncodingOptions& encoding) {
    Result<std::vector<CEncodedGlyph>> glyphs = encodeGlyphs(font, encoding);
    if (!glyphs)
        return failure(glyphs.error());
    const std::string name = cIdentifier(font.name);
    std::string text = format("/* %s: %zu glyphs, line advance %d, ascent %d, dot order %d, "
                              "byte order %d */\n",
                              name.c_str(), glyphs->size(), font.line.lineAdvance, font.line.ascent,
                              encoding.dotOrder, encoding.byteOrder);
    text += "#include <stdint.h>\n\n"
            "#ifndef GLYPH_METRICS_DEFINED\n"
            "#define GLYPH_METRICS_DEFINED\n"
            "typedef struct {\n"
            "    uint16_t code;    /* UCS-2, ascending */\n"
            "    uint16_t width;   /* of the glyph's box in dots */\n"
            "    uint16_t height;\n"
            "    int16_t xOffset;  /* from the pen to the box's left column */\n"
            "    int16_t yOffset;  /* from the baseline to the box's top row, negative upwards */\n"
            "    uint16_t advance; /* how far the pen moves on */\n"
            "    uint32_t offset;  /* of the glyph's first byte in the data */\n"
            "} GlyphMetrics;\n"
            "#endif\n\n";
    text += format("const uint16_t %sCount = %zu;\nconst uint16_t %sLineAdvance = %d;\n"
                   "const uint16_t %sAscent = %d;\n\n",
                   name.c_str(), glyphs->size(), name.c_str(), font.line.lineAdvance, name.c_str(),
                   font.line.ascent);
    text += "const GlyphMetrics " + name + "Metrics[] = {\n";
    for (const CEncodedGlyph& e : *glyphs) {
        const CProportionalGlyph& g = *e.glyph;
        text += format("    {0x%04X, %3d, %3d, %4d, %4d, %3d, %6llu},\n", unsigned(g.code),
                       g.width(), g.height(), g.xOffset, g.yOffset, g.advance,
                       static_cast<unsigned long long>(e.offset));
    }
    text += "};\n\nconst uint8_t " + name + "Data[] = {\n";
    size_t column = 0, total = 0;
    for (const CEncodedGlyph& e : *glyphs)
        for (uint8_t b : e.bytes) {
            text += column == 0 ? "    " : " ";
            appendHexByte(text, b);
            ++total;
            if (++column == 12) {
                text += "\n";
                column = 0;
            }
        }
    if (column)
        text += "\n";
    if (total == 0)
        text += "    0x00\n"; // a C array may not be empty
    text += "};\n";
    return text;
}

COutputWriter metricsTextWriter() {
    COutputWriter w{"metrics-c",
                    "c",
                    "C text: cropped glyphs behind a table of their metrics",
                    TGW_TR_NOOP("tgw::core::writers", "裁剪字模与度量表（C 代码）"),
                    EWriterInput::Proportional,
                    false,
                    false};
    w.writeProportional = [](const CProportionalFont& font, const CEncodingOptions& encoding,
                             IOutput& out) -> Status {
        Result<std::string> text = metricsTableText(font, encoding);
        if (!text)
            return failure(text.error());
        return out.write(*text);
    };
    return w;
}

COutputWriter metricsBinaryWriter() {
    COutputWriter w{"metrics-bin",
                    "bin",
                    "binary file: cropped glyphs behind a table of their metrics",
                    TGW_TR_NOOP("tgw::core::writers", "裁剪字模与度量表（二进制）"),
                    EWriterInput::Proportional,
                    true,
                    false};
    w.writeProportional = [](const CProportionalFont& font, const CEncodingOptions& encoding,
                             IOutput& out) -> Status {
        Result<std::string> data = metricsTableBinary(font, encoding);
        if (!data)
            return failure(data.error());
        return out.write(*data);
    };
    return w;
}

} // namespace tgw

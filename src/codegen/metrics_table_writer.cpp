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

struct CPlacedGlyph {
    const CProportionalGlyph* glyph;
    uint64_t offset; // of its bytes in the data
    size_t bytes;
};

// The glyphs sorted by code, without repeats, each with the place of its bytes, after the checks
// both forms share. Nothing is encoded yet: the bytes are made as they are written.
Result<std::vector<CPlacedGlyph>> placeGlyphs(const CProportionalFont& font,
                                              const CEncodingOptions& encoding) {
    std::vector<const CProportionalGlyph*> sorted;
    sorted.reserve(font.glyphs.size());
    for (const CProportionalGlyph& g : font.glyphs)
        sorted.push_back(&g);
    std::stable_sort(sorted.begin(), sorted.end(),
                     [](auto* a, auto* b) { return a->code < b->code; });
    sorted.erase(std::unique(sorted.begin(), sorted.end(),
                             [](auto* a, auto* b) { return a->code == b->code; }),
                 sorted.end());
    std::vector<CPlacedGlyph> out;
    out.reserve(sorted.size());
    uint64_t offset = 0;
    for (const CProportionalGlyph* g : sorted) {
        if (Status s = checkMetricsGlyph(*g); !s)
            return failure(s.error());
        const size_t bytes =
            g->dots.empty()
                ? 0
                : packedLayout(g->width(), g->height(), encoding.dotOrder, g->dots.depth()).size();
        out.push_back({g, offset, bytes});
        offset += bytes;
        if (offset > 0xFFFFFFFFu)
            return failure("the glyph data passes 4 GiB, more than the table can address");
    }
    return out;
}

std::vector<uint8_t> glyphBytes(const CPlacedGlyph& p, const CEncodingOptions& encoding) {
    if (p.bytes == 0)
        return {};
    return encodeMatrix(p.glyph->dots.toDotMatrix(), encoding.dotOrder, encoding.byteOrder);
}

std::string identifierOf(const CProportionalFont& font) {
    return font.identifier.empty() ? cIdentifier(font.name) : font.identifier;
}

} // namespace

Status checkMetricsGlyph(const CProportionalGlyph& g) {
    if (g.xOffset < -32768 || g.xOffset > 32767 || g.yOffset < -32768 || g.yOffset > 32767 ||
        g.advance < 0 || g.advance > 0xFFFF)
        return failure(format("U+%04X is placed beyond what 16 bits hold", unsigned(g.code)));
    return {};
}

Status writeMetricsBinary(const CProportionalFont& font, const CEncodingOptions& encoding,
                          IOutput& out) {
    Result<std::vector<CPlacedGlyph>> glyphs = placeGlyphs(font, encoding);
    if (!glyphs)
        return failure(glyphs.error());
    std::string buffer;
    buffer.reserve(kHeadBytes + kRecordBytes * glyphs->size());
    // The first byte is the bits a dot less one (0 at one bit, where it always was the high byte
    // of a count that 16-bit codes keep below 65 537), then the count in three bytes.
    const int depth = font.settings.depth;
    putBigEndian(buffer, uint64_t(depth - 1) << 24 | glyphs->size(), 4);
    putBigEndian(buffer, uint16_t(std::clamp(font.line.lineAdvance, 0, 0xFFFF)), 2);
    putBigEndian(buffer, uint16_t(std::clamp(font.line.ascent, 0, 0xFFFF)), 2);
    for (const CPlacedGlyph& p : *glyphs) {
        const CProportionalGlyph& g = *p.glyph;
        putBigEndian(buffer, g.code, 2);
        putBigEndian(buffer, uint64_t(g.width()), 2);
        putBigEndian(buffer, uint64_t(g.height()), 2);
        putBigEndian(buffer, uint16_t(int16_t(g.xOffset)), 2);
        putBigEndian(buffer, uint16_t(int16_t(g.yOffset)), 2);
        putBigEndian(buffer, uint64_t(g.advance), 2);
        putBigEndian(buffer, p.offset, 4);
    }
    for (const CPlacedGlyph& p : *glyphs) {
        const std::vector<uint8_t> bytes = glyphBytes(p, encoding);
        buffer.append(reinterpret_cast<const char*>(bytes.data()), bytes.size());
        if (Status s = flushWhenFull(buffer, out); !s)
            return s;
    }
    return out.write(buffer);
}

Status writeMetricsText(const CProportionalFont& font, const CEncodingOptions& encoding,
                        IOutput& out) {
    Result<std::vector<CPlacedGlyph>> glyphs = placeGlyphs(font, encoding);
    if (!glyphs)
        return failure(glyphs.error());
    const std::string name = identifierOf(font);
    const int depth = font.settings.depth;
    std::string text = format("/* %s: %zu glyphs, line advance %d, ascent %d, dot order %d, "
                              "byte order %d",
                              name.c_str(), glyphs->size(), font.line.lineAdvance, font.line.ascent,
                              encoding.dotOrder, encoding.byteOrder);
    // Grey glyphs say their depth; one-bit fonts are written as they always were.
    text += depth > 1 ? format(", %d bits a dot */\n", depth) : std::string(" */\n");
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
    if (depth > 1)
        text += format("const uint8_t %sDepth = %d; /* bits a dot */\n\n", name.c_str(), depth);
    text += "const GlyphMetrics " + name + "Metrics[] = {\n";
    for (const CPlacedGlyph& p : *glyphs) {
        const CProportionalGlyph& g = *p.glyph;
        text += format("    {0x%04X, %3d, %3d, %4d, %4d, %3d, %6llu},\n", unsigned(g.code),
                       g.width(), g.height(), g.xOffset, g.yOffset, g.advance,
                       static_cast<unsigned long long>(p.offset));
        if (Status s = flushWhenFull(text, out); !s)
            return s;
    }
    text += "};\n\nconst uint8_t " + name + "Data[] = {\n";
    CHexArrayText array(text, 12);
    for (const CPlacedGlyph& p : *glyphs) {
        for (uint8_t b : glyphBytes(p, encoding))
            array.add(b);
        if (Status s = flushWhenFull(text, out); !s)
            return s;
    }
    array.finish(true);
    text += "};\n";
    return out.write(text);
}

Result<std::string> metricsTableBinary(const CProportionalFont& font,
                                       const CEncodingOptions& encoding) {
    CStringOutput out;
    if (Status s = writeMetricsBinary(font, encoding, out); !s)
        return failure(s.error());
    return std::move(out).data();
}

Result<std::string> metricsTableText(const CProportionalFont& font,
                                     const CEncodingOptions& encoding) {
    CStringOutput out;
    if (Status s = writeMetricsText(font, encoding, out); !s)
        return failure(s.error());
    return std::move(out).data();
}

COutputWriter metricsTextWriter() {
    COutputWriter w{.name = "metrics-c",
                    .extension = "c",
                    .description = "C text: cropped glyphs behind a table of their metrics",
                    .label = TGW_TR_NOOP("tgw::core::writers", "裁剪字模与度量表（C 代码）"),
                    .input = EWriterInput::Proportional,
                    .binary = false,
                    .takesIndex = false};
    w.writeProportional = [](const CProportionalFont& font, const CEncodingOptions& encoding,
                             const CWriterOptions&,
                             IOutput& out) { return writeMetricsText(font, encoding, out); };
    w.checkGlyph = checkMetricsGlyph;
    w.takesName = true;
    w.depths = kEveryDepth;
    return w;
}

COutputWriter metricsBinaryWriter() {
    COutputWriter w{.name = "metrics-bin",
                    .extension = "bin",
                    .description = "binary file: cropped glyphs behind a table of their metrics",
                    .label = TGW_TR_NOOP("tgw::core::writers", "裁剪字模与度量表（二进制）"),
                    .input = EWriterInput::Proportional,
                    .binary = true,
                    .takesIndex = false};
    w.writeProportional = [](const CProportionalFont& font, const CEncodingOptions& encoding,
                             const CWriterOptions&,
                             IOutput& out) { return writeMetricsBinary(font, encoding, out); };
    w.checkGlyph = checkMetricsGlyph;
    w.depths = kEveryDepth;
    return w;
}

} // namespace tgw

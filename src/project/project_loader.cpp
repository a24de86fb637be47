#include "base/text.h"
#include "project/project_file.h"

#include <pugixml.hpp>

#include <algorithm>
#include <cstring>
#include <memory>
#include <optional>

namespace tgw {
namespace {

// Attribute values are decimal integers with an optional sign and surrounding blanks. Values
// beyond any range the file may hold saturate, so that the range checks still refuse them.
std::optional<long long> parseInteger(const char* text) {
    const char* p = text;
    while (*p == ' ' || *p == '\t' || *p == '\r' || *p == '\n')
        ++p;
    bool negative = *p == '-';
    if (*p == '-' || *p == '+')
        ++p;
    if (*p < '0' || *p > '9')
        return std::nullopt;
    constexpr long long kSaturated = 1LL << 40;
    long long value = 0;
    for (; *p >= '0' && *p <= '9'; ++p)
        value = std::min(value * 10 + (*p - '0'), kSaturated);
    while (*p == ' ' || *p == '\t' || *p == '\r' || *p == '\n')
        ++p;
    if (*p)
        return std::nullopt;
    return negative ? -value : value;
}

// A value from the file as a message quotes it: on one line and not too long to read.
std::string quoted(const char* value) {
    std::string s(value, std::min<size_t>(std::strlen(value), 40));
    for (char& c : s)
        if (static_cast<unsigned char>(c) < 0x20)
            c = ' ';
    return "\"" + s + (std::strlen(value) > s.size() ? "...\"" : "\"");
}

// The cell the loader gives the built-in kinds 0..5.
constexpr int kBuiltinCell[6][2] = {{5, 7}, {5, 8}, {6, 12}, {8, 16}, {12, 12}, {16, 16}};

// Reads one `Matrix` element; every failure names the element ("entry 3: ...").
class CMatrixReader {
public:
    CMatrixReader(pugi::xml_node node, size_t index) : m_node(node), m_index(index) {}

    Status error(const std::string& what) const {
        return failure(format("entry %zu: ", m_index + 1) + what);
    }

    // A required integer attribute.
    Status required(const char* name, long long& out) const {
        pugi::xml_attribute a = m_node.attribute(name);
        if (!a)
            return error(format("the attribute '%s' is missing", name));
        std::optional<long long> v = parseInteger(a.value());
        if (!v)
            return error(
                format("the attribute '%s' is not a number: %s", name, quoted(a.value()).c_str()));
        out = *v;
        return {};
    }
    Status ranged(const char* name, long long low, long long high, long long& out) const {
        if (Status s = required(name, out); !s)
            return s;
        return checkRange(name, out, low, high);
    }
    // An optional integer attribute: `fallback` when it is missing or not a number.
    long long optional(const char* name, long long fallback) const {
        std::optional<long long> v = parseInteger(m_node.attribute(name).value());
        return v ? *v : fallback;
    }
    Status checkRange(const char* name, long long value, long long low, long long high) const {
        if (value < low || value > high)
            return error(format("%s %lld is outside %lld to %lld", name, value, low, high));
        return {};
    }
    std::u16string text(const char* name) const {
        return utf8ToUtf16(m_node.attribute(name).value());
    }

    Status font(int width, int height, CFontSettings& f) const {
        long long kind = 0;
        if (Status s = required("fonttype", kind); !s)
            return s;
        f = CFontSettings();
        if (kind >= kFontAscii5x7 && kind <= kFontGb2312_16) {
            f.kind = int(kind);
            f.width = kBuiltinCell[kind][0];
            f.height = kBuiltinCell[kind][1];
            return {};
        }
        if (kind != kFontTrueType) {
            // A kind this version does not know keeps its number and no cell: the entry shows
            // its stored dots and is written back unchanged, but cannot be rendered anew.
            f.kind = int(std::clamp<long long>(kind, INT32_MIN, INT32_MAX));
            return {};
        }
        long long bold, italic, strikeout, underline;
        for (auto [name, flag] : {std::pair{"bold", &bold},
                                  {"italic", &italic},
                                  {"strikeout", &strikeout},
                                  {"underline", &underline}})
            if (Status s = required(name, *flag); !s)
                return s;
        // The same bounds as the settings these values come from: a size or offset far outside
        // them would overflow the renderer's arithmetic when the entry is rendered again.
        long long size = optional("fontsize", 0);
        long long offset = optional("offset", 0);
        long long cellWidth = optional("fontwidth", width);
        long long cellHeight = optional("fontheight", height);
        if (Status s = checkRange("fontsize", size, 0, kMaxMatrixSide); !s)
            return s;
        if (Status s = checkRange("offset", offset, -kMaxMatrixSide, kMaxMatrixSide); !s)
            return s;
        if (Status s = checkRange("fontwidth", cellWidth, 1, kMaxMatrixSide); !s)
            return s;
        if (Status s = checkRange("fontheight", cellHeight, 1, kMaxMatrixSide); !s)
            return s;
        if (!m_node.attribute("facename"))
            return error("the attribute 'facename' is missing");
        f.kind = kFontTrueType;
        f.face = text("facename");
        f.size = int(size);
        f.width = int(cellWidth);
        f.height = int(cellHeight);
        f.bold = bold != 0;
        f.italic = italic != 0;
        f.strikeout = strikeout != 0;
        f.underline = underline != 0;
        f.offset = int(offset);
        // A font file need not exist here: loading never renders. Bytes that are not UTF-8
        // read as U+FFFD, as the writer stores them, so that the name saves as it loaded.
        f.fontFile = utf16ToUtf8(text("fontfile"));
        long long faceIndex = f.fontFile.empty() ? 0 : optional("faceindex", 0);
        if (Status s = checkRange("faceindex", faceIndex, 0, 0xFFFF); !s)
            return s;
        f.faceIndex = int(faceIndex);
        f.fileFallback = !f.fontFile.empty() && optional("filefallback", 0) != 0;
        f.fitCell = optional("fitcell", 0) != 0;
        return {};
    }

    // The optional conversion of a picture entry; absent attributes keep the defaults.
    Status pictureOptions(CPictureOptions& o) const {
        if (pugi::xml_attribute a = m_node.attribute("dither")) {
            std::optional<EPictureMethod> method = pictureMethodFromName(a.value());
            if (!method)
                return error(format("unknown dither %s", quoted(a.value()).c_str()));
            o.method = *method;
        }
        o.invert = optional("invert", 0) != 0;
        if (pugi::xml_attribute a = m_node.attribute("scale")) {
            std::optional<EPictureScale> scale = pictureScaleFromName(a.value());
            if (!scale)
                return error(format("unknown scale %s", quoted(a.value()).c_str()));
            o.scale = *scale;
            if (o.scale != EPictureScale::kKeep) {
                long long w = 0, h = 0;
                if (Status s = ranged("scalewidth", 1, kMaxMatrixSide, w); !s)
                    return s;
                if (Status s = ranged("scaleheight", 1, kMaxMatrixSide, h); !s)
                    return s;
                o.targetWidth = int(w);
                o.targetHeight = int(h);
            }
        }
        return {};
    }

    // The entry's bits a dot: 1 when the attribute is missing.
    Status depth(int& out) const {
        out = 1;
        if (!m_node.attribute("depth"))
            return {};
        long long d = 0;
        if (Status s = required("depth", d); !s)
            return s;
        if (!validDepth(d))
            return error(format("a depth of %lld bits a dot is not one this version knows (1, 2, "
                                "4 or 8)",
                                d));
        out = int(d);
        return {};
    }

    // Row j comes from the text of child j. At one bit a dot any character but a blank is a
    // lit dot; a grey row holds a hex digit a dot (two at 8 bits). Rows and dots the file does
    // not hold stay dark; extra children and characters are ignored.
    Result<CDotMatrix> dots(int width, int height, int depth) const {
        CDotMatrix m(width, height, depth);
        int row = 0;
        for (pugi::xml_node child = m_node.first_child(); child && row < height;
             child = child.next_sibling(), ++row) {
            if (depth == 1) {
                fillRow(child, m.row(row), width);
                continue;
            }
            if (Status s = fillGreyRow(child, m.row(row), width, depth, row); !s)
                return failure(s.error());
        }
        return m;
    }

private:
    Status fillGreyRow(pugi::xml_node node, uint8_t* dots, int width, int depth, int row) const {
        const std::string text =
            node.type() == pugi::node_element ? node.text().get() : std::string(node.value());
        const size_t digits = depth == 8 ? 2 : 1;
        const size_t n = std::min(text.size() / digits, size_t(width));
        for (size_t c = 0; c < n; ++c) {
            unsigned level = 0;
            for (size_t k = 0; k < digits; ++k) {
                const char ch = text[c * digits + k];
                const int v = ch >= '0' && ch <= '9'   ? ch - '0'
                              : ch >= 'A' && ch <= 'F' ? ch - 'A' + 10
                              : ch >= 'a' && ch <= 'f' ? ch - 'a' + 10
                                                       : -1;
                if (v < 0)
                    return error(format("row %d holds %s where a level belongs", row + 1,
                                        quoted(text.substr(c * digits, digits).c_str()).c_str()));
                level = level * 16 + unsigned(v);
            }
            if (level > maxLevelOf(depth))
                return error(format("row %d holds the level %u, above the %u of %d bits a dot",
                                    row + 1, level, unsigned(maxLevelOf(depth)), depth));
            dots[c] = uint8_t(level);
        }
        return {};
    }

    // The dots of one row from the text of `node` (for an element, the text of everything in
    // it, walked without recursion). Characters count in UTF-16 code units, as the file stores
    // them, while pugixml hands out UTF-8.
    static void fillRow(pugi::xml_node node, uint8_t* dots, int width) {
        int col = 0;
        auto take = [&](const char* text) {
            for (const unsigned char* p = reinterpret_cast<const unsigned char*>(text);
                 *p && col < width; ++p) {
                if ((*p & 0xC0) == 0x80)
                    continue; // a continuation byte belongs to the character before
                const bool lit = *p != ' ';
                const int units = *p >= 0xF0 ? 2 : 1;
                for (int u = 0; u < units && col < width; ++u)
                    dots[col++] = lit ? 1 : 0;
            }
        };
        if (node.type() != pugi::node_element) {
            take(node.value());
            return;
        }
        pugi::xml_node n = node.first_child();
        while (n && col < width) {
            if (n.type() == pugi::node_pcdata || n.type() == pugi::node_cdata)
                take(n.value());
            if (n.first_child()) {
                n = n.first_child();
                continue;
            }
            while (n && n != node && !n.next_sibling())
                n = n.parent();
            if (!n || n == node)
                break;
            n = n.next_sibling();
        }
    }

    pugi::xml_node m_node;
    size_t m_index;
};

Status readEntry(CGlyphList& list, pugi::xml_node node, size_t index, uint64_t& dotBudget) {
    CMatrixReader r(node, index);
    long long type = 0, width = 0, height = 0;
    if (Status s = r.required("type", type); !s)
        return s;
    if (Status s = r.ranged("width", 1, kMaxMatrixSide, width); !s)
        return s;
    if (Status s = r.ranged("height", 1, kMaxMatrixSide, height); !s)
        return s;
    const uint64_t dots = uint64_t(width) * uint64_t(height);
    if (dots > dotBudget)
        return r.error("the file declares far more dots than it holds");
    dotBudget -= dots;

    int depth = 1;
    if (Status s = r.depth(depth); !s)
        return s;

    IRasteriser& rasteriser = list.rasteriser();
    std::unique_ptr<CGlyphEntry> entry;
    switch (type) {
    case kEntryCharacter: {
        long long code = 0;
        if (Status s = r.ranged("code", 1, 0xFFFF, code); !s)
            return s;
        CFontSettings font;
        if (Status s = r.font(int(width), int(height), font); !s)
            return s;
        font.depth = depth;
        entry = std::make_unique<CCharEntry>(rasteriser, char16_t(code), font);
        break;
    }
    case kEntryPicture: {
        long long threshold = 0;
        if (Status s = r.ranged("threshold", 0, 255, threshold); !s)
            return s;
        CPictureOptions options;
        options.threshold = uint8_t(threshold);
        if (Status s = r.pictureOptions(options); !s)
            return s;
        options.depth = depth;
        entry = std::make_unique<CPictureEntry>(rasteriser, r.text("path"), options);
        break;
    }
    case kEntryString: {
        std::u16string text = r.text("content");
        if (text.empty())
            return r.error("a text run without text");
        long long rtl = 0;
        if (Status s = r.required("rtl", rtl); !s)
            return s;
        CFontSettings font;
        if (Status s = r.font(int(width), int(height), font); !s)
            return s;
        font.depth = depth;
        entry = std::make_unique<CStringEntry>(rasteriser, std::move(text), rtl != 0, font);
        break;
    }
    default:
        // Not skipped: an entry left out here would be gone from the file at the next save.
        return r.error(format("type %lld is not a kind of entry this version knows", type));
    }
    // The stored dots replace any rendering: they may have been edited by hand, and the picture
    // file or the font they came from need not exist on this machine.
    Result<CDotMatrix> matrix = r.dots(int(width), int(height), depth);
    if (!matrix)
        return failure(matrix.error());
    entry->setMatrix(std::move(*matrix));
    list.append(std::move(entry));
    return {};
}

} // namespace

Status loadProject(CGlyphList& list, std::string_view bytes, const CProjectLoadLimits& limits) {
    pugi::xml_document doc;
    pugi::xml_parse_result parsed =
        doc.load_buffer(bytes.data(), bytes.size(), pugi::parse_default, pugi::encoding_auto);
    if (!parsed)
        return failure(format("the file is not well-formed XML (%s, at character %lld)",
                              parsed.description(), static_cast<long long>(parsed.offset)));
    pugi::xml_node root = doc.document_element();
    if (!root)
        return failure("the file holds no XML element");
    int elements = 0;
    for (pugi::xml_node n : doc.children())
        elements += n.type() == pugi::node_element;
    if (elements != 1)
        return failure("the file is not well-formed XML (more than one root element)");

    pugi::xml_attribute version = root.attribute("project_version");
    if (!version)
        return failure("the file names no project version");
    std::optional<long long> v = parseInteger(version.value());
    if (!v)
        return failure(
            format("the project version %s is not a number", quoted(version.value()).c_str()));
    if (*v > kProjectVersion)
        return failure("the file was written by a later version of the program");

    pugi::xml_node matrixes = root.first_child();
    if (!matrixes || std::string_view(matrixes.name()) != "Matrixes")
        return failure("the file holds no 'Matrixes' element where it belongs");
    pugi::xml_attribute countAttribute = matrixes.attribute("count");
    if (!countAttribute)
        return failure("the entry count is missing");
    std::optional<long long> count = parseInteger(countAttribute.value());
    if (!count)
        return failure(
            format("the entry count %s is not a number", quoted(countAttribute.value()).c_str()));
    if (*count < 1)
        return {};
    if (!matrixes.first_child())
        return failure(format("the file announces %lld entries but holds none", *count));

    uint64_t dotBudget = std::max<uint64_t>(limits.freeDots, bytes.size());
    const uint64_t wanted = uint64_t(*count);
    size_t index = 0;
    for (pugi::xml_node node = matrixes.first_child(); node && index < wanted;
         node = node.next_sibling(), ++index)
        if (Status s = readEntry(list, node, index, dotBudget); !s)
            return s;
    return {};
}

} // namespace tgw

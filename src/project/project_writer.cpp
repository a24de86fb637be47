#include "base/file_name.h"
#include "base/text.h"
#include "project/project_file.h"

#include <pugixml.hpp>

namespace tgw {
namespace {

// The two texts of the maker that the root carries; the loader ignores them.
constexpr const char* kContactAuthor = "Tessaglyphworks developers";
constexpr const char* kSaleLink = "free of charge";

class CStringWriter : public pugi::xml_writer {
public:
    std::string bytes;
    void write(const void* data, size_t size) override {
        bytes.append(static_cast<const char*>(data), size);
    }
};

// pugixml reports a failed allocation by an empty node or a false result, not by throwing; a
// file missing a node must not be saved as if it were whole, so every call is checked.
class CBuilder {
public:
    bool ok = true;

    pugi::xml_node child(pugi::xml_node parent, const char* name) {
        pugi::xml_node node = parent.append_child(name);
        ok = ok && node;
        return node;
    }
    void cdata(pugi::xml_node parent, const std::string& text) {
        pugi::xml_node node = parent.append_child(pugi::node_cdata);
        ok = ok && node && node.set_value(text.c_str(), text.size());
    }
    template <class T> void number(pugi::xml_node node, const char* name, T value) {
        pugi::xml_attribute a = node.append_attribute(name);
        ok = ok && a && a.set_value(value);
    }
    void text(pugi::xml_node node, const char* name, std::string_view value) {
        pugi::xml_attribute a = node.append_attribute(name);
        ok = ok && a && a.set_value(value.data(), value.size());
    }
    void text(pugi::xml_node node, const char* name, std::u16string_view value) {
        text(node, name, utf16ToUtf8(value));
    }
    void flag(pugi::xml_node node, const char* name, bool on) { number(node, name, on ? 1 : 0); }

    void font(pugi::xml_node node, const CFontSettings& f) {
        number(node, "fonttype", f.kind);
        if (f.kind != kFontTrueType)
            return;
        text(node, "facename", f.face);
        number(node, "fontsize", f.size);
        number(node, "fontwidth", f.width);
        number(node, "fontheight", f.height);
        flag(node, "bold", f.bold);
        flag(node, "italic", f.italic);
        flag(node, "strikeout", f.strikeout);
        flag(node, "underline", f.underline);
        number(node, "offset", f.offset);
        // Written only when set, so that entries made by name stay as they always were.
        if (!f.fontFile.empty()) {
            // A name that is not UTF-8 keeps U+FFFD for each byte the file cannot hold, as
            // a picture's does (see entriesWithUnstorableNames()).
            text(node, "fontfile", fileNameToText(f.fontFile));
            if (f.faceIndex != 0)
                number(node, "faceindex", f.faceIndex);
            if (f.fileFallback)
                number(node, "filefallback", 1);
        }
        if (f.fitCell)
            number(node, "fitcell", 1);
    }
};

// A label for failure messages: "entry 3 (U+0041)". It stays on one line: a text run's line
// breaks and tabs show as blanks.
std::string entryLabel(size_t index, const CGlyphEntry& e) {
    std::string what;
    if (e.isCharacter())
        what = format("U+%04X", unsigned(static_cast<const CCharEntry&>(e).code()));
    else if (e.isString())
        what = "\"" + utf16ToUtf8(static_cast<const CStringEntry&>(e).text()) + "\"";
    else
        what = "'" + utf16ToUtf8(static_cast<const CPictureEntry&>(e).path()) + "'";
    for (char& c : what)
        if (c == '\r' || c == '\n' || c == '\t')
            c = ' ';
    return format("entry %zu (%s)", index + 1, what.c_str());
}

} // namespace

std::vector<size_t> entriesWithUnstorableNames(const CGlyphList& list) {
    std::vector<size_t> found;
    for (size_t i = 0; i < list.size(); ++i) {
        const CGlyphEntry& e = list.at(i);
        bool storable = true;
        if (e.isPicture()) {
            storable = fileNameIsText(static_cast<const CPictureEntry&>(e).path());
        } else {
            const CFontSettings& f = static_cast<const CFontEntry&>(e).font();
            storable = f.kind != kFontTrueType || fileNameIsText(fileNameToText(f.fontFile));
        }
        if (!storable)
            found.push_back(i);
    }
    return found;
}

CLocalTime localTimeOf(std::time_t seconds, bool utc) {
    std::tm tm{};
    if (!(utc ? gmtime_r(&seconds, &tm) : localtime_r(&seconds, &tm)))
        return {};
    return {tm.tm_year + 1900, tm.tm_mon + 1, tm.tm_mday, tm.tm_hour, tm.tm_min, tm.tm_sec};
}

CLocalTime currentLocalTime() {
    return localTimeOf(std::time(nullptr));
}

std::string formatLastModified(const CLocalTime& t) {
    return format("%04d-%02d-%02d %02d:%02d:%02d", t.year, t.month, t.day, t.hour, t.minute,
                  t.second);
}

Result<std::string> writeProject(CGlyphList& list, const CLocalTime& stamp) {
    pugi::xml_document doc;
    CBuilder b;
    // Written as a processing instruction so that it keeps its single quotes; pugixml's own
    // declaration would use double ones.
    pugi::xml_node declaration = doc.append_child(pugi::node_pi);
    b.ok = declaration && declaration.set_name("xml") &&
           declaration.set_value("version='1.0' encoding='UTF-16'");

    pugi::xml_node root = b.child(doc, "Tessaglyphworks");
    b.number(root, "project_version", kProjectVersion);
    b.text(root, "program_version", std::string_view(kProjectProgramVersion));
    b.text(root, "contact_author", std::string_view(kContactAuthor));
    b.text(root, "sale_link", std::string_view(kSaleLink));

    pugi::xml_node matrixes = b.child(root, "Matrixes");
    b.number(matrixes, "count", static_cast<unsigned long long>(list.size()));
    b.text(matrixes, "last_modified", formatLastModified(stamp));

    std::string row;
    for (size_t i = 0; i < list.size() && b.ok; ++i) {
        CGlyphEntry& e = list.at(i);
        if (Status s = e.ensureRendered(); !s)
            return failure(entryLabel(i, e) + ": " + s.error());
        const CDotMatrix& m = e.matrix();

        pugi::xml_node node = b.child(matrixes, "Matrix");
        b.number(node, "type", e.kind());
        b.number(node, "width", m.width());
        b.number(node, "height", m.height());
        if (e.isCharacter()) {
            const auto& c = static_cast<const CCharEntry&>(e);
            b.number(node, "code", unsigned(c.code()));
            b.font(node, c.font());
        } else if (e.isPicture()) {
            const auto& p = static_cast<const CPictureEntry&>(e);
            b.text(node, "path", p.path());
            b.number(node, "threshold", unsigned(p.threshold()));
            // Written only when set, so that files of plain pictures stay as they were.
            const CPictureOptions& o = p.options();
            if (o.method != EPictureMethod::kThreshold)
                b.text(node, "dither", std::string_view(pictureMethodName(o.method)));
            if (o.invert)
                b.flag(node, "invert", true);
            if (o.scale != EPictureScale::kKeep) {
                b.text(node, "scale", std::string_view(pictureScaleName(o.scale)));
                b.number(node, "scalewidth", o.targetWidth);
                b.number(node, "scaleheight", o.targetHeight);
            }
        } else {
            const auto& s = static_cast<const CStringEntry&>(e);
            b.text(node, "content", s.text());
            b.flag(node, "rtl", s.rightToLeft());
            b.font(node, s.font());
        }
        // One-bit rows are '*' and ' '; grey rows are a hex digit a dot (two at 8 bits), the
        // entry's depth beside them, written only for grey entries.
        if (m.grey())
            b.number(node, "depth", m.depth());
        static const char kHex[] = "0123456789ABCDEF";
        for (int r = 0; r < m.height(); ++r) {
            const uint8_t* dots = m.row(r);
            if (m.depth() == 8) {
                row.resize(size_t(m.width()) * 2);
                for (int c = 0; c < m.width(); ++c) {
                    row[size_t(c) * 2] = kHex[dots[c] >> 4];
                    row[size_t(c) * 2 + 1] = kHex[dots[c] & 15];
                }
            } else if (m.grey()) {
                row.resize(size_t(m.width()));
                for (int c = 0; c < m.width(); ++c)
                    row[size_t(c)] = kHex[dots[c]];
            } else {
                row.assign(size_t(m.width()), ' ');
                for (int c = 0; c < m.width(); ++c)
                    if (dots[c])
                        row[size_t(c)] = '*';
            }
            b.cdata(node, row);
        }
    }
    if (!b.ok)
        return failure("there is not enough memory to build the project file");

    CStringWriter out;
    doc.save(out, "", pugi::format_raw | pugi::format_no_declaration | pugi::format_write_bom,
             pugi::encoding_utf16_le);
    return std::move(out.bytes);
}

} // namespace tgw

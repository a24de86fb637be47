#include "raster/pe_icon_reader.h"

#include "raster/icon_reader.h"
#include "raster/le_bytes.h"

#include <optional>
#include <vector>

namespace tgw {
namespace {

constexpr uint32_t kResourceIcon = 3;
constexpr uint32_t kResourceGroupIcon = 14;
constexpr uint32_t kHighBit = 0x80000000u;

struct CSection {
    uint32_t virtualAddress = 0;
    uint32_t rawSize = 0;
    uint32_t rawOffset = 0;
};

// An entry of a resource directory: a name (high bit) or a number, and a subdirectory (high
// bit) or a data entry, both as offsets from the start of the resource section.
struct CResourceEntry {
    uint32_t name = 0;
    uint32_t target = 0;

    bool named() const { return name & kHighBit; }
    uint32_t id() const { return name & 0xFFFF; }
    bool isDirectory() const { return target & kHighBit; }
    uint32_t offset() const { return target & ~kHighBit; }
};

// The parts of a PE file the icon needs: its sections, to turn addresses into file offsets,
// and the resource section's address.
class CProgramImage {
public:
    explicit CProgramImage(const IByteSource& file) : m_file(file) {}

    // Reads the headers; returns why the file is not a program with resources, or "".
    std::string open();

    // `length` bytes at a relative virtual address, when they lie in one section's file data.
    bool readAddress(uint64_t address, void* out, size_t length) const;
    bool readAddress(uint64_t address, size_t length, std::vector<uint8_t>& out) const;

    std::optional<std::vector<CResourceEntry>> directory(uint32_t offset) const;
    // The data of a resource: the first language under a name's subdirectory.
    std::optional<std::vector<uint8_t>> data(const CResourceEntry& name) const;
    // The subdirectory of a resource type, or nothing when the program has none of that type.
    std::optional<CResourceEntry> type(uint32_t id) const;

private:
    std::optional<uint64_t> fileOffset(uint64_t address, size_t length) const;

    const IByteSource& m_file;
    std::vector<CSection> m_sections;
    uint32_t m_resources = 0;
};

std::string CProgramImage::open() {
    uint8_t dos[64];
    if (!m_file.read(0, dos, sizeof dos) || dos[0] != 'M' || dos[1] != 'Z')
        return "not a program file";
    const uint64_t pe = le32(dos + 0x3C);
    uint8_t header[24];
    if (!m_file.read(pe, header, sizeof header) || header[0] != 'P' || header[1] != 'E' ||
        header[2] != 0 || header[3] != 0)
        return "not a program file of this system's format";
    const unsigned sectionCount = le16(header + 6);
    const unsigned optionalSize = le16(header + 20);

    // The optional header: the data directories begin at 96 (PE32) or 112 (PE32+); the
    // resource directory is the third of them.
    std::vector<uint8_t> optional;
    if (!m_file.readVector(pe + 24, optionalSize, optional) || optionalSize < 2)
        return "the program's headers are truncated";
    const uint16_t magic = le16(optional.data());
    size_t directories;
    if (magic == 0x10B)
        directories = 96;
    else if (magic == 0x20B)
        directories = 112;
    else
        return "the program's headers are of an unknown kind";
    if (optionalSize < directories + 3 * 8 || le32(optional.data() + directories - 4) < 3)
        return "the program has no resources";
    m_resources = le32(optional.data() + directories + 2 * 8);
    if (m_resources == 0)
        return "the program has no resources";

    std::vector<uint8_t> table;
    if (!m_file.readVector(pe + 24 + optionalSize, size_t(sectionCount) * 40, table))
        return "the program's section table is truncated";
    m_sections.resize(sectionCount);
    for (unsigned i = 0; i < sectionCount; ++i) {
        const uint8_t* s = table.data() + 40 * i;
        m_sections[i] = {le32(s + 12), le32(s + 16), le32(s + 20)};
    }
    return {};
}

std::optional<uint64_t> CProgramImage::fileOffset(uint64_t address, size_t length) const {
    for (const CSection& s : m_sections) {
        if (address < s.virtualAddress)
            continue;
        const uint64_t into = address - s.virtualAddress;
        if (into <= s.rawSize && length <= s.rawSize - into)
            return uint64_t(s.rawOffset) + into;
    }
    return std::nullopt;
}

bool CProgramImage::readAddress(uint64_t address, void* out, size_t length) const {
    std::optional<uint64_t> at = fileOffset(address, length);
    return at && m_file.read(*at, out, length);
}

bool CProgramImage::readAddress(uint64_t address, size_t length, std::vector<uint8_t>& out) const {
    std::optional<uint64_t> at = fileOffset(address, length);
    return at && m_file.readVector(*at, length, out);
}

std::optional<std::vector<CResourceEntry>> CProgramImage::directory(uint32_t offset) const {
    const uint64_t at = uint64_t(m_resources) + offset;
    uint8_t header[16];
    if (!readAddress(at, header, sizeof header))
        return std::nullopt;
    // At most 2 × 65535 entries of 8 bytes: the counts are 16 bits each.
    const size_t count = size_t(le16(header + 12)) + le16(header + 14);
    std::vector<uint8_t> raw;
    if (!readAddress(at + 16, count * 8, raw))
        return std::nullopt;
    std::vector<CResourceEntry> entries(count);
    for (size_t i = 0; i < count; ++i)
        entries[i] = {le32(raw.data() + 8 * i), le32(raw.data() + 8 * i + 4)};
    return entries;
}

std::optional<CResourceEntry> CProgramImage::type(uint32_t id) const {
    std::optional<std::vector<CResourceEntry>> root = directory(0);
    if (!root)
        return std::nullopt;
    for (const CResourceEntry& e : *root)
        if (!e.named() && e.id() == id && e.isDirectory())
            return e;
    return std::nullopt;
}

std::optional<std::vector<uint8_t>> CProgramImage::data(const CResourceEntry& name) const {
    // The tree has three levels (type, name, language); the walk goes down exactly that far,
    // so a directory that points back at itself cannot make it loop.
    if (!name.isDirectory())
        return std::nullopt;
    std::optional<std::vector<CResourceEntry>> languages = directory(name.offset());
    if (!languages || languages->empty() || languages->front().isDirectory())
        return std::nullopt;
    uint8_t entry[16];
    if (!readAddress(uint64_t(m_resources) + languages->front().offset(), entry, sizeof entry))
        return std::nullopt;
    const uint32_t address = le32(entry), size = le32(entry + 4);
    if (size > kMaxPictureFileBytes)
        return std::nullopt;
    std::vector<uint8_t> bytes;
    if (!readAddress(address, size, bytes))
        return std::nullopt;
    return bytes;
}

// A program's icon is shown at the system icon size whatever the size of the image chosen:
// each pixel of the result takes the source pixel under its centre, as the system stretches
// an icon image that is not of its size.
CRgbImage atSystemIconSize(const CRgbImage& image) {
    const int side = kSystemIconSize;
    if (image.width == side && image.height == side)
        return image;
    CRgbImage out(side, side);
    for (int y = 0; y < side; ++y) {
        const int sy = int((2 * long(y) + 1) * image.height / (2 * side));
        for (int x = 0; x < side; ++x) {
            const int sx = int((2 * long(x) + 1) * image.width / (2 * side));
            const uint8_t* p = image.pixel(sx, sy);
            out.set(x, y, p[0], p[1], p[2]);
        }
    }
    return out;
}

} // namespace

CDecodedPicture readProgramIcon(const IByteSource& file) {
    CProgramImage program(file);
    if (std::string why = program.open(); !why.empty())
        return CDecodedPicture::invalid(why);

    std::optional<CResourceEntry> groups = program.type(kResourceGroupIcon);
    std::optional<CResourceEntry> icons = program.type(kResourceIcon);
    if (!groups || !icons)
        return CDecodedPicture::invalid("the program has no icon");
    std::optional<std::vector<CResourceEntry>> groupNames = program.directory(groups->offset());
    if (!groupNames || groupNames->empty())
        return CDecodedPicture::invalid("the program has no icon");
    std::optional<std::vector<uint8_t>> group = program.data(groupNames->front());
    if (!group)
        return CDecodedPicture::invalid("the program's icon group cannot be read");

    // The group: reserved 0, type 1, count, then 14 bytes an image, ending in the number of
    // the icon resource that holds it.
    const std::vector<uint8_t>& g = *group;
    if (g.size() < 6 || le16(g.data()) != 0 || le16(g.data() + 2) != 1)
        return CDecodedPicture::invalid("the program's icon group is malformed");
    const size_t count = le16(g.data() + 4);
    if (count == 0 || 6 + 14 * count > g.size())
        return CDecodedPicture::invalid("the program's icon group is malformed");
    std::vector<CIconDirEntry> entries(count);
    for (size_t i = 0; i < count; ++i) {
        const uint8_t* e = g.data() + 6 + 14 * i;
        entries[i] = {e[0] ? e[0] : 256, e[1] ? e[1] : 256, le16(e + 6)};
    }
    const uint32_t id = le16(g.data() + 6 + 14 * chooseIconImage(entries) + 12);

    std::optional<std::vector<CResourceEntry>> iconNames = program.directory(icons->offset());
    if (!iconNames)
        return CDecodedPicture::invalid("the program's icons cannot be read");
    for (const CResourceEntry& e : *iconNames) {
        if (e.named() || e.id() != id)
            continue;
        std::optional<std::vector<uint8_t>> image = program.data(e);
        if (!image)
            return CDecodedPicture::invalid("the program's icon cannot be read");
        CDecodedPicture picture = decodeIconImage(*image);
        if (picture.ok())
            picture.image = atSystemIconSize(picture.image);
        return picture;
    }
    return CDecodedPicture::invalid("the program's icon group names a missing icon");
}

} // namespace tgw

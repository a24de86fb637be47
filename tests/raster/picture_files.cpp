#include "picture_files.h"

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>
#include <stdexcept>

#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wmissing-field-initializers"
#pragma GCC diagnostic ignored "-Wsign-compare"
#pragma GCC diagnostic ignored "-Wunused-parameter"
#define STB_IMAGE_WRITE_IMPLEMENTATION
#define STBI_WRITE_NO_STDIO
#include <stb/stb_image_write.h>
#pragma GCC diagnostic pop

namespace tgw::test {
namespace {

void put16(CBytes& b, unsigned v) {
    b.push_back(uint8_t(v));
    b.push_back(uint8_t(v >> 8));
}
void put32(CBytes& b, uint32_t v) {
    put16(b, v & 0xFFFF);
    put16(b, v >> 16);
}
void put16be(CBytes& b, unsigned v) {
    b.push_back(uint8_t(v >> 8));
    b.push_back(uint8_t(v));
}
void put32be(CBytes& b, uint32_t v) {
    put16be(b, v >> 16);
    put16be(b, v & 0xFFFF);
}
void set32(CBytes& b, size_t at, uint32_t v) {
    for (int i = 0; i < 4; ++i)
        b[at + i] = uint8_t(v >> (8 * i));
}
void append(CBytes& b, const std::string& s) {
    b.insert(b.end(), s.begin(), s.end());
}

// The distinct colours of a picture, in order of first appearance.
std::vector<CRgba> paletteOf(const CPixels& p, size_t limit) {
    std::vector<CRgba> colours;
    for (const CRgba& c : p.px) {
        auto same = [&](const CRgba& o) { return o.r == c.r && o.g == c.g && o.b == c.b; };
        if (std::find_if(colours.begin(), colours.end(), same) == colours.end())
            colours.push_back(c);
    }
    if (colours.size() > limit)
        throw std::runtime_error("too many colours for the palette");
    return colours;
}
unsigned indexOf(const std::vector<CRgba>& pal, const CRgba& c) {
    for (size_t i = 0; i < pal.size(); ++i)
        if (pal[i].r == c.r && pal[i].g == c.g && pal[i].b == c.b)
            return unsigned(i);
    return 0;
}

void toVector(void* context, void* data, int size) {
    auto* out = static_cast<CBytes*>(context);
    out->insert(out->end(), static_cast<uint8_t*>(data), static_cast<uint8_t*>(data) + size);
}

std::vector<uint8_t> rgbaOf(const CPixels& p) {
    std::vector<uint8_t> v;
    for (const CRgba& c : p.px)
        v.insert(v.end(), {c.r, c.g, c.b, c.a});
    return v;
}

} // namespace

CBytes bmp24(const CPixels& p) {
    const size_t stride = (size_t(p.width) * 3 + 3) / 4 * 4;
    CBytes b;
    append(b, "BM");
    put32(b, uint32_t(54 + stride * p.height));
    put32(b, 0);
    put32(b, 54);
    put32(b, 40);
    put32(b, uint32_t(p.width));
    put32(b, uint32_t(p.height));
    put16(b, 1);
    put16(b, 24);
    for (int i = 0; i < 6; ++i)
        put32(b, 0);
    for (int y = p.height - 1; y >= 0; --y) {
        for (int x = 0; x < p.width; ++x)
            b.insert(b.end(), {p.at(x, y).b, p.at(x, y).g, p.at(x, y).r});
        b.resize(b.size() + stride - size_t(p.width) * 3, 0);
    }
    return b;
}

CBytes ppm(const CPixels& p) {
    CBytes b;
    append(b, "P6\n" + std::to_string(p.width) + " " + std::to_string(p.height) + "\n255\n");
    for (const CRgba& c : p.px)
        b.insert(b.end(), {c.r, c.g, c.b});
    return b;
}

CBytes pgm(const CPixels& p) {
    CBytes b;
    append(b, "P5\n" + std::to_string(p.width) + " " + std::to_string(p.height) + "\n255\n");
    for (const CRgba& c : p.px)
        b.push_back(c.r);
    return b;
}

CBytes tga24(const CPixels& p) {
    CBytes b = {0, 0, 2, 0, 0, 0, 0, 0, 0, 0, 0, 0};
    put16(b, unsigned(p.width));
    put16(b, unsigned(p.height));
    b.push_back(24);
    b.push_back(0x20); // rows top to bottom
    for (const CRgba& c : p.px)
        b.insert(b.end(), {c.b, c.g, c.r});
    return b;
}

CBytes psd(const CPixels& p) {
    CBytes b;
    append(b, "8BPS");
    put16be(b, 1);
    b.resize(b.size() + 6, 0);
    put16be(b, 3);
    put32be(b, uint32_t(p.height));
    put32be(b, uint32_t(p.width));
    put16be(b, 8);
    put16be(b, 3); // RGB
    put32be(b, 0); // colour mode data
    put32be(b, 0); // image resources
    put32be(b, 0); // layers and masks
    put16be(b, 0); // raw
    for (int channel = 0; channel < 3; ++channel)
        for (const CRgba& c : p.px)
            b.push_back(channel == 0 ? c.r : channel == 1 ? c.g : c.b);
    return b;
}

CBytes gif(const CPixels& p) {
    std::vector<CRgba> pal = paletteOf(p, 256);
    CBytes b;
    append(b, "GIF89a");
    put16(b, unsigned(p.width));
    put16(b, unsigned(p.height));
    b.insert(b.end(), {0xF7, 0, 0}); // global table of 256 colours
    for (size_t i = 0; i < 256; ++i) {
        CRgba c = i < pal.size() ? pal[i] : CRgba{};
        b.insert(b.end(), {c.r, c.g, c.b});
    }
    b.push_back(0x2C);
    put16(b, 0);
    put16(b, 0);
    put16(b, unsigned(p.width));
    put16(b, unsigned(p.height));
    b.push_back(0);
    b.push_back(8); // LZW minimum code size

    // Every pixel as a literal 9-bit code, with a clear code often enough that the decoder's
    // table never grows past 9 bits: no compression, but a valid stream.
    std::vector<unsigned> codes = {256};
    int sinceClear = 0;
    for (const CRgba& c : p.px) {
        if (sinceClear == 250) {
            codes.push_back(256);
            sinceClear = 0;
        }
        codes.push_back(indexOf(pal, c));
        ++sinceClear;
    }
    codes.push_back(257);
    CBytes packed;
    uint32_t acc = 0;
    int bits = 0;
    for (unsigned code : codes) {
        acc |= code << bits;
        bits += 9;
        while (bits >= 8) {
            packed.push_back(uint8_t(acc));
            acc >>= 8;
            bits -= 8;
        }
    }
    if (bits)
        packed.push_back(uint8_t(acc));
    for (size_t at = 0; at < packed.size(); at += 255) {
        size_t n = std::min<size_t>(255, packed.size() - at);
        b.push_back(uint8_t(n));
        b.insert(b.end(), packed.begin() + long(at), packed.begin() + long(at + n));
    }
    b.push_back(0);
    b.push_back(0x3B);
    return b;
}

CBytes png(const CPixels& p) {
    CBytes out;
    std::vector<uint8_t> rgba = rgbaOf(p);
    stbi_write_png_to_func(toVector, &out, p.width, p.height, 4, rgba.data(), p.width * 4);
    return out;
}

CBytes jpeg(const CPixels& p) {
    CBytes out;
    std::vector<uint8_t> rgba = rgbaOf(p);
    stbi_write_jpg_to_func(toVector, &out, p.width, p.height, 4, rgba.data(), 100);
    return out;
}

CBytes iconDib(const CPixels& p, int bpp) {
    std::vector<CRgba> pal;
    if (bpp <= 8)
        pal = paletteOf(p, size_t(1) << bpp);
    CBytes b;
    put32(b, 40);
    put32(b, uint32_t(p.width));
    put32(b, uint32_t(p.height * 2));
    put16(b, 1);
    put16(b, unsigned(bpp));
    put32(b, 0);
    put32(b, 0);
    put32(b, 0);
    put32(b, 0);
    put32(b, bpp <= 8 ? uint32_t(pal.size()) : 0);
    put32(b, 0);
    for (const CRgba& c : pal)
        b.insert(b.end(), {c.b, c.g, c.r, 0});
    const size_t stride = (size_t(p.width) * bpp + 31) / 32 * 4;
    for (int y = p.height - 1; y >= 0; --y) {
        CBytes row(stride, 0);
        for (int x = 0; x < p.width; ++x) {
            const CRgba& c = p.at(x, y);
            if (bpp == 4)
                row[x / 2] |= uint8_t(indexOf(pal, c) << (x % 2 ? 0 : 4));
            else if (bpp == 8)
                row[x] = uint8_t(indexOf(pal, c));
            else if (bpp == 24)
                std::copy_n(std::initializer_list<uint8_t>{c.b, c.g, c.r}.begin(), 3,
                            row.begin() + x * 3);
            else
                std::copy_n(std::initializer_list<uint8_t>{c.b, c.g, c.r, c.a}.begin(), 4,
                            row.begin() + x * 4);
        }
        b.insert(b.end(), row.begin(), row.end());
    }
    const size_t maskStride = (size_t(p.width) + 31) / 32 * 4;
    for (int y = p.height - 1; y >= 0; --y) {
        CBytes row(maskStride, 0);
        for (int x = 0; x < p.width; ++x)
            if (p.at(x, y).a == 0)
                row[x / 8] |= uint8_t(0x80 >> (x % 8));
        b.insert(b.end(), row.begin(), row.end());
    }
    return b;
}

CBytes icoFile(const std::vector<CIconImage>& images) {
    CBytes b;
    put16(b, 0);
    put16(b, 1);
    put16(b, unsigned(images.size()));
    size_t offset = 6 + 16 * images.size();
    for (const CIconImage& i : images) {
        b.insert(b.end(), {uint8_t(i.width & 0xFF), uint8_t(i.height & 0xFF), 0, 0});
        put16(b, 1);
        put16(b, unsigned(i.bitCount));
        put32(b, uint32_t(i.data.size()));
        put32(b, uint32_t(offset));
        offset += i.data.size();
    }
    for (const CIconImage& i : images)
        b.insert(b.end(), i.data.begin(), i.data.end());
    return b;
}

CBytes programWithIcons(const std::vector<CIconImage>& images, bool plus) {
    const uint32_t rva = 0x1000, fileAt = 0x200;
    const size_t n = images.size();
    // The resource section: root, the two type directories, one language directory per
    // resource, the data entries, then the data itself.
    CBytes r;
    auto directory = [&](const std::vector<std::pair<uint32_t, uint32_t>>& entries) {
        put32(r, 0);
        put32(r, 0);
        put32(r, 0);
        put16(r, 0);
        put16(r, unsigned(entries.size()));
        for (auto [id, target] : entries) {
            put32(r, id);
            put32(r, target);
        }
    };
    const uint32_t dirBit = 0x80000000u;
    const uint32_t rootAt = 0, iconsAt = 32, groupsAt = uint32_t(iconsAt + 16 + 8 * n);
    const uint32_t iconLangAt = groupsAt + 24, groupLangAt = uint32_t(iconLangAt + 24 * n);
    const uint32_t entriesAt = groupLangAt + 24, dataAt = uint32_t(entriesAt + 16 * (n + 1));
    directory({{3, dirBit | iconsAt}, {14, dirBit | groupsAt}});
    std::vector<std::pair<uint32_t, uint32_t>> icons;
    for (size_t i = 0; i < n; ++i)
        icons.push_back({uint32_t(i + 1), dirBit | uint32_t(iconLangAt + 24 * i)});
    directory(icons);
    directory({{1, dirBit | groupLangAt}});
    for (size_t i = 0; i < n; ++i)
        directory({{0x409, uint32_t(entriesAt + 16 * i)}});
    directory({{0x409, uint32_t(entriesAt + 16 * n)}});
    (void)rootAt;

    CBytes group;
    put16(group, 0);
    put16(group, 1);
    put16(group, unsigned(n));
    for (size_t i = 0; i < n; ++i) {
        const CIconImage& im = images[i];
        group.insert(group.end(), {uint8_t(im.width & 0xFF), uint8_t(im.height & 0xFF), 0, 0});
        put16(group, 1);
        put16(group, unsigned(im.bitCount));
        put32(group, uint32_t(im.data.size()));
        put16(group, unsigned(i + 1));
    }
    // Data entries, then data (each piece 4-aligned).
    std::vector<const CBytes*> pieces;
    for (const CIconImage& im : images)
        pieces.push_back(&im.data);
    pieces.push_back(&group);
    uint32_t at = dataAt;
    for (const CBytes* piece : pieces) {
        put32(r, rva + at);
        put32(r, uint32_t(piece->size()));
        put32(r, 0);
        put32(r, 0);
        at += uint32_t((piece->size() + 3) / 4 * 4);
    }
    for (const CBytes* piece : pieces) {
        r.insert(r.end(), piece->begin(), piece->end());
        r.resize((r.size() + 3) / 4 * 4, 0);
    }
    // Not padded to a file alignment, so that every byte of the file is needed.
    const uint32_t rawSize = uint32_t(r.size());

    CBytes b(0x40, 0);
    b[0] = 'M';
    b[1] = 'Z';
    set32(b, 0x3C, 0x40);
    append(b, std::string("PE\0\0", 4));
    const unsigned optionalSize = plus ? 240 : 224;
    put16(b, plus ? 0x8664 : 0x14C);
    put16(b, 1);
    put32(b, 0);
    put32(b, 0);
    put32(b, 0);
    put16(b, optionalSize);
    put16(b, 0x0102);
    const size_t optional = b.size();
    b.resize(optional + optionalSize, 0);
    b[optional] = 0x0B;
    b[optional + 1] = plus ? 0x02 : 0x01;
    const size_t directories = optional + (plus ? 112 : 96);
    set32(b, directories - 4, 16);
    set32(b, directories + 16, rva);
    set32(b, directories + 20, uint32_t(r.size()));
    append(b, std::string(".rsrc\0\0\0", 8));
    put32(b, uint32_t(r.size()));
    put32(b, rva);
    put32(b, rawSize);
    put32(b, fileAt);
    b.resize(fileAt, 0);
    b.insert(b.end(), r.begin(), r.end());
    return b;
}

CTempDir::CTempDir() {
    std::string pattern = (std::filesystem::temp_directory_path() / "tgw-raster-XXXXXX").string();
    if (!mkdtemp(pattern.data()))
        throw std::runtime_error("no temporary folder");
    m_path = pattern;
}

CTempDir::~CTempDir() {
    std::error_code ec;
    std::filesystem::remove_all(m_path, ec);
}

std::string CTempDir::write(const std::string& name, const CBytes& bytes) const {
    std::string path = m_path + "/" + name;
    std::ofstream(path, std::ios::binary)
        .write(reinterpret_cast<const char*>(bytes.data()), std::streamsize(bytes.size()));
    return path;
}

} // namespace tgw::test

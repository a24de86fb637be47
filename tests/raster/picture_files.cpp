#include "picture_files.h"

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>
#include <stdexcept>

#include <cstdio>
#include <jpeglib.h>
#include <png.h>

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

void pngToVector(png_structp png, png_bytep data, size_t size) {
    auto* out = static_cast<CBytes*>(png_get_io_ptr(png));
    out->insert(out->end(), data, data + size);
}

// A writer's failure is the test's: it throws rather than hand over a broken file.
// A writer's failure is the test's own mistake: it stops the test program at once.
[[noreturn]] void pngFailed(png_structp, png_const_charp message) {
    std::fprintf(stderr, "libpng cannot write the test picture: %s\n", message);
    std::abort();
}
[[noreturn]] void jpegFailed(j_common_ptr cinfo) {
    char message[JMSG_LENGTH_MAX];
    (*cinfo->err->format_message)(cinfo, message);
    std::fprintf(stderr, "libjpeg cannot write the test picture: %s\n", message);
    std::abort();
}

} // namespace

namespace {

// A bitmap file around a header, its palette or masks, and its pixels.
CBytes bitmapFile(const CBytes& header, const CBytes& table, const CBytes& pixels) {
    CBytes b;
    append(b, "BM");
    put32(b, uint32_t(14 + header.size() + table.size() + pixels.size()));
    put32(b, 0);
    put32(b, uint32_t(14 + header.size() + table.size()));
    b.insert(b.end(), header.begin(), header.end());
    b.insert(b.end(), table.begin(), table.end());
    b.insert(b.end(), pixels.begin(), pixels.end());
    return b;
}

CBytes infoHeader(int width, int height, int bpp, uint32_t compression, uint32_t colours,
                  uint32_t size = 40) {
    CBytes h;
    put32(h, size);
    put32(h, uint32_t(width));
    put32(h, uint32_t(height));
    put16(h, 1);
    put16(h, unsigned(bpp));
    put32(h, compression);
    put32(h, 0);
    put32(h, 0);
    put32(h, 0);
    put32(h, colours);
    put32(h, 0);
    h.resize(size, 0);
    return h;
}

// Rows bottom-up (top-down when asked), each padded to four bytes, from a pixel writer.
template <class F> CBytes bitmapRows(const CPixels& p, int bpp, bool topDown, F&& pixel) {
    const size_t stride = (size_t(p.width) * bpp + 31) / 32 * 4;
    CBytes out;
    for (int i = 0; i < p.height; ++i) {
        const int y = topDown ? i : p.height - 1 - i;
        CBytes row(stride, 0);
        for (int x = 0; x < p.width; ++x)
            pixel(row, x, p.at(x, y));
        out.insert(out.end(), row.begin(), row.end());
    }
    return out;
}

} // namespace

CBytes bmp24(const CPixels& p, bool topDown) {
    return bitmapFile(infoHeader(p.width, topDown ? -p.height : p.height, 24, 0, 0), {},
                      bitmapRows(p, 24, topDown, [](CBytes& row, int x, const CRgba& c) {
                          row[size_t(x) * 3] = c.b;
                          row[size_t(x) * 3 + 1] = c.g;
                          row[size_t(x) * 3 + 2] = c.r;
                      }));
}

CBytes bmpPalette(const CPixels& p, int bpp, bool core) {
    std::vector<CRgba> pal = paletteOf(p, size_t(1) << bpp);
    CBytes header, table;
    if (core) {
        put32(header, 12);
        put16(header, unsigned(p.width));
        put16(header, unsigned(p.height));
        put16(header, 1);
        put16(header, unsigned(bpp));
        pal.resize(size_t(1) << bpp); // core palettes are always full
    } else {
        header = infoHeader(p.width, p.height, bpp, 0, uint32_t(pal.size()));
    }
    for (const CRgba& c : pal) {
        table.insert(table.end(), {c.b, c.g, c.r});
        if (!core)
            table.push_back(0);
    }
    return bitmapFile(header, table,
                      bitmapRows(p, bpp, false, [&](CBytes& row, int x, const CRgba& c) {
                          const int perByte = 8 / bpp;
                          const int shift = 8 - bpp * (x % perByte + 1);
                          row[size_t(x / perByte)] |= uint8_t(indexOf(pal, c) << shift);
                      }));
}

CBytes bmpBitfields(const CPixels& p, int bpp) {
    CBytes header, masks;
    if (bpp == 16) { // 5-6-5, the masks after a 40-byte header
        header = infoHeader(p.width, p.height, 16, 3, 0);
        put32(masks, 0xF800);
        put32(masks, 0x07E0);
        put32(masks, 0x001F);
    } else { // A-B-G-R from the top byte down, the masks in a 108-byte header
        header = infoHeader(p.width, p.height, 32, 3, 0, 108);
        set32(header, 40, 0x000000FF);
        set32(header, 44, 0x0000FF00);
        set32(header, 48, 0x00FF0000);
        set32(header, 52, 0xFF000000);
    }
    return bitmapFile(
        header, masks, bitmapRows(p, bpp, false, [&](CBytes& row, int x, const CRgba& c) {
            if (bpp == 16) {
                const unsigned v = (c.r >> 3) << 11 | (c.g >> 2) << 5 | c.b >> 3;
                row[size_t(x) * 2] = uint8_t(v);
                row[size_t(x) * 2 + 1] = uint8_t(v >> 8);
            } else {
                std::copy_n(std::initializer_list<uint8_t>{c.r, c.g, c.b, c.a}.begin(), 4,
                            row.begin() + x * 4);
            }
        }));
}

CBytes bmpRle(int width, int height, int bpp, const std::vector<CRgba>& palette,
              const CBytes& data) {
    CBytes table;
    for (const CRgba& c : palette)
        table.insert(table.end(), {c.b, c.g, c.r, 0});
    return bitmapFile(infoHeader(width, height, bpp, bpp == 8 ? 1 : 2, uint32_t(palette.size())),
                      table, data);
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

CBytes gif(const CPixels& p, const CGifOptions& o) {
    CPixels opaque = p;
    for (CRgba& c : opaque.px)
        if (o.transparency && c.a == 0)
            c = {255, 255, 255}; // a colour that shows if the transparency is ignored
    std::vector<CRgba> pal = paletteOf(opaque, o.transparency ? 255 : 256);
    unsigned transparent = 0;
    if (o.transparency) {
        transparent = unsigned(pal.size());
        pal.push_back({255, 255, 255});
    }
    const int screenWidth = o.screenWidth ? o.screenWidth : p.width;
    const int screenHeight = o.screenHeight ? o.screenHeight : p.height;
    CBytes b;
    append(b, "GIF89a");
    put16(b, unsigned(screenWidth));
    put16(b, unsigned(screenHeight));
    b.insert(b.end(), {0xF7, 0, 0}); // global table of 256 colours
    for (size_t i = 0; i < 256; ++i) {
        CRgba c = i < pal.size() && !o.localTable ? pal[i] : CRgba{};
        b.insert(b.end(), {c.r, c.g, c.b});
    }
    if (o.transparency) // graphic control: transparent index given
        b.insert(b.end(), {0x21, 0xF9, 4, 0x01, 0, 0, uint8_t(transparent), 0});
    b.push_back(0x2C);
    put16(b, unsigned(screenWidth - p.width));
    put16(b, unsigned(screenHeight - p.height));
    put16(b, unsigned(p.width));
    put16(b, unsigned(p.height));
    b.push_back(uint8_t((o.localTable ? 0x87 : 0) | (o.interlaced ? 0x40 : 0)));
    if (o.localTable)
        for (size_t i = 0; i < 256; ++i) {
            CRgba c = i < pal.size() ? pal[i] : CRgba{};
            b.insert(b.end(), {c.r, c.g, c.b});
        }
    b.push_back(8); // LZW minimum code size

    std::vector<int> rows;
    if (o.interlaced) {
        for (auto [start, step] : {std::pair{0, 8}, {4, 8}, {2, 4}, {1, 2}})
            for (int y = start; y < p.height; y += step)
                rows.push_back(y);
    } else {
        for (int y = 0; y < p.height; ++y)
            rows.push_back(y);
    }
    // Every pixel as a literal 9-bit code, with a clear code often enough that the decoder's
    // table never grows past 9 bits: no compression, but a valid stream.
    std::vector<unsigned> codes = {256};
    int sinceClear = 0;
    for (int y : rows)
        for (int x = 0; x < p.width; ++x) {
            if (sinceClear == 250) {
                codes.push_back(256);
                sinceClear = 0;
            }
            const bool clear = o.transparency && p.at(x, y).a == 0;
            codes.push_back(clear ? transparent : indexOf(pal, opaque.at(x, y)));
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

CBytes png(const CPixels& p, const CPngOptions& o) {
    CBytes out;
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, pngFailed, nullptr);
    png_infop info = png_create_info_struct(png);
    struct CFree {
        png_structp* png;
        png_infop* info;
        ~CFree() { png_destroy_write_struct(png, info); }
    } free{&png, &info};
    png_set_write_fn(png, &out, pngToVector, nullptr);
    const int type = o.colourType;
    const bool palette = type == PNG_COLOR_TYPE_PALETTE;
    png_set_IHDR(png, info, uint32_t(p.width), uint32_t(p.height), palette ? 8 : o.bitDepth, type,
                 o.interlaced ? PNG_INTERLACE_ADAM7 : PNG_INTERLACE_NONE,
                 PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
    // The palette's colours keep their alpha, so that the transparency chunk carries it.
    std::vector<CRgba> colours;
    if (palette) {
        for (const CRgba& c : p.px) {
            auto same = [&](const CRgba& x) {
                return x.r == c.r && x.g == c.g && x.b == c.b && x.a == c.a;
            };
            if (std::find_if(colours.begin(), colours.end(), same) == colours.end())
                colours.push_back(c);
        }
        std::vector<png_color> entries;
        std::vector<png_byte> alpha;
        for (const CRgba& c : colours) {
            entries.push_back({c.r, c.g, c.b});
            alpha.push_back(c.a);
        }
        png_set_PLTE(png, info, entries.data(), int(entries.size()));
        png_set_tRNS(png, info, alpha.data(), int(alpha.size()), nullptr);
    }
    png_write_info(png, info);
    const bool wide = !palette && o.bitDepth == 16;
    std::vector<CBytes> rows(size_t(p.height));
    for (int y = 0; y < p.height; ++y) {
        CBytes& row = rows[size_t(y)];
        auto sample = [&](uint8_t v) {
            row.push_back(v);
            if (wide)
                row.push_back(v); // v × 257: the high byte is v
        };
        for (int x = 0; x < p.width; ++x) {
            const CRgba& c = p.at(x, y);
            if (palette) {
                for (size_t i = 0; i < colours.size(); ++i)
                    if (colours[i].r == c.r && colours[i].g == c.g && colours[i].b == c.b &&
                        colours[i].a == c.a)
                        row.push_back(uint8_t(i));
                continue;
            }
            if (!(type & PNG_COLOR_MASK_COLOR)) {
                sample(c.r);
            } else {
                sample(c.r);
                sample(c.g);
                sample(c.b);
            }
            if (type & PNG_COLOR_MASK_ALPHA)
                sample(c.a);
        }
    }
    std::vector<png_bytep> pointers;
    for (CBytes& row : rows)
        pointers.push_back(row.data());
    png_write_image(png, pointers.data());
    png_write_end(png, nullptr);
    return out;
}

CBytes jpeg(const CPixels& p, const CJpegOptions& o) {
    jpeg_compress_struct cinfo{};
    jpeg_error_mgr error{};
    cinfo.err = jpeg_std_error(&error);
    error.error_exit = jpegFailed;
    jpeg_create_compress(&cinfo);
    struct CFree {
        jpeg_compress_struct* cinfo;
        unsigned char* buffer = nullptr;
        ~CFree() {
            jpeg_destroy_compress(cinfo);
            std::free(buffer);
        }
    } free{&cinfo};
    unsigned long size = 0;
    jpeg_mem_dest(&cinfo, &free.buffer, &size);
    cinfo.image_width = JDIMENSION(p.width);
    cinfo.image_height = JDIMENSION(p.height);
    const int components = o.kind == EJpegKind::kGrey ? 1 : o.kind == EJpegKind::kCmyk ? 4 : 3;
    cinfo.input_components = components;
    cinfo.in_color_space = o.kind == EJpegKind::kGrey   ? JCS_GRAYSCALE
                           : o.kind == EJpegKind::kCmyk ? JCS_CMYK
                                                        : JCS_RGB;
    jpeg_set_defaults(&cinfo);
    if (o.kind == EJpegKind::kCmyk)
        jpeg_set_colorspace(&cinfo, JCS_YCCK); // with the Adobe marker
    jpeg_set_quality(&cinfo, o.quality, TRUE);
    if (o.progressive)
        jpeg_simple_progression(&cinfo);
    jpeg_start_compress(&cinfo, TRUE);
    CBytes row;
    while (cinfo.next_scanline < cinfo.image_height) {
        row.clear();
        for (int x = 0; x < p.width; ++x) {
            const CRgba& c = p.at(x, int(cinfo.next_scanline));
            if (components == 1)
                row.push_back(c.r);
            else if (components == 3)
                row.insert(row.end(), {c.r, c.g, c.b});
            else
                row.insert(row.end(), {c.r, c.g, c.b, c.a});
        }
        JSAMPROW pointer = row.data();
        jpeg_write_scanlines(&cinfo, &pointer, 1);
    }
    jpeg_finish_compress(&cinfo);
    return CBytes(free.buffer, free.buffer + size);
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

#include "raster/png_decoder.h"

#include <png.h>

#include <csetjmp>
#include <cstring>
#include <string>
#include <vector>

namespace tgw {
namespace {

// No ancillary chunk we could want is larger, and no real file has more of them; both bound
// what a hostile file can make libpng keep.
constexpr png_alloc_size_t kMaxChunkBytes = png_alloc_size_t(8) << 20;
constexpr png_uint_32 kMaxCachedChunks = 128;

// Everything that must outlive a longjmp out of libpng lives here, outside the function that
// calls setjmp, so that no object with a destructor is skipped by the jump.
struct CPngRead {
    std::span<const uint8_t> bytes;
    size_t at = 0;
    std::string error;
    png_structp png = nullptr;
    png_infop info = nullptr;
    std::vector<uint8_t> rgba;
    std::vector<png_bytep> rows;

    ~CPngRead() { png_destroy_read_struct(&png, info ? &info : nullptr, nullptr); }
};

void onError(png_structp png, png_const_charp message) {
    static_cast<CPngRead*>(png_get_error_ptr(png))->error = message;
    png_longjmp(png, 1);
}

void onWarning(png_structp, png_const_charp) {}

void readBytes(png_structp png, png_bytep out, size_t length) {
    auto* r = static_cast<CPngRead*>(png_get_io_ptr(png));
    if (length > r->bytes.size() - r->at)
        png_error(png, "the file ends early");
    std::memcpy(out, r->bytes.data() + r->at, length);
    r->at += length;
}

// Decodes into r.rgba (width × height × 4). Returns false with r.error set when libpng gave up.
bool decode(CPngRead& r, png_uint_32& width, png_uint_32& height) {
    if (setjmp(png_jmpbuf(r.png)))
        return false;
    png_set_read_fn(r.png, &r, readBytes);
    png_set_user_limits(r.png, kMaxMatrixSide, kMaxMatrixSide);
    png_set_chunk_malloc_max(r.png, kMaxChunkBytes);
    png_set_chunk_cache_max(r.png, kMaxCachedChunks);
    png_read_info(r.png, r.info);

    int depth = 0, colour = 0;
    png_get_IHDR(r.png, r.info, &width, &height, &depth, &colour, nullptr, nullptr, nullptr);
    // Whatever the file holds becomes 8-bit RGBA: palettes and low depths expanded, the
    // transparency chunk made alpha, greys made RGB, opaque pictures given an opaque alpha.
    png_set_expand(r.png);
    png_set_strip_16(r.png);
    png_set_gray_to_rgb(r.png);
    png_set_add_alpha(r.png, 0xFF, PNG_FILLER_AFTER);
    png_set_interlace_handling(r.png);
    png_read_update_info(r.png, r.info);
    if (png_get_rowbytes(r.png, r.info) != size_t(width) * 4) {
        r.error = "unexpected row layout";
        return false;
    }
    r.rgba.resize(size_t(width) * height * 4);
    r.rows.resize(height);
    for (png_uint_32 y = 0; y < height; ++y)
        r.rows[y] = r.rgba.data() + size_t(y) * width * 4;
    png_read_image(r.png, r.rows.data());
    return true;
}

uint32_t be32(const uint8_t* p) {
    return uint32_t(p[0]) << 24 | uint32_t(p[1]) << 16 | uint32_t(p[2]) << 8 | p[3];
}

} // namespace

bool isPng(std::span<const uint8_t> bytes) {
    static const uint8_t signature[8] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
    return bytes.size() >= 8 && std::memcmp(bytes.data(), signature, 8) == 0;
}

CDecodedPicture decodePng(std::span<const uint8_t> bytes) {
    if (!isPng(bytes))
        return CDecodedPicture::invalid("not a PNG file");
    // The header chunk comes first; its size is read here so that a picture over the limit is
    // told apart from a broken one (libpng refuses both alike).
    if (bytes.size() < 24 || std::memcmp(bytes.data() + 12, "IHDR", 4) != 0)
        return CDecodedPicture::invalid("the PNG file has no header");
    const uint32_t headerWidth = be32(bytes.data() + 16), headerHeight = be32(bytes.data() + 20);
    if (headerWidth == 0 || headerHeight == 0 || headerWidth > 0x7FFFFFFF ||
        headerHeight > 0x7FFFFFFF)
        return CDecodedPicture::invalid("the picture has no pixels");
    if (headerWidth > uint32_t(kMaxMatrixSide) || headerHeight > uint32_t(kMaxMatrixSide))
        return CDecodedPicture::tooBig(long(headerWidth), long(headerHeight));

    CPngRead r;
    r.bytes = bytes;
    r.png = png_create_read_struct(PNG_LIBPNG_VER_STRING, &r, onError, onWarning);
    if (!r.png || !(r.info = png_create_info_struct(r.png)))
        return CDecodedPicture::invalid("there is not enough memory to read the picture");
    png_uint_32 width = 0, height = 0;
    if (!decode(r, width, height))
        return CDecodedPicture::invalid("the PNG file cannot be decoded (" + r.error + ")");

    CRgbImage image(static_cast<int>(width), static_cast<int>(height));
    const uint8_t* src = r.rgba.data();
    uint8_t* out = image.rgb.data();
    for (size_t i = 0, n = size_t(width) * height; i < n; ++i, src += 4, out += 3) {
        out[0] = overBlack(src[0], src[3]);
        out[1] = overBlack(src[1], src[3]);
        out[2] = overBlack(src[2], src[3]);
    }
    return CDecodedPicture::loaded(std::move(image));
}

} // namespace tgw

#include "raster/stb_decoder.h"

#include "raster/pnm_reader.h"

#include <stb/stb_image.h>

#include <algorithm>
#include <climits>
#include <cstring>
#include <memory>
#include <vector>

namespace tgw {
namespace {

struct CStbFree {
    void operator()(stbi_uc* p) const { stbi_image_free(p); }
};

// Guards against faults of the stb_image release we build with (2.27), checked before a file
// reaches it. Each returns false for a file that would make it write or read out of bounds.

// JPEG: a Huffman table of more than 256 codes overruns stb's tables while they are built.
// The walk follows the segments as stb does (a segment's own length, padding skipped, every
// FF xx in entropy-coded data other than stuffing and restarts taken as a marker, since stb's
// scan stops there, and nothing after the end-of-image marker) and reads each table header as
// stb does, zeros past the end of the file included.
bool jpegTablesFit(std::span<const uint8_t> b) {
    // stb takes fill bytes before the start-of-image marker too.
    size_t start = 0;
    while (start < b.size() && b[start] == 0xFF)
        ++start;
    if (start == 0 || start >= b.size() || b[start] != 0xD8)
        return true;
    auto byte = [&](size_t i) -> unsigned { return i < b.size() ? b[i] : 0; };
    for (size_t i = start + 1; i + 1 < b.size();) {
        if (b[i] != 0xFF || b[i + 1] == 0xFF) {
            ++i;
            continue;
        }
        const unsigned marker = b[i + 1];
        if (marker == 0xD9)
            break;
        if (marker == 0x00 || marker == 0x01 || (marker >= 0xD0 && marker <= 0xD8)) {
            i += 2;
            continue;
        }
        if (i + 4 > b.size())
            break;
        const size_t length = size_t(b[i + 2]) << 8 | b[i + 3];
        if (marker == 0xC4) {
            long left = long(length) - 2;
            size_t at = i + 4;
            while (left > 0) {
                unsigned codes = 0;
                for (size_t k = 1; k <= 16; ++k)
                    codes += byte(at + k);
                if (codes > 256)
                    return false;
                at += 17 + codes;
                left -= long(17 + codes);
            }
        }
        i += 2 + length;
    }
    return true;
}

// PNG: stb grows its buffer for the compressed data to a chunk's declared length before it
// reads the chunk, so a lying length costs a huge allocation: every chunk must lie in the file.
// An empty data chunk (legal, and useless) makes it copy into a buffer it has not allocated
// yet, so such chunks are left out of a copy. Returns false for a file to refuse.
bool preparePng(std::span<const uint8_t> b, std::vector<uint8_t>& copy) {
    if (!isPng(b))
        return true;
    std::vector<std::pair<size_t, size_t>> emptyData; // where, and how long with its frame
    size_t at = 8;
    while (at + 8 <= b.size()) {
        const size_t length =
            size_t(b[at]) << 24 | size_t(b[at + 1]) << 16 | size_t(b[at + 2]) << 8 | b[at + 3];
        if (length > b.size() - at - 8)
            return false;
        if (length == 0 && std::memcmp(b.data() + at + 4, "IDAT", 4) == 0)
            emptyData.push_back({at, std::min<size_t>(12, b.size() - at)});
        if (std::memcmp(b.data() + at + 4, "IEND", 4) == 0)
            break;
        at += 12 + length;
    }
    if (!emptyData.empty()) {
        size_t from = 0;
        for (auto [start, size] : emptyData) {
            copy.insert(copy.end(), b.begin() + long(from), b.begin() + long(start));
            from = start + size;
        }
        copy.insert(copy.end(), b.begin() + long(from), b.end());
    }
    return true;
}

} // namespace

bool isPng(std::span<const uint8_t> bytes) {
    static const uint8_t signature[8] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
    return bytes.size() >= 8 && std::memcmp(bytes.data(), signature, 8) == 0;
}

CDecodedPicture decodeWithStb(std::span<const uint8_t> bytes) {
    if (bytes.empty())
        return CDecodedPicture::invalid("the file is empty");
    if (isBinaryPnm(bytes))
        return readPnm(bytes);
    if (bytes.size() > size_t(INT_MAX))
        return CDecodedPicture::invalid("the file is too large to be a picture");
    // The guards come first: reading the header alone already builds a JPEG's tables.
    std::vector<uint8_t> cleaned;
    if (!jpegTablesFit(bytes) || !preparePng(bytes, cleaned))
        return CDecodedPicture::invalid("the picture's file is corrupt");
    if (!cleaned.empty())
        bytes = cleaned;
    const int length = int(bytes.size());
    int width = 0, height = 0, channels = 0;
    if (!stbi_info_from_memory(bytes.data(), length, &width, &height, &channels))
        return CDecodedPicture::invalid(std::string("not a picture that can be read (") +
                                        stbi_failure_reason() + ")");
    if (width <= 0 || height <= 0)
        return CDecodedPicture::invalid("the picture has no pixels");
    if (width > kMaxMatrixSide || height > kMaxMatrixSide)
        return CDecodedPicture::tooBig(width, height);

    // The picture's own channels are asked for: stb's conversion to another count mishandles
    // 16-bit pictures.
    int w = 0, h = 0;
    std::unique_ptr<stbi_uc, CStbFree> pixels(
        stbi_load_from_memory(bytes.data(), length, &w, &h, &channels, 0));
    if (!pixels)
        return CDecodedPicture::invalid(std::string("the picture cannot be decoded (") +
                                        stbi_failure_reason() + ")");
    // The header read above must be the one decoded; anything else is a file that lies.
    if (w != width || h != height || channels < 1 || channels > 4)
        return CDecodedPicture::invalid("the picture's size is inconsistent");

    // Grey, grey and alpha, RGB, RGBA.
    CRgbImage image(w, h);
    const stbi_uc* src = pixels.get();
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x, src += channels) {
            const bool grey = channels < 3;
            const uint8_t alpha = channels == 2 ? src[1] : channels == 4 ? src[3] : 255;
            image.set(x, y, overBlack(src[0], alpha), overBlack(src[grey ? 0 : 1], alpha),
                      overBlack(src[grey ? 0 : 2], alpha));
        }
    return CDecodedPicture::loaded(std::move(image));
}

} // namespace tgw

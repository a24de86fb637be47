#include "raster/pnm_reader.h"

#include <cctype>

namespace tgw {

bool isBinaryPnm(std::span<const uint8_t> b) {
    return b.size() >= 2 && b[0] == 'P' && (b[1] == '5' || b[1] == '6');
}

CDecodedPicture readPnm(std::span<const uint8_t> b) {
    if (!isBinaryPnm(b))
        return CDecodedPicture::invalid("not a binary PNM file");
    const int channels = b[1] == '6' ? 3 : 1;
    size_t at = 2;
    // The three numbers of the header, each after white space and comments.
    auto number = [&](unsigned long& out) {
        for (;;) {
            while (at < b.size() && std::isspace(b[at]))
                ++at;
            if (at < b.size() && b[at] == '#') {
                while (at < b.size() && b[at] != '\n' && b[at] != '\r')
                    ++at;
                continue;
            }
            break;
        }
        if (at >= b.size() || !std::isdigit(b[at]))
            return false;
        out = 0;
        while (at < b.size() && std::isdigit(b[at])) {
            out = out * 10 + (b[at++] - '0');
            if (out > 0xFFFFFF)
                return false;
        }
        return true;
    };
    unsigned long width = 0, height = 0, maximum = 0;
    if (!number(width) || !number(height) || !number(maximum))
        return CDecodedPicture::invalid("the PNM header is malformed");
    // Exactly one white-space character ends the header.
    if (at >= b.size() || !std::isspace(b[at]))
        return CDecodedPicture::invalid("the PNM header is malformed");
    ++at;
    if (width == 0 || height == 0 || maximum == 0 || maximum > 65535)
        return CDecodedPicture::invalid("the PNM header is malformed");
    if (width > unsigned(kMaxMatrixSide) || height > unsigned(kMaxMatrixSide))
        return CDecodedPicture::tooBig(long(width), long(height));
    const size_t sampleBytes = maximum > 255 ? 2 : 1;
    const size_t needed = width * height * channels * sampleBytes;
    if (b.size() - at < needed)
        return CDecodedPicture::invalid("the PNM file is truncated");

    CRgbImage image{int(width), int(height)};
    const uint8_t* p = b.data() + at;
    auto sample = [&]() {
        unsigned v = sampleBytes == 2 ? unsigned(p[0]) << 8 | p[1] : p[0];
        p += sampleBytes;
        // Samples above the maximum are out of the format; they show as full brightness.
        return uint8_t(v >= maximum ? 255 : v * 255 / maximum);
    };
    for (int y = 0; y < image.height; ++y)
        for (int x = 0; x < image.width; ++x) {
            if (channels == 1) {
                uint8_t v = sample();
                image.set(x, y, v, v, v);
            } else {
                uint8_t r = sample(), g = sample(), bl = sample();
                image.set(x, y, r, g, bl);
            }
        }
    return CDecodedPicture::loaded(std::move(image));
}

} // namespace tgw

#include "raster/jpeg_decoder.h"

#include <algorithm>
#include <csetjmp>
#include <cstdio> // jpeglib.h needs FILE and size_t declared first
#include <string>
#include <vector>

#include <jpeglib.h>

namespace tgw {
namespace {

// libjpeg's working memory for one picture: a 2048 × 2048 progressive picture of four
// components keeps 32 MiB of coefficients. Asking for more fails instead of being tried.
constexpr long kMaxWorkingMemory = long(128) << 20;
// A progressive file may repeat scans without end, each costing a pass over the picture; no
// encoder writes more than a few dozen.
constexpr int kMaxScans = 500;

struct CErrorManager {
    jpeg_error_mgr pub;
    jmp_buf jump;
    char message[JMSG_LENGTH_MAX];
};

// Everything that must outlive a longjmp out of libjpeg lives here, outside the function that
// calls setjmp, so that no object with a destructor is skipped by the jump.
struct CJpegRead {
    jpeg_decompress_struct cinfo{};
    CErrorManager error{};
    jpeg_progress_mgr progress{};
    bool created = false;
    std::vector<uint8_t> pixels; // output_components bytes a pixel
    int width = 0, height = 0, components = 0;

    ~CJpegRead() {
        if (created)
            jpeg_destroy_decompress(&cinfo);
    }
};

[[noreturn]] void onError(j_common_ptr cinfo) {
    auto* e = reinterpret_cast<CErrorManager*>(cinfo->err);
    (*cinfo->err->format_message)(cinfo, e->message);
    std::longjmp(e->jump, 1);
}

// Warnings (corrupt data that libjpeg recovers from) are not printed.
void onMessage(j_common_ptr) {}

void onProgress(j_common_ptr cinfo) {
    auto* d = reinterpret_cast<j_decompress_ptr>(cinfo);
    if (d->input_scan_number > kMaxScans) {
        auto* e = reinterpret_cast<CErrorManager*>(cinfo->err);
        std::snprintf(e->message, sizeof e->message, "more than %d scans", kMaxScans);
        std::longjmp(e->jump, 1);
    }
}

enum class EStep { kFailed, kTooBig, kDecoded };

EStep decode(CJpegRead& r, std::span<const uint8_t> bytes) {
    jpeg_decompress_struct& cinfo = r.cinfo;
    cinfo.err = jpeg_std_error(&r.error.pub);
    r.error.pub.error_exit = onError;
    r.error.pub.output_message = onMessage;
    if (setjmp(r.error.jump))
        return EStep::kFailed;
    // Set first: a zeroed structure is safe to destroy, and creating it can fail half-way.
    r.created = true;
    jpeg_create_decompress(&cinfo);
    cinfo.mem->max_memory_to_use = kMaxWorkingMemory;
    r.progress.progress_monitor = onProgress;
    cinfo.progress = &r.progress;
    jpeg_mem_src(&cinfo, bytes.data(), static_cast<unsigned long>(bytes.size()));
    if (jpeg_read_header(&cinfo, TRUE) != JPEG_HEADER_OK) {
        std::snprintf(r.error.message, sizeof r.error.message, "no picture in the file");
        return EStep::kFailed;
    }
    r.width = int(cinfo.image_width);
    r.height = int(cinfo.image_height);
    if (cinfo.image_width > unsigned(kMaxMatrixSide) ||
        cinfo.image_height > unsigned(kMaxMatrixSide))
        return EStep::kTooBig;
    // CMYK is converted here (libjpeg leaves it to the caller); everything else to RGB.
    const bool cmyk = cinfo.jpeg_color_space == JCS_CMYK || cinfo.jpeg_color_space == JCS_YCCK;
    cinfo.out_color_space = cmyk ? JCS_CMYK : JCS_RGB;
    jpeg_start_decompress(&cinfo);
    r.components = cinfo.output_components;
    if (int(cinfo.output_width) != r.width || int(cinfo.output_height) != r.height ||
        r.components != (cmyk ? 4 : 3)) {
        std::snprintf(r.error.message, sizeof r.error.message, "unexpected output layout");
        return EStep::kFailed;
    }
    r.pixels.resize(size_t(r.width) * size_t(r.height) * size_t(r.components));
    while (cinfo.output_scanline < cinfo.output_height) {
        JSAMPROW row = r.pixels.data() +
                       size_t(cinfo.output_scanline) * size_t(r.width) * size_t(r.components);
        jpeg_read_scanlines(&cinfo, &row, 1);
    }
    // Whatever follows the last scan line is of no interest; the destructor frees the rest.
    return EStep::kDecoded;
}

} // namespace

bool isJpeg(std::span<const uint8_t> bytes) {
    return bytes.size() >= 3 && bytes[0] == 0xFF && bytes[1] == 0xD8 && bytes[2] == 0xFF;
}

CDecodedPicture decodeJpeg(std::span<const uint8_t> bytes) {
    if (!isJpeg(bytes))
        return CDecodedPicture::invalid("not a JPEG file");
    CJpegRead r;
    switch (decode(r, bytes)) {
    case EStep::kFailed:
        return CDecodedPicture::invalid(std::string("the JPEG file cannot be decoded (") +
                                        r.error.message + ")");
    case EStep::kTooBig:
        return CDecodedPicture::tooBig(r.width, r.height);
    case EStep::kDecoded:
        break;
    }
    if (r.width <= 0 || r.height <= 0)
        return CDecodedPicture::invalid("the picture has no pixels");

    CRgbImage image(r.width, r.height);
    const uint8_t* src = r.pixels.data();
    uint8_t* out = image.rgb.data();
    const size_t count = size_t(r.width) * size_t(r.height);
    if (r.components == 3) {
        std::copy(src, src + count * 3, out);
    } else {
        // Adobe's files store CMYK inverted (0 is full ink), and libjpeg hands the samples over
        // as stored; others store it plainly.
        const bool inverted = r.cinfo.saw_Adobe_marker;
        for (size_t i = 0; i < count; ++i, src += 4, out += 3) {
            const unsigned k = inverted ? src[3] : 255u - src[3];
            for (int c = 0; c < 3; ++c) {
                const unsigned ink = inverted ? src[c] : 255u - src[c];
                out[c] = uint8_t((ink * k + 127) / 255);
            }
        }
    }
    return CDecodedPicture::loaded(std::move(image));
}

} // namespace tgw

#include "raster/gif_decoder.h"

#include <gif_lib.h>

#include <algorithm>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

namespace tgw {
namespace {

struct CGifInput {
    std::span<const uint8_t> bytes;
    size_t at = 0;
};

int readBytes(GifFileType* gif, GifByteType* out, int length) {
    auto* in = static_cast<CGifInput*>(gif->UserData);
    const size_t n = std::min(size_t(length < 0 ? 0 : length), in->bytes.size() - in->at);
    std::memcpy(out, in->bytes.data() + in->at, n);
    in->at += n;
    return int(n);
}

struct CGifClose {
    void operator()(GifFileType* gif) const {
        int error = 0;
        DGifCloseFile(gif, &error);
    }
};
using CGifHandle = std::unique_ptr<GifFileType, CGifClose>;

CDecodedPicture failed(const char* what, int error) {
    const char* why = GifErrorString(error);
    return CDecodedPicture::invalid(std::string(what) + " (" + (why ? why : "unknown error") + ")");
}

// Skips the rest of an extension's sub-blocks.
bool skipExtension(GifFileType* gif, GifByteType* block) {
    while (block)
        if (DGifGetExtensionNext(gif, &block) == GIF_ERROR)
            return false;
    return true;
}

} // namespace

bool isGif(std::span<const uint8_t> bytes) {
    return bytes.size() >= 6 && (std::memcmp(bytes.data(), "GIF87a", 6) == 0 ||
                                 std::memcmp(bytes.data(), "GIF89a", 6) == 0);
}

CDecodedPicture decodeGif(std::span<const uint8_t> bytes) {
    if (!isGif(bytes))
        return CDecodedPicture::invalid("not a GIF file");
    CGifInput input{bytes};
    int error = 0;
    CGifHandle gif(DGifOpen(&input, readBytes, &error));
    if (!gif)
        return failed("the GIF file cannot be read", error);

    int transparent = NO_TRANSPARENT_COLOR;
    for (;;) {
        GifRecordType record = UNDEFINED_RECORD_TYPE;
        if (DGifGetRecordType(gif.get(), &record) == GIF_ERROR)
            return failed("the GIF file is damaged", gif->Error);
        if (record == TERMINATE_RECORD_TYPE)
            return CDecodedPicture::invalid("the GIF file holds no picture");
        if (record == EXTENSION_RECORD_TYPE) {
            int code = 0;
            GifByteType* block = nullptr;
            if (DGifGetExtension(gif.get(), &code, &block) == GIF_ERROR)
                return failed("the GIF file is damaged", gif->Error);
            // The graphic control block before the frame names its transparent colour.
            if (code == GRAPHICS_EXT_FUNC_CODE && block && block[0] >= 4) {
                GraphicsControlBlock control{};
                if (DGifExtensionToGCB(block[0], block + 1, &control) == GIF_OK)
                    transparent = control.TransparentColor;
            }
            if (!skipExtension(gif.get(), block))
                return failed("the GIF file is damaged", gif->Error);
            continue;
        }
        if (record == IMAGE_DESC_RECORD_TYPE)
            break;
    }
    if (DGifGetImageDesc(gif.get()) == GIF_ERROR)
        return failed("the GIF file is damaged", gif->Error);

    const GifImageDesc& frame = gif->Image;
    if (frame.Width <= 0 || frame.Height <= 0)
        return CDecodedPicture::invalid("the picture has no pixels");
    // A screen of 0 (some writers leave it so) is taken to be the frame's extent.
    const long width = gif->SWidth > 0 ? gif->SWidth : long(frame.Left) + frame.Width;
    const long height = gif->SHeight > 0 ? gif->SHeight : long(frame.Top) + frame.Height;
    if (width > kMaxMatrixSide || height > kMaxMatrixSide || frame.Width > kMaxMatrixSide ||
        frame.Height > kMaxMatrixSide)
        return CDecodedPicture::tooBig(std::max<long>(width, frame.Width),
                                       std::max<long>(height, frame.Height));
    const ColorMapObject* colours = frame.ColorMap ? frame.ColorMap : gif->SColorMap;
    if (!colours || !colours->Colors || colours->ColorCount <= 0)
        return CDecodedPicture::invalid("the GIF file has no colour table");

    // Interlaced frames store every 8th row from 0, every 8th from 4, every 4th from 2, then
    // every 2nd from 1.
    std::vector<int> order;
    order.reserve(size_t(frame.Height));
    if (frame.Interlace) {
        const int start[4] = {0, 4, 2, 1}, step[4] = {8, 8, 4, 2};
        for (int pass = 0; pass < 4; ++pass)
            for (int y = start[pass]; y < frame.Height; y += step[pass])
                order.push_back(y);
    } else {
        for (int y = 0; y < frame.Height; ++y)
            order.push_back(y);
    }

    CRgbImage image(static_cast<int>(width), static_cast<int>(height));
    std::vector<GifPixelType> line(size_t(frame.Width));
    for (int row : order) {
        if (DGifGetLine(gif.get(), line.data(), frame.Width) == GIF_ERROR)
            return failed("the GIF file's picture is damaged", gif->Error);
        const long y = long(frame.Top) + row;
        if (y >= height)
            continue;
        for (int x = 0; x < frame.Width; ++x) {
            const long at = long(frame.Left) + x;
            const int index = line[size_t(x)];
            if (at >= width || index == transparent || index >= colours->ColorCount)
                continue;
            const GifColorType& c = colours->Colors[index];
            image.set(int(at), int(y), c.Red, c.Green, c.Blue);
        }
    }
    return CDecodedPicture::loaded(std::move(image));
}

} // namespace tgw

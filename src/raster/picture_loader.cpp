#include "raster/picture_loader.h"

#include "base/file_name.h"
#include "raster/bitmap_reader.h"
#include "raster/byte_source.h"
#include "raster/gif_decoder.h"
#include "raster/icon_reader.h"
#include "raster/jpeg_decoder.h"
#include "raster/pe_icon_reader.h"
#include "raster/png_decoder.h"
#include "raster/pnm_reader.h"

#include <algorithm>

namespace tgw {
namespace {

bool extensionIs(std::u16string_view extension, std::u16string_view lowerName) {
    return std::equal(extension.begin(), extension.end(), lowerName.begin(), lowerName.end(),
                      [](char16_t a, char16_t b) {
                          return (a >= u'A' && a <= u'Z' ? char16_t(a - u'A' + u'a') : a) == b;
                      });
}

} // namespace

EPictureSource pictureSourceOf(std::u16string_view path) {
    size_t dot = path.find_last_of(u'.');
    size_t slash = path.find_last_of(u'/');
    if (dot == std::u16string_view::npos || (slash != std::u16string_view::npos && dot < slash))
        return EPictureSource::kOther;
    std::u16string_view extension = path.substr(dot + 1);
    if (extensionIs(extension, u"bmp") || extensionIs(extension, u"dib"))
        return EPictureSource::kBitmap;
    if (extensionIs(extension, u"ico"))
        return EPictureSource::kIcon;
    if (extensionIs(extension, u"exe") || extensionIs(extension, u"dll"))
        return EPictureSource::kProgram;
    return EPictureSource::kOther;
}

CDecodedPicture decodePicture(std::span<const uint8_t> file, EPictureSource source) {
    switch (source) {
    case EPictureSource::kBitmap:
        // The bitmap path reads bitmap files only, whatever the content is.
        return readBitmapFile(file);
    case EPictureSource::kIcon:
        return readIconFile(file);
    case EPictureSource::kProgram:
        return readProgramIcon(CMemorySource(file));
    case EPictureSource::kOther:
        break;
    }
    // Any other name: the content says what it is.
    if (file.empty())
        return CDecodedPicture::invalid("the file is empty");
    if (isBinaryPnm(file))
        return readPnm(file);
    if (isPng(file))
        return decodePng(file);
    if (isJpeg(file))
        return decodeJpeg(file);
    if (isGif(file))
        return decodeGif(file);
    if (isBitmapFile(file))
        return readBitmapFile(file);
    return CDecodedPicture::invalid("not a picture of a format that can be read");
}

CDecodedPicture loadPicture(const std::u16string& path) {
    if (path.empty())
        return CDecodedPicture::invalid("no picture file is named");
    const std::string name = fileNameToBytes(path);
    const EPictureSource source = pictureSourceOf(path);
    if (source == EPictureSource::kProgram) {
        // Programs can be large; only the parts that lead to the icon are read.
        Result<CFileSource> file = CFileSource::open(name);
        if (!file)
            return CDecodedPicture::invalid(file.error());
        return readProgramIcon(*file);
    }
    Result<std::vector<uint8_t>> bytes = readWholeFile(name, kMaxPictureFileBytes);
    if (!bytes)
        return CDecodedPicture::invalid(bytes.error());
    return decodePicture(*bytes, source);
}

} // namespace tgw

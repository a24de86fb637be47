#include "raster/icon_reader.h"

#include "raster/bitmap_reader.h"
#include "raster/le_bytes.h"
#include "raster/png_decoder.h"

#include <algorithm>
#include <cstdlib>
#include <vector>

namespace tgw {

size_t chooseIconImage(std::span<const CIconDirEntry> entries) {
    // How far an image is from the system icon size; the larger side counts, so that a tall
    // or wide image is not taken for a near one.
    auto distance = [](const CIconDirEntry& e) {
        return std::max(std::abs(e.width - kSystemIconSize), std::abs(e.height - kSystemIconSize));
    };
    size_t best = 0;
    for (size_t i = 1; i < entries.size(); ++i) {
        const CIconDirEntry& a = entries[i];
        const CIconDirEntry& b = entries[best];
        const int da = distance(a), db = distance(b);
        const long areaA = long(a.width) * a.height, areaB = long(b.width) * b.height;
        if (da < db || (da == db && (areaA > areaB || (areaA == areaB && a.bitCount > b.bitCount))))
            best = i;
    }
    return best;
}

CDecodedPicture decodeIconImage(std::span<const uint8_t> image) {
    if (isPng(image))
        return decodePng(image);
    return decodeDib(image, {0, std::nullopt, true});
}

CDecodedPicture readIconFile(std::span<const uint8_t> file) {
    if (file.size() < 6)
        return CDecodedPicture::invalid("the icon file is truncated");
    const uint8_t* p = file.data();
    if (le16(p) != 0 || le16(p + 2) != 1)
        return CDecodedPicture::invalid("not an icon file");
    const size_t count = le16(p + 4);
    if (count == 0)
        return CDecodedPicture::invalid("the icon file holds no image");
    if (6 + 16 * count > file.size())
        return CDecodedPicture::invalid("the icon file is truncated");

    std::vector<CIconDirEntry> entries(count);
    for (size_t i = 0; i < count; ++i) {
        const uint8_t* e = p + 6 + 16 * i;
        entries[i] = {e[0] ? e[0] : 256, e[1] ? e[1] : 256, le16(e + 6)};
    }
    const uint8_t* e = p + 6 + 16 * chooseIconImage(entries);
    const uint64_t length = le32(e + 8), at = le32(e + 12);
    if (at > file.size() || length > file.size() - at)
        return CDecodedPicture::invalid("the icon file is truncated");
    return decodeIconImage(file.subspan(size_t(at), size_t(length)));
}

} // namespace tgw

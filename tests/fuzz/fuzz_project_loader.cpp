// The project loader on arbitrary bytes. Whatever the file, opening it either succeeds or fails
// leaving the document as it was; and a document that opened writes a file that opens again to
// the same bytes when written once more.
#include "../model/test_rasteriser.h"
#include "project/project_document.h"

#include <cstdint>
#include <cstdlib>
#include <string_view>

using namespace tgw;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static test::CBlankRasteriser raster;
    CFontSettings font;
    font.kind = kFontAscii5x7;
    font.width = 5;
    font.height = 7;
    CGlyphList list(raster);
    list.addCharacters(u"AB", font, {});
    const CGlyphEntry* first = &list.at(0);
    const CGlyphEntry* second = &list.at(1);

    // Few dots without rows, so that one run stays small; the bound itself is a unit test's.
    CProjectLoadLimits limits;
    limits.freeDots = 1 << 20;
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    Status opened = openProjectBytes(list, bytes, limits);
    if (!opened) {
        if (opened.error().empty() || list.size() != 2 || &list.at(0) != first ||
            &list.at(1) != second)
            std::abort();
        return 0;
    }
    for (size_t i = 0; i < list.size(); ++i) {
        const CGlyphEntry& e = list.at(i);
        if (!e.hasDots() || !validMatrixSize(e.matrix().width(), e.matrix().height()) ||
            e.width() != e.matrix().width() || e.height() != e.matrix().height())
            std::abort();
    }

    const CLocalTime stamp{2024, 5, 1, 13, 45, 12};
    Result<std::string> written = writeProject(list, stamp);
    if (!written)
        std::abort();
    CGlyphList again(raster);
    if (!loadProject(again, *written, limits) || again.size() != list.size())
        std::abort();
    Result<std::string> rewritten = writeProject(again, stamp);
    if (!rewritten || *rewritten != *written)
        std::abort();
    return 0;
}

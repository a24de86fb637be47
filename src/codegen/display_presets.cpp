#include "codegen/display_presets.h"

#include <algorithm>
#include <cctype>

namespace tgw {
namespace {

// Page-mode controllers: the memory is pages of eight dot rows; each byte is one column of a
// page, bit 0 its top row, and writing walks a page left to right before the next page. That
// is dot order 3 (columns, top dot in bit 0) with byte order 0.
//
// Row-organised memories (graphic RAM, shift-register panels, e-paper) hold each dot row as
// bytes left to right, the leftmost dot in bit 7: dot order 0, byte order 0.
constexpr CDisplayPreset kPresets[] = {
    {"ssd1306", "SSD1306 / SSD1309 / SH1106 OLED", 3, 0, 1, 8, 0, 0, false, false,
     "pages of 8 rows; byte k of page p is column k, bit 0 the top row of the page"},
    {"st7565", "ST7565 / ST7567 / UC1701 LCD", 3, 0, 1, 8, 0, 0, false, false,
     "pages of 8 rows; byte k of page p is column k, D0 the top row of the page"},
    {"pcd8544", "PCD8544 (84x48 LCD)", 3, 0, 1, 8, 0, 0, false, false,
     "6 banks of 8 rows, horizontal addressing; byte x of bank y is column x, D0 on top"},
    {"st7920", "ST7920 graphic RAM", 0, 0, 16, 1, 0, 0, false, false,
     "rows of 16-bit words, high byte first, the leftmost dot in the word's top bit"},
    {"hd44780", "HD44780 custom character (CGRAM)", 1, 0, 1, 1, 5, 8, false, true,
     "8 bytes a character, one a row top down; bits 4..0 are the dots left to right"},
    {"max7219", "MAX7219 8x8 module", 0, 0, 1, 1, 8, 8, false, false,
     "digit registers 1..8 are the rows top down; D7 is the leftmost LED (FC-16 wiring)"},
    {"hub12", "HUB08 / HUB12 LED panel", 0, 0, 8, 1, 0, 0, false, false,
     "each row shifted in as bytes left to right, most significant bit (leftmost dot) first"},
    {"ssd1680", "SSD1680 e-paper", 0, 0, 8, 1, 0, 0, true, false,
     "rows of bytes, the leftmost dot in bit 7; a set bit is white, so lit dots are sent as 0"},
};

bool sameName(std::string_view a, std::string_view b) {
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
               return std::tolower(static_cast<unsigned char>(x)) ==
                      std::tolower(static_cast<unsigned char>(y));
           });
}

} // namespace

std::span<const CDisplayPreset> displayPresets() {
    return kPresets;
}

const CDisplayPreset* findDisplayPreset(std::string_view name) {
    for (const CDisplayPreset& p : kPresets)
        if (sameName(p.name, name))
            return &p;
    return nullptr;
}

std::vector<const CDisplayPreset*> presetsMatching(int dotOrder, int byteOrder) {
    std::vector<const CDisplayPreset*> out;
    for (const CDisplayPreset& p : kPresets)
        if (p.dotOrder == dotOrder && p.byteOrder == byteOrder)
            out.push_back(&p);
    return out;
}

std::string presetRequirements(const CDisplayPreset& p) {
    std::string out;
    auto add = [&out](const std::string& s) { out += (out.empty() ? "" : "; ") + s; };
    if (p.cellWidth > 0)
        add("a fixed " + std::to_string(p.cellWidth) + "x" + std::to_string(p.cellHeight) +
            " cell");
    if (p.widthMultiple > 1)
        add("width a multiple of " + std::to_string(p.widthMultiple));
    if (p.heightMultiple > 1)
        add("height a multiple of " + std::to_string(p.heightMultiple));
    if (p.mirror)
        add("mirror the matrix left-right");
    if (p.invert)
        add("invert the dots (1 is white)");
    return out;
}

bool presetFitsSize(const CDisplayPreset& p, int width, int height) {
    if (p.cellWidth > 0 && (width != p.cellWidth || height != p.cellHeight))
        return false;
    return width > 0 && height > 0 && width % p.widthMultiple == 0 &&
           height % p.heightMultiple == 0;
}

} // namespace tgw

#include "codegen/display_presets.h"

#include "base/screen_text.h"

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
//
// Titles and memory notes are screen texts: tgw prints them as written, the window in the
// user's language through screenText("tgw::core::presets", …).
constexpr CDisplayPreset kPresets[] = {
    {"ssd1306", TGW_TR_EN_NOOP("tgw::core::presets", "SSD1306 / SSD1309 / SH1106 OLED"), 3, 0, 1, 8,
     0, 0, false, false,
     TGW_TR_EN_NOOP(
         "tgw::core::presets",
         "pages of 8 rows; byte k of page p is column k, bit 0 the top row of the page")},
    {"st7565", TGW_TR_EN_NOOP("tgw::core::presets", "ST7565 / ST7567 / UC1701 LCD"), 3, 0, 1, 8, 0,
     0, false, false,
     TGW_TR_EN_NOOP("tgw::core::presets",
                    "pages of 8 rows; byte k of page p is column k, D0 the top row of the page")},
    {"pcd8544", TGW_TR_EN_NOOP("tgw::core::presets", "PCD8544 (84x48 LCD)"), 3, 0, 1, 8, 0, 0,
     false, false,
     TGW_TR_EN_NOOP(
         "tgw::core::presets",
         "6 banks of 8 rows, horizontal addressing; byte x of bank y is column x, D0 on top")},
    {"st7920", TGW_TR_EN_NOOP("tgw::core::presets", "ST7920 graphic RAM"), 0, 0, 16, 1, 0, 0, false,
     false,
     TGW_TR_EN_NOOP(
         "tgw::core::presets",
         "rows of 16-bit words, high byte first, the leftmost dot in the word's top bit")},
    {"hd44780", TGW_TR_EN_NOOP("tgw::core::presets", "HD44780 custom character (CGRAM)"), 1, 0, 1,
     1, 5, 8, false, true,
     TGW_TR_EN_NOOP(
         "tgw::core::presets",
         "8 bytes a character, one a row top down; bits 4..0 are the dots left to right")},
    {"max7219", TGW_TR_EN_NOOP("tgw::core::presets", "MAX7219 8x8 module"), 0, 0, 1, 1, 8, 8, false,
     false,
     TGW_TR_EN_NOOP(
         "tgw::core::presets",
         "digit registers 1..8 are the rows top down; D7 is the leftmost LED (FC-16 wiring)")},
    {"hub12", TGW_TR_EN_NOOP("tgw::core::presets", "HUB08 / HUB12 LED panel"), 0, 0, 8, 1, 0, 0,
     false, false,
     TGW_TR_EN_NOOP(
         "tgw::core::presets",
         "each row shifted in as bytes left to right, most significant bit (leftmost dot) first")},
    {"ssd1680", TGW_TR_EN_NOOP("tgw::core::presets", "SSD1680 e-paper"), 0, 0, 8, 1, 0, 0, true,
     false,
     TGW_TR_EN_NOOP("tgw::core::presets", "rows of bytes, the leftmost dot in bit 7; a set bit is "
                                          "white, so lit dots are sent as 0")},
    // Grey-scale controllers: a byte holds two 4-bit or four 2-bit dots of a row.
    {"ssd1322", TGW_TR_EN_NOOP("tgw::core::presets", "SSD1322 grey OLED (4 bits a dot)"), 0, 0, 4,
     1, 0, 0, false, false,
     TGW_TR_EN_NOOP(
         "tgw::core::presets",
         "rows of 4-bit dots, two a byte, D7..D4 the left dot (nibble re-map on, as 256x64 modules "
         "are set up); a column address covers 4 dots; level 15 is brightest"),
     nullptr, 4},
    {"ssd1327", TGW_TR_EN_NOOP("tgw::core::presets", "SSD1327 grey OLED (4 bits a dot)"), 1, 0, 2,
     1, 0, 0, false, false,
     TGW_TR_EN_NOOP(
         "tgw::core::presets",
         "rows of 4-bit dots, two a byte, D3..D0 the left dot (re-map register A0h at its reset "
         "value 00h); level 15 is brightest"),
     nullptr, 4},
    {"ssd1606", TGW_TR_EN_NOOP("tgw::core::presets", "SSD1606 4-grey e-paper (2 bits a dot)"), 0, 0,
     4, 1, 0, 0, true, false,
     TGW_TR_EN_NOOP(
         "tgw::core::presets",
         "rows of 2-bit dots, four a byte, D7..D6 the left dot; 00 is black and 11 white, so the "
         "levels are sent inverted"),
     nullptr, 2},
};

// Panels: the controller's memory covers exactly the glass, so a frame is one matrix of the
// screen's size in the panel's native orientation (the way its rows of memory run). E-paper
// panels are natively portrait: the source lines (the X of the memory, bytes of eight dots,
// bit 7 leftmost) run along the short side, the gate lines (Y) along the long one.
constexpr CDisplayPreset kPanels[] = {
    {"epd213", TGW_TR_EN_NOOP("tgw::core::presets", "2.13\" e-paper 122x250 (SSD1680)"), 0, 0, 1, 1,
     122, 250, true, false,
     TGW_TR_EN_NOOP(
         "tgw::core::presets",
         "250 rows top down of 16 bytes (122 dots, the last 6 bits unused), bit 7 the leftmost "
         "dot; a set bit is white"),
     "SSD1680"},
    {"epd290", TGW_TR_EN_NOOP("tgw::core::presets", "2.9\" e-paper 128x296 (SSD1680)"), 0, 0, 1, 1,
     128, 296, true, false,
     TGW_TR_EN_NOOP("tgw::core::presets",
                    "296 rows top down of 16 bytes, bit 7 the leftmost dot; a set bit is white"),
     "SSD1680"},
    {"epd420", TGW_TR_EN_NOOP("tgw::core::presets", "4.2\" e-paper 400x300 (SSD1683)"), 0, 0, 1, 1,
     400, 300, true, false,
     TGW_TR_EN_NOOP("tgw::core::presets",
                    "300 rows top down of 50 bytes, bit 7 the leftmost dot; a set bit is white"),
     "SSD1683"},
    {"oled12864", TGW_TR_EN_NOOP("tgw::core::presets", "0.96\"/1.3\" OLED 128x64 (SSD1306)"), 3, 0,
     1, 1, 128, 64, false, false,
     TGW_TR_EN_NOOP(
         "tgw::core::presets",
         "8 pages of 8 rows, 128 bytes a page; byte k of page p is column k, bit 0 on top"),
     "SSD1306"},
    {"oled12832", TGW_TR_EN_NOOP("tgw::core::presets", "0.91\" OLED 128x32 (SSD1306)"), 3, 0, 1, 1,
     128, 32, false, false,
     TGW_TR_EN_NOOP(
         "tgw::core::presets",
         "4 pages of 8 rows, 128 bytes a page; byte k of page p is column k, bit 0 on top"),
     "SSD1306"},
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

std::span<const CDisplayPreset> panelPresets() {
    return kPanels;
}

std::vector<const CDisplayPreset*> allPresets() {
    std::vector<const CDisplayPreset*> out;
    for (const CDisplayPreset& p : kPresets)
        out.push_back(&p);
    for (const CDisplayPreset& p : kPanels)
        out.push_back(&p);
    return out;
}

bool isPresetRotation(int degrees) {
    return degrees == 0 || degrees == 90 || degrees == 180 || degrees == 270;
}

const CDisplayPreset* findDisplayPreset(std::string_view name) {
    for (const CDisplayPreset* p : allPresets())
        if (sameName(p->name, name))
            return p;
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
    if (p.controller)
        add("the whole " + std::to_string(p.cellWidth) + "x" + std::to_string(p.cellHeight) +
            " screen (" + (p.cellWidth < p.cellHeight ? "portrait" : "landscape") +
            "; --rotate turns it)");
    else if (p.cellWidth > 0)
        add("a fixed " + std::to_string(p.cellWidth) + "x" + std::to_string(p.cellHeight) +
            " cell");
    if (p.widthMultiple > 1)
        add("width a multiple of " + std::to_string(p.widthMultiple));
    if (p.heightMultiple > 1)
        add("height a multiple of " + std::to_string(p.heightMultiple));
    if (p.mirror)
        add("mirror the matrix left-right");
    if (p.invert)
        add(p.depth > 1 ? "invert the levels (the highest is white)"
                        : "invert the dots (1 is white)");
    if (p.depth > 1)
        add(std::to_string(p.depth) + " bits a dot (--depth " + std::to_string(p.depth) + ")");
    return out;
}

bool presetFitsSize(const CDisplayPreset& p, int width, int height) {
    if (p.cellWidth > 0 && (width != p.cellWidth || height != p.cellHeight))
        return false;
    return width > 0 && height > 0 && width % p.widthMultiple == 0 &&
           height % p.heightMultiple == 0;
}

std::string presetProblem(const CDisplayPreset& p, int width, int height, int rotation, int depth) {
    if (depth > 0 && depth != p.depth)
        return std::to_string(depth) + (depth == 1 ? " bit" : " bits") + " a dot, not the " +
               std::to_string(p.depth) + " of the memory";
    const bool turned = rotation == 90 || rotation == 270;
    // The needs hold for the matrix as the memory takes it: a quarter turn swaps its sides.
    const int w = turned ? height : width, h = turned ? width : height;
    const std::string size = std::to_string(width) + "x" + std::to_string(height);
    if (p.cellWidth > 0 && (w != p.cellWidth || h != p.cellHeight)) {
        const int cw = turned ? p.cellHeight : p.cellWidth;
        const int ch = turned ? p.cellWidth : p.cellHeight;
        return "the matrix is " + size + ", not " +
               std::string(p.controller ? "the " : "the fixed ") + std::to_string(cw) + "x" +
               std::to_string(ch) + (p.controller ? " of the screen" : " cell") +
               (rotation ? " turned " + std::to_string(rotation) : std::string());
    }
    if (w % p.widthMultiple != 0)
        return (turned ? "height " + std::to_string(height) : "width " + std::to_string(width)) +
               " is not a multiple of " + std::to_string(p.widthMultiple);
    if (h % p.heightMultiple != 0)
        return (turned ? "width " + std::to_string(width) : "height " + std::to_string(height)) +
               " is not a multiple of " + std::to_string(p.heightMultiple);
    return {};
}

std::string presetEffects(const CDisplayPreset& p) {
    std::string out;
    auto add = [&out](const char* s) { out += (out.empty() ? "" : "; ") + std::string(s); };
    if (p.mirror)
        add("mirrors each row left-right");
    if (p.invert)
        add(p.depth > 1 ? "inverts the levels (the highest sent as 0)"
                        : "inverts the dots (lit dots sent as 0)");
    if (p.depth > 1)
        add(p.depth == 4 ? "draws 4-bit grey levels" : "draws 2-bit grey levels");
    if (p.controller)
        add("turns the picture by --rotate into the panel's native orientation");
    return out.empty() ? "no change to the dots, only the orders" : out;
}

} // namespace tgw

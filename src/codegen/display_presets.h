#pragma once

#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace tgw {

// A display controller (or module family) and the dot and byte orders that write a matrix
// straight into its memory, with whatever else the controller asks of the matrix.
struct CDisplayPreset {
    const char* name;       // short name for tgw --preset, lower case: "ssd1306"
    const char* title;      // the controllers it covers, as the drop-down shows them
    int dotOrder;           // POINTSSEQ
    int byteOrder;          // BYTESSEQ
    int widthMultiple = 1;  // the matrix width must be a multiple of this
    int heightMultiple = 1; // the matrix height must be a multiple of this
    int cellWidth = 0;      // a fixed cell, 0 when any size goes
    int cellHeight = 0;
    bool invert = false; // a set bit shows the background: invert the dots before encoding
    bool mirror = false; // the row bits run the other way: mirror the matrix left-right
    const char* memory;  // one line on how the controller lays out its memory
};

// Every preset, in the order the drop-down lists them.
std::span<const CDisplayPreset> displayPresets();

// The preset of this short name (case-insensitive), or nullptr.
const CDisplayPreset* findDisplayPreset(std::string_view name);

// The presets whose dot and byte orders are these.
std::vector<const CDisplayPreset*> presetsMatching(int dotOrder, int byteOrder);

// What the preset asks of the matrix beyond its orders, in one line ("height a multiple of 8");
// empty when nothing.
std::string presetRequirements(const CDisplayPreset& preset);

// Whether a width × height matrix suits the preset (multiples and fixed cell).
bool presetFitsSize(const CDisplayPreset& preset, int width, int height);

} // namespace tgw

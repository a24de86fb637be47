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
    // Panels only: the controller the panel carries ("SSD1680"), nullptr for a controller
    // preset. A panel's cell is its whole screen in its native orientation.
    const char* controller = nullptr;
    int depth = 1; // bits a dot of the memory: 1, or 2 and 4 for grey-scale controllers
};

// Every controller preset, in the order the drop-down lists them.
std::span<const CDisplayPreset> displayPresets();

// The panel presets: modules whose panel fixes the geometry (a frame of the whole screen).
std::span<const CDisplayPreset> panelPresets();

// Controllers, then panels: every preset a name or the drop-down can choose.
std::vector<const CDisplayPreset*> allPresets();

// Whether `degrees` is a mounting rotation a preset takes: 0, 90, 180 or 270.
bool isPresetRotation(int degrees);

// The preset (controller or panel) of this short name (case-insensitive), or nullptr.
const CDisplayPreset* findDisplayPreset(std::string_view name);

// The controller presets whose dot and byte orders are these.
std::vector<const CDisplayPreset*> presetsMatching(int dotOrder, int byteOrder);

// What the preset asks of the matrix beyond its orders, in one line ("height a multiple of 8");
// empty when nothing.
std::string presetRequirements(const CDisplayPreset& preset);

// Whether a width × height matrix suits the preset (multiples and fixed cell).
bool presetFitsSize(const CDisplayPreset& preset, int width, int height);

// What is wrong with a width × height matrix (as the viewer sees it) under the preset on a
// display mounted `rotation` degrees clockwise, in one line ("width 12 is not a multiple of
// 8"); empty when it suits. A quarter turn swaps the sides the needs are checked against.
// A matrix of `depth` bits a dot (0: not checked) that is not the preset's depth is wrong too.
std::string presetProblem(const CDisplayPreset& preset, int width, int height, int rotation = 0,
                          int depth = 0);

// What the preset does to the dots, one line in English: "mirrored left-right; inverted".
// "no change to the dots" when it only chooses orders.
std::string presetEffects(const CDisplayPreset& preset);

} // namespace tgw

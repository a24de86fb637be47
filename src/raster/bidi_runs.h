#pragma once

#include <cstddef>
#include <cstdint>
#include <string_view>
#include <vector>

namespace tgw {

// A stretch of a line written in one direction and one script: what one shaping call takes.
struct CDirectionRun {
    size_t start = 0; // in UTF-16 units
    size_t length = 0;
    bool rightToLeft = false;
    uint32_t script = 0; // a HarfBuzz script tag; 0 when the run holds no letters
};

// The runs of one line in visual order, left to right, for a paragraph read left to right or
// right to left. A simplified bidirectional algorithm that is enough for lines of Latin, CJK,
// Hebrew and Arabic: letters are strong in their script's direction, digits read left to
// right, combining marks go with the character before them, and other neutral characters take
// the direction of the letters on both sides when those agree, else the paragraph's. Runs of
// the other direction than the paragraph's are embedded in it (levels 0/1, or 1/2).
std::vector<CDirectionRun> directionRuns(std::u16string_view line, bool rightToLeftParagraph);

} // namespace tgw

#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

namespace tgw {

// Matrices are 1 to 2048 dots on each side everywhere: entries, project files, strings, pictures.
constexpr int kMaxMatrixSide = 2048;

inline bool validMatrixSize(long width, long height) {
    return width >= 1 && width <= kMaxMatrixSide && height >= 1 && height <= kMaxMatrixSide;
}

// Bits a dot: 1 (dark or lit, the default), or 2, 4 and 8 for grey levels.
constexpr int kDepths[] = {1, 2, 4, 8};

inline bool validDepth(long depth) {
    return depth == 1 || depth == 2 || depth == 4 || depth == 8;
}

// The highest level of a depth: fully lit.
inline uint8_t maxLevelOf(int depth) {
    return uint8_t((1u << depth) - 1);
}

// An 8-bit coverage or brightness (0 … 255) as a level of `depth`, rounded to the nearest:
// (v × (2^depth − 1) + 127) / 255.
inline uint8_t levelOfCoverage(unsigned v, int depth) {
    return uint8_t((v * maxLevelOf(depth) + 127) / 255);
}

// The character a level is drawn with in text (tgw render, the comments of grey code): the ramp
// ".',:;-~=+*ox%&@#" from dark to fully lit, 16 steps. At 4 bits each level has its own
// character; at 2 bits the levels 0 … 3 are '.', '-', 'o' and '#'; in general a level L of the
// highest M is the character L × 15 / M (at 8 bits one for about 17 levels); at 1 bit dark is
// '.' and lit '#'.
inline char levelChar(unsigned level, int depth) {
    static constexpr char kRamp[] = ".',:;-~=+*ox%&@#";
    const unsigned top = maxLevelOf(depth);
    return kRamp[level >= top ? 15 : level * 15 / top];
}

// Width × height dots, rows top to bottom, one byte per dot holding its level: 0 dark,
// maxLevel() fully lit (1 at depth 1). A dot is lit when its level is above 0.
class CDotMatrix {
public:
    CDotMatrix() = default;
    // All dots dark. The caller keeps the size within validMatrixSize() and the depth valid.
    CDotMatrix(int width, int height, int depth = 1)
        : m_width(width), m_height(height), m_depth(uint8_t(depth)),
          m_dots(size_t(width) * size_t(height), 0) {}

    int width() const { return m_width; }
    int height() const { return m_height; }
    bool empty() const { return m_dots.empty(); }
    int depth() const { return m_depth; }
    bool grey() const { return m_depth > 1; }
    uint8_t maxLevel() const { return maxLevelOf(m_depth); }

    uint8_t level(int row, int col) const { return m_dots[size_t(row) * m_width + col]; }
    // The caller keeps `level` within maxLevel().
    void setLevel(int row, int col, uint8_t level) { m_dots[size_t(row) * m_width + col] = level; }
    bool lit(int row, int col) const { return level(row, col) != 0; }
    // Lit is the highest level.
    void set(int row, int col, bool on) { setLevel(row, col, on ? maxLevel() : 0); }
    bool contains(int row, int col) const {
        return row >= 0 && col >= 0 && row < m_height && col < m_width;
    }

    uint8_t* row(int r) { return m_dots.data() + size_t(r) * m_width; }
    const uint8_t* row(int r) const { return m_dots.data() + size_t(r) * m_width; }
    const std::vector<uint8_t>& dots() const { return m_dots; }

    int litCount() const;
    void clear();

    // The same dots at another depth, each level scaled to the nearest of the new depth (lit
    // stays lit at a greater depth; going down, a level below half of the old step goes dark).
    CDotMatrix atDepth(int depth) const;

    bool operator==(const CDotMatrix&) const = default;

private:
    int m_width = 0;
    int m_height = 0;
    uint8_t m_depth = 1;
    std::vector<uint8_t> m_dots;
};

} // namespace tgw

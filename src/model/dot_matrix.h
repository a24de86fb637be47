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

// Width × height dots, rows top to bottom, one byte per dot: 0 dark, 255 lit.
class CDotMatrix {
public:
    static constexpr uint8_t kLit = 255;

    CDotMatrix() = default;
    // All dots dark. The caller keeps the size within validMatrixSize().
    CDotMatrix(int width, int height)
        : m_width(width), m_height(height), m_dots(size_t(width) * size_t(height), 0) {}

    int width() const { return m_width; }
    int height() const { return m_height; }
    bool empty() const { return m_dots.empty(); }

    bool lit(int row, int col) const { return m_dots[size_t(row) * m_width + col] != 0; }
    void set(int row, int col, bool on) { m_dots[size_t(row) * m_width + col] = on ? kLit : 0; }
    bool contains(int row, int col) const {
        return row >= 0 && col >= 0 && row < m_height && col < m_width;
    }

    uint8_t* row(int r) { return m_dots.data() + size_t(r) * m_width; }
    const uint8_t* row(int r) const { return m_dots.data() + size_t(r) * m_width; }
    const std::vector<uint8_t>& dots() const { return m_dots; }

    int litCount() const;
    void clear();

    bool operator==(const CDotMatrix&) const = default;

private:
    int m_width = 0;
    int m_height = 0;
    std::vector<uint8_t> m_dots;
};

} // namespace tgw

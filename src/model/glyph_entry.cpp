#include "model/glyph_entry.h"

#include <algorithm>

namespace tgw {

void CGlyphEntry::setSize(int width, int height) {
    if (width == m_width && height == m_height)
        return;
    m_width = width;
    m_height = height;
    if (m_owner)
        m_owner->entryResized(*this);
}

void CGlyphEntry::takeRendered(CDotMatrix matrix) {
    setSize(matrix.width(), matrix.height());
    m_matrix = std::move(matrix);
    if (m_owner)
        m_owner->dotsChanged(*this);
}

void CGlyphEntry::setMatrix(CDotMatrix matrix) {
    m_inkLoss = {};
    takeRendered(std::move(matrix));
}

bool CGlyphEntry::setDot(int row, int col, bool on) {
    return setDotLevel(row, col, on ? m_matrix.maxLevel() : 0);
}

bool CGlyphEntry::setDotLevel(int row, int col, uint8_t level) {
    level = std::min(level, m_matrix.maxLevel());
    if (!m_matrix.contains(row, col) || m_matrix.level(row, col) == level)
        return false;
    m_matrix.setLevel(row, col, level);
    if (m_owner)
        m_owner->dotsChanged(*this);
    return true;
}

void CGlyphEntry::freeDots() {
    m_inkLoss = {};
    m_matrix = CDotMatrix();
    if (m_owner)
        m_owner->dotsChanged(*this);
}

void CGlyphEntry::restore(int width, int height, CDotMatrix matrix) {
    setSize(width, height);
    m_inkLoss = {};
    m_matrix = std::move(matrix);
    if (m_owner)
        m_owner->dotsChanged(*this);
}

bool CFontEntry::setFont(const CFontSettings& font) {
    if (m_font.same(font) || !font.usable())
        return false;
    m_font = font;
    freeDots();
    return true;
}

CCharEntry::CCharEntry(IRasteriser& rasteriser, char16_t code, const CFontSettings& font)
    : CFontEntry(rasteriser), m_code(code), m_ansi(ansiForm(code)) {
    m_font = font;
    setSize(font.width, font.height);
}

bool CCharEntry::setFont(const CFontSettings& font) {
    if (!CFontEntry::setFont(font))
        return false;
    setSize(font.width, font.height);
    return true;
}

Status CCharEntry::render() {
    CDotMatrix dots;
    Status s = rasteriser().renderCharacter(m_code, m_ansi, m_font, dots);
    if (!s)
        return s;
    setInkLoss(rasteriser().lastInkLoss());
    takeRendered(std::move(dots));
    return s;
}

CStringEntry::CStringEntry(IRasteriser& rasteriser, std::u16string text, bool rightToLeft,
                           const CFontSettings& font)
    : CFontEntry(rasteriser), m_text(std::move(text)), m_rtl(rightToLeft) {
    m_font = font;
}

void CStringEntry::setRightToLeft(bool on) {
    if (on == m_rtl)
        return;
    m_rtl = on;
    if (!m_text.empty()) {
        freeDots();
    }
}

int CStringEntry::lineCount() const {
    int lines = 1;
    for (char16_t c : m_text)
        lines += c == u'\n';
    return lines;
}

Status CStringEntry::render() {
    CDotMatrix dots;
    Status s = rasteriser().renderString(m_text, m_rtl, m_font, dots);
    if (!s)
        return s;
    setInkLoss(rasteriser().lastInkLoss());
    takeRendered(std::move(dots));
    return s;
}

CPictureEntry::CPictureEntry(IRasteriser& rasteriser, std::u16string path, uint8_t threshold)
    : CGlyphEntry(rasteriser), m_path(std::move(path)) {
    m_options.threshold = threshold;
}

CPictureEntry::CPictureEntry(IRasteriser& rasteriser, std::u16string path,
                             const CPictureOptions& options)
    : CGlyphEntry(rasteriser), m_path(std::move(path)), m_options(options) {}

bool CPictureEntry::setThreshold(uint8_t threshold) {
    CPictureOptions options = m_options;
    options.threshold = threshold;
    return setOptions(options);
}

bool CPictureEntry::setOptions(const CPictureOptions& options) {
    if (options == m_options)
        return false;
    m_options = options;
    freeDots();
    return true;
}

Status CPictureEntry::render() {
    CDotMatrix dots;
    Status s = m_options.plain() ? rasteriser().renderPicture(m_path, m_options.threshold, dots)
                                 : rasteriser().renderPictureWith(m_path, m_options, dots);
    if (!s)
        return s;
    takeRendered(std::move(dots));
    return s;
}

} // namespace tgw

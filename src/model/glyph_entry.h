#pragma once

#include "base/codepage.h"
#include "base/result.h"
#include "model/dot_matrix.h"
#include "model/font_settings.h"
#include "model/rasteriser.h"

#include <cstdint>
#include <string>

namespace tgw {

class CGlyphEntry;

// What holds entries (the glyph list) and hears of their changes.
class IEntryOwner {
public:
    virtual ~IEntryOwner() = default;
    // The entry's matrix size changed.
    virtual void entryResized(CGlyphEntry& entry) = 0;
    // Its dots changed, or went (freed).
    virtual void dotsChanged(CGlyphEntry& entry) = 0;
};

enum EEntryKind : int { kEntryCharacter = 1, kEntryPicture = 2, kEntryString = 3 };

// One matrix with the parameters that produced it. An entry knows its matrix size before it is
// rendered; its dots exist once render() succeeded, or once they were set from outside (a
// project file, an edit). The list that holds an entry is told of size and dot changes.
class CGlyphEntry {
public:
    explicit CGlyphEntry(IRasteriser& rasteriser) : m_rasteriser(&rasteriser) {}
    virtual ~CGlyphEntry() = default;
    CGlyphEntry(const CGlyphEntry&) = delete;
    CGlyphEntry& operator=(const CGlyphEntry&) = delete;

    virtual int kind() const = 0;
    bool isCharacter() const { return kind() == kEntryCharacter; }
    bool isPicture() const { return kind() == kEntryPicture; }
    bool isString() const { return kind() == kEntryString; }

    // Builds the dots from the source. On failure the entry keeps no dots.
    virtual Status render() = 0;
    Status ensureRendered() { return hasDots() ? Status() : render(); }

    bool hasDots() const { return !m_matrix.empty(); }
    // The dots; empty until rendered.
    const CDotMatrix& matrix() const { return m_matrix; }
    int width() const { return m_width; }
    int height() const { return m_height; }

    // Replaces the dots (a project file's rows, a hand edit, a rotation). Tells the list of the
    // new size and of the changed dots.
    void setMatrix(CDotMatrix matrix);
    // Changes single dots; returns whether any dot really changed. Lit is the highest level.
    bool setDot(int row, int col, bool on);
    // A dot's level (kept within the matrix's highest).
    bool setDotLevel(int row, int col, uint8_t level);
    // Bits a dot of the dots, or of the source before they are rendered.
    virtual int depth() const = 0;
    // Frees the dots; the next ensureRendered() builds them again.
    void freeDots();
    // Puts back a size and dots taken earlier (an undo): `matrix` may be empty for an entry
    // that was not rendered then.
    void restore(int width, int height, CDotMatrix matrix);

    bool selected() const { return m_selected; }
    void setSelected(bool on) { m_selected = on; }
    bool mouseEdit() const { return m_mouseEdit; }
    void setMouseEdit(bool on) { m_mouseEdit = on; }

    int litCount() const { return m_matrix.litCount(); }

    // The ink the last render cut off at the matrix's sides; none once the dots were replaced
    // or freed (an edit, a project file's rows).
    const CInkLoss& inkLoss() const { return m_inkLoss; }

    IEntryOwner* owner() const { return m_owner; }
    void setOwner(IEntryOwner* owner) { m_owner = owner; }
    IRasteriser& rasteriser() const { return *m_rasteriser; }
    void setRasteriser(IRasteriser& r) { m_rasteriser = &r; }

protected:
    // Stores a freshly rendered matrix, announcing a size change first.
    void takeRendered(CDotMatrix matrix);
    void setSize(int width, int height);
    void setInkLoss(const CInkLoss& loss) { m_inkLoss = loss; }

private:
    IRasteriser* m_rasteriser;
    IEntryOwner* m_owner = nullptr;
    CDotMatrix m_matrix;
    CInkLoss m_inkLoss;
    int m_width = 0;
    int m_height = 0;
    bool m_selected = false;
    bool m_mouseEdit = false;
};

// Entries made with a font: characters and strings.
class CFontEntry : public CGlyphEntry {
public:
    using CGlyphEntry::CGlyphEntry;

    const CFontSettings& font() const { return m_font; }
    int depth() const override { return hasDots() ? matrix().depth() : m_font.depth; }
    // Returns false without change when the values equal the stored ones (see
    // CFontSettings::same) or cannot be rendered; otherwise stores them and frees the dots.
    virtual bool setFont(const CFontSettings& font);
    bool sameFont(const CFontSettings& font) const { return m_font.same(font); }
    // Puts back a font held before (an undo), without rendering; restore() brings the dots.
    void restoreFont(const CFontSettings& font) { m_font = font; }

protected:
    CFontSettings m_font;
};

class CCharEntry : public CFontEntry {
public:
    CCharEntry(IRasteriser& rasteriser, char16_t code, const CFontSettings& font);

    int kind() const override { return kEntryCharacter; }
    Status render() override;
    bool setFont(const CFontSettings& font) override;

    char16_t code() const { return m_code; }
    const CAnsiForm& ansi() const { return m_ansi; }

private:
    char16_t m_code;
    CAnsiForm m_ansi;
};

class CStringEntry : public CFontEntry {
public:
    CStringEntry(IRasteriser& rasteriser, std::u16string text, bool rightToLeft,
                 const CFontSettings& font);

    int kind() const override { return kEntryString; }
    Status render() override;

    const std::u16string& text() const { return m_text; }
    bool rightToLeft() const { return m_rtl; }
    void setRightToLeft(bool on);
    // Lines of the text: split at LF, a CR just before the LF dropped.
    int lineCount() const;

private:
    std::u16string m_text;
    bool m_rtl;
};

class CPictureEntry : public CGlyphEntry {
public:
    CPictureEntry(IRasteriser& rasteriser, std::u16string path, uint8_t threshold);
    CPictureEntry(IRasteriser& rasteriser, std::u16string path, const CPictureOptions& options);

    int kind() const override { return kEntryPicture; }
    Status render() override;

    const std::u16string& path() const { return m_path; }
    uint8_t threshold() const { return m_options.threshold; }
    // Returns whether the threshold changed (the dots are then freed).
    bool setThreshold(uint8_t threshold);
    const CPictureOptions& options() const { return m_options; }
    int depth() const override { return hasDots() ? matrix().depth() : m_options.depth; }
    // Returns whether anything changed (the dots are then freed).
    bool setOptions(const CPictureOptions& options);
    // Puts back a conversion held before (an undo), without rendering.
    void restoreOptions(const CPictureOptions& options) { m_options = options; }

private:
    std::u16string m_path;
    CPictureOptions m_options;
};

} // namespace tgw

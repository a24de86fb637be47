#pragma once

#include "model/glyph_entry.h"
#include "model/matrix_edits.h"

#include <cstddef>
#include <memory>
#include <optional>
#include <string_view>
#include <vector>

namespace tgw {

// What a view hears from the list. Positions are indexes into the list at the time of the call.
class IGlyphListObserver {
public:
    virtual ~IGlyphListObserver() = default;
    virtual void entriesInserted(size_t /*first*/, size_t /*count*/) {}
    // Entries were removed; `lowest` is the lowest position that was removed.
    virtual void entriesRemoved(size_t /*lowest*/) {}
    virtual void entryResized(CGlyphEntry&) {}
    virtual void dotsChanged(CGlyphEntry&) {}
    // Entries first..last (inclusive) got new dots, sizes or sources while the list was quiet:
    // their pictures are stale. When any of them changed its size, entryResized() follows for
    // the first that did; an announcement without it leaves the layout as it is.
    virtual void entriesChanged(size_t /*first*/, size_t /*last*/) {}
};

// Told of each entry a whole-selection change is about to change (before) and has changed
// (after), with its position; an entry may get a before without an after when it stays as it is.
class IEntryChangeRecorder {
public:
    virtual ~IEntryChangeRecorder() = default;
    virtual void before(size_t index, const CGlyphEntry& entry) = 0;
    virtual void after(size_t index, const CGlyphEntry& entry) = 0;
};

// How a double-click selects: plain replaces the selection, Ctrl adds, Shift clears.
enum class ESelect { Replace, Add, Clear };

struct CAddOptions {
    bool filterDuplicates = true; // FILTERREDUP
    bool filterBlanks = true;     // FILTERSPACE
    bool halfWidth = false;       // HALFWIDTH
    bool mouseEdit = false;       // MOUSEDRAW
};

// The ordered list of glyph entries, in display and output order. Owns its entries.
class CGlyphList : public IEntryOwner {
public:
    // Entries made by the list render through `rasteriser`, which must outlive the list.
    explicit CGlyphList(IRasteriser& rasteriser) : m_rasteriser(&rasteriser) {}
    ~CGlyphList();
    CGlyphList(const CGlyphList&) = delete;
    CGlyphList& operator=(const CGlyphList&) = delete;

    size_t size() const { return m_entries.size(); }
    bool empty() const { return m_entries.empty(); }
    CGlyphEntry& at(size_t i) const { return *m_entries[i]; }
    std::optional<size_t> indexOf(const CGlyphEntry& entry) const;
    size_t selectedCount() const;
    size_t unrenderedCount() const;
    IRasteriser& rasteriser() const { return *m_rasteriser; }

    // One character entry per character of `text`, with the duplicate and blank filters and the
    // half-width rule. Returns how many were appended.
    size_t addCharacters(std::u16string_view text, const CFontSettings& font,
                         const CAddOptions& options);
    // Appends an entry made elsewhere (a project file, a string or picture add).
    CGlyphEntry& append(std::unique_ptr<CGlyphEntry> entry);

    // Whether an existing string entry has this text / a picture entry this path.
    bool hasString(std::u16string_view text) const;
    bool hasPicture(std::u16string_view path) const;

    // Removes every selected entry; returns how many went.
    size_t deleteSelected();
    void deleteAll();
    // Removes `count` entries from the front or the back (the open transaction).
    void removeFront(size_t count);
    void removeBack(size_t count);

    void select(size_t index, ESelect mode);
    void selectAll();
    void clearSelection();
    void invertSelection();

    // Re-renders every selected character and string entry with `font` (a character with the
    // half-width rule). Returns the position of the first entry whose matrix size changed.
    std::optional<size_t> applyFont(const CFontSettings& font, bool halfWidth,
                                    IEntryChangeRecorder* recorder = nullptr);
    // Applies a whole-matrix edit to every selected entry, in list order; an entry that cannot
    // be rendered is skipped. Returns the position of the first entry whose size changed.
    std::optional<size_t> editSelected(EMatrixEdit edit, IEntryChangeRecorder* recorder = nullptr);
    // Gives the selected picture entries whose threshold differs the new one.
    size_t applyThreshold(uint8_t threshold, IEntryChangeRecorder* recorder = nullptr);
    // Gives the selected picture entries the conversion `options` (threshold, method,
    // inversion, scaling); returns how many changed.
    size_t applyPictureOptions(const CPictureOptions& options,
                               IEntryChangeRecorder* recorder = nullptr);

    // Takes the entries at `positions` out of the list, in that order. Positions that are not
    // ascending or not in the list take nothing.
    std::vector<std::unique_ptr<CGlyphEntry>> take(const std::vector<size_t>& positions);
    // Puts entries back where take() found them: `positions` ascending, one per entry, each a
    // place in the list that results; otherwise nothing is inserted.
    void insert(const std::vector<size_t>& positions,
                std::vector<std::unique_ptr<CGlyphEntry>> entries);

    // While quiet, per-entry size and dot changes are not passed to the observer; the caller
    // announces them afterwards in one entriesChanged(), followed by one entryResized() for the
    // first entry that changed its size while quiet (only a change of size moves the layout).
    void setQuiet(bool on);
    void announceChanged(size_t first, size_t last);
    void setMouseEdit(bool on);

    // A walk over the whole list is worth a question when more than 1000 entries are held and
    // 1000 or more of them are not rendered yet.
    bool isLargeJob() const;

    void setObserver(IGlyphListObserver* observer) { m_observer = observer; }

    // What the entries tell their list.
    void entryResized(CGlyphEntry& entry) override;
    void dotsChanged(CGlyphEntry& entry) override;

private:
    void removeWhere(size_t first, size_t last);

    IRasteriser* m_rasteriser;
    std::vector<std::unique_ptr<CGlyphEntry>> m_entries;
    IGlyphListObserver* m_observer = nullptr;
    bool m_quiet = false;
    std::vector<const CGlyphEntry*> m_resizedWhileQuiet; // compared, never followed
};

// The font a new character entry gets: the half-width rule narrows ASCII in a system font.
CFontSettings characterFont(const CFontSettings& font, char16_t code, bool halfWidth);

} // namespace tgw

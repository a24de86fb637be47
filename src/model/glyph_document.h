#pragma once

#include "model/glyph_list.h"
#include "model/undo_history.h"

#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace tgw {

// What a history step did, so that a window can name it after its command.
enum class EStepKind {
    Stroke, // a mouse stroke on one entry
    Edit,   // a whole-matrix edit over the selection (see edit())
    AddCharacters,
    AddString,
    AddPicture,
    DeleteSelected,
    DeleteAll,
    Font,      // the selected entries re-rendered with another font
    Threshold, // the selected pictures taken with another threshold
};

class CDocumentStep : public CUndoStep {
public:
    CDocumentStep(EStepKind kind, EMatrixEdit edit) : m_kind(kind), m_edit(edit) {}
    EStepKind kind() const { return m_kind; }
    EMatrixEdit edit() const { return m_edit; }

private:
    EStepKind m_kind;
    EMatrixEdit m_edit;
};

// A window showing a document hears of the list's changes and of the history's.
class IDocumentObserver : public IGlyphListObserver {
public:
    virtual void historyChanged() {}
};

// What the user edits: the glyph list, the project file it belongs to, whether it is modified
// and the history of its changes. The commands that change the list go through here, each as
// one step; windows observe the document and never own it.
class CGlyphDocument : private IGlyphListObserver {
public:
    explicit CGlyphDocument(IRasteriser& rasteriser,
                            size_t maxHistoryBytes = CUndoHistory::kDefaultMaxBytes,
                            size_t maxHistorySteps = CUndoHistory::kDefaultMaxSteps);
    ~CGlyphDocument() override;
    CGlyphDocument(const CGlyphDocument&) = delete;
    CGlyphDocument& operator=(const CGlyphDocument&) = delete;

    CGlyphList& list() { return m_list; }
    const CGlyphList& list() const { return m_list; }
    IRasteriser& rasteriser() const { return m_list.rasteriser(); }

    // The project file the document was opened from or last saved to; empty for none.
    const std::string& path() const { return m_path; }
    void setPath(std::string path) { m_path = std::move(path); }
    bool modified() const { return m_list.modified(); }

    void addObserver(IDocumentObserver* observer);
    void removeObserver(IDocumentObserver* observer);

    // ---- commands, one history step each when they change something ----
    size_t addCharacters(std::u16string_view text, const CFontSettings& font,
                         const CAddOptions& options);
    // A string or picture entry (kind AddString or AddPicture).
    CGlyphEntry& append(std::unique_ptr<CGlyphEntry> entry, EStepKind kind);
    size_t deleteSelected();
    void deleteAll();
    // As CGlyphList::editSelected / applyFont / applyThreshold.
    std::optional<size_t> editSelected(EMatrixEdit edit);
    std::optional<size_t> applyFont(const CFontSettings& font, bool halfWidth);
    size_t applyThreshold(uint8_t threshold);
    size_t applyPictureOptions(const CPictureOptions& options);

    // A mouse stroke on entry `index`: the dots it changes between begin and end become one
    // step; a stroke that changes nothing leaves no step.
    void beginStroke(size_t index);
    void endStroke();

    // ---- history ----
    const CUndoHistory& history() const { return m_history; }
    const CDocumentStep* undoStep() const;
    const CDocumentStep* redoStep() const;
    bool undo();
    bool redo();
    // New and Open: no history, and the current state is the clean one.
    void clearHistory();

private:
    // IGlyphListObserver: passed on to the observers.
    void entriesInserted(size_t first, size_t count) override;
    void entriesRemoved(size_t lowest) override;
    void entryResized(CGlyphEntry& entry) override;
    void dotsChanged(CGlyphEntry& entry) override;
    void modifiedChanged(bool modified) override;
    void entriesChanged(size_t first, size_t last) override;

    // One step of a change over the selection: `change(recorder)` runs with the list quiet,
    // recording each entry before and after; the changed range is announced once, and the step
    // is pushed when anything changed. Returns what `change` returned.
    template <class Change> auto changeSelection(EStepKind kind, EMatrixEdit edit, Change change);
    void push(std::unique_ptr<CDocumentStep> step);
    void followClean();
    void historyChanged();
    size_t firstSelected() const;
    size_t removeAt(std::vector<size_t> positions, EStepKind kind);

    CGlyphList m_list;
    std::string m_path;
    CUndoHistory m_history;
    std::vector<IDocumentObserver*> m_observers;

    struct CStroke {
        const CGlyphEntry* entry = nullptr;
        size_t index = 0;
        int width = 0;
        int height = 0;
        CDotMatrix before;
    };
    std::optional<CStroke> m_stroke;
};

} // namespace tgw

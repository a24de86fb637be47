#pragma once

#include "base/result.h"
#include "model/glyph_list.h"
#include "model/settings.h"
#include "model/undo_history.h"
#include "project/project_file.h"

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

// One step of the history. Its label names it in the edit menu: the text of the command that
// made it, untranslated (the window translates it as it shows it); nullptr when the caller
// gave none.
class CDocumentStep : public CUndoStep {
public:
    CDocumentStep(EStepKind kind, EMatrixEdit edit, const char* label)
        : m_kind(kind), m_edit(edit), m_label(label) {}
    EStepKind kind() const { return m_kind; }
    EMatrixEdit edit() const { return m_edit; }
    const char* label() const { return m_label; }

private:
    EStepKind m_kind;
    EMatrixEdit m_edit;
    const char* m_label;
};

// A window showing a document hears of the list's changes, of the history's (which includes
// the document becoming modified or unmodified) and of the settings'.
class IDocumentObserver : public IGlyphListObserver {
public:
    virtual void historyChanged() {}
    virtual void settingsChanged() {}
};

// What the user edits: the glyph list, the project file it belongs to, the history of its
// changes (whose clean point says whether it is modified) and the settings the commands use,
// with the profile they are kept in. The commands that change the list go through here, each
// as one step; windows observe the document and never own it.
class CGlyphDocument : private IGlyphListObserver {
public:
    explicit CGlyphDocument(IRasteriser& rasteriser,
                            size_t maxHistoryBytes = CUndoHistory::kDefaultMaxBytes,
                            size_t maxHistorySteps = CUndoHistory::kDefaultMaxSteps);
    ~CGlyphDocument() override;
    CGlyphDocument(const CGlyphDocument&) = delete;
    CGlyphDocument& operator=(const CGlyphDocument&) = delete;

    const CGlyphList& list() const { return m_list; }
    IRasteriser& rasteriser() const { return m_list.rasteriser(); }

    // The list's entries for the few who change an entry in place outside a command (the
    // view's dots of a mouse stroke between beginStroke() and endStroke(), the lazy render of
    // an entry not drawn yet) and for selecting. Everything else reads list().
    CGlyphList& entries() { return m_list; }

    // ---- settings and profile ----
    // What the commands use. Settings that only the next command reads may be set here
    // directly; those a window shows (cell size, colours, mouse editing) change through
    // changeSettings(), which tells the observers.
    CSettings& settings() { return m_settings; }
    const CSettings& settings() const { return m_settings; }
    template <class Change> void changeSettings(Change change) {
        change(m_settings);
        settingsChanged();
    }
    void settingsChanged();
    // Reads the settings from the profile at `path` (the system GUI face being the default
    // face). A profile that cannot be read gives the defaults, fails saying why, and is never
    // written over by saveProfile().
    Status loadProfile(const std::string& path, const CSystemFont& systemFont = {});
    // Writes the settings into the profile loaded, read again first so that what other
    // programs wrote meanwhile into other sections survives. Nothing when no profile was
    // loaded or it could not be read.
    Status saveProfile() const;

    // ---- project files ----
    // The project file the document was opened from or last saved to; empty for none.
    const std::string& path() const { return m_path; }
    // Whether anything changed since the document was opened, saved or made new: the
    // history is away from its clean point.
    bool modified() const { return !m_history.isClean(); }
    // New: no entries, no file, no history, unmodified.
    void newProject();
    // Open: the file's entries replace the document's, the history starts afresh and the
    // document is unmodified. On failure the document is exactly as before.
    Status open(const std::string& path, const CProjectLoadLimits& limits = {});
    // Save and Save As: writes the document to `target` and makes it the document's file and
    // the current state the clean one. An unmodified document saved to its own file writes
    // nothing (see saveNeeded()). On failure the document and the file are as before.
    Status save(const std::string& target, const CLocalTime& stamp = currentLocalTime(),
                bool force = false);
    bool saveNeeded(const std::string& target) const;

    void addObserver(IDocumentObserver* observer);
    void removeObserver(IDocumentObserver* observer);

    // ---- commands, one history step each when they change something ----
    // `label` names the step (see CDocumentStep); it must outlive the document, as the
    // literal texts of a command table do.
    size_t addCharacters(std::u16string_view text, const CFontSettings& font,
                         const CAddOptions& options, const char* label = nullptr);
    // A string or picture entry (kind AddString or AddPicture).
    CGlyphEntry& append(std::unique_ptr<CGlyphEntry> entry, EStepKind kind,
                        const char* label = nullptr);
    size_t deleteSelected(const char* label = nullptr);
    void deleteAll(const char* label = nullptr);
    // As CGlyphList::editSelected / applyFont / applyThreshold.
    std::optional<size_t> editSelected(EMatrixEdit edit, const char* label = nullptr);
    std::optional<size_t> applyFont(const CFontSettings& font, bool halfWidth,
                                    const char* label = nullptr);
    size_t applyThreshold(uint8_t threshold, const char* label = nullptr);
    size_t applyPictureOptions(const CPictureOptions& options, const char* label = nullptr);

    // A mouse stroke on entry `index`: the dots it changes between begin and end become one
    // step; a stroke that changes nothing leaves no step.
    void beginStroke(size_t index, const char* label = nullptr);
    void endStroke();

    // ---- history ----
    const CUndoHistory& history() const { return m_history; }
    const CDocumentStep* undoStep() const;
    const CDocumentStep* redoStep() const;
    bool undo();
    bool redo();
    // No history, and the current state is the clean one (newProject() and open() do this).
    void clearHistory();

private:
    // IGlyphListObserver: passed on to the observers.
    void entriesInserted(size_t first, size_t count) override;
    void entriesRemoved(size_t lowest) override;
    void entryResized(CGlyphEntry& entry) override;
    void dotsChanged(CGlyphEntry& entry) override;
    void entriesChanged(size_t first, size_t last) override;

    class CTransaction;
    // One step of a change over the selection: `change(recorder)` runs with the list quiet,
    // recording each entry before and after; the changed range is announced once, and the step
    // is pushed when anything changed. Returns what `change` returned.
    template <class Change>
    auto changeSelection(EStepKind kind, EMatrixEdit edit, const char* label, Change change);
    void push(std::unique_ptr<CDocumentStep> step);
    void historyChanged();
    size_t firstSelected() const;
    size_t removeAt(std::vector<size_t> positions, EStepKind kind, const char* label);
    size_t entriesAdded(size_t first, EStepKind kind, const char* label);

    CGlyphList m_list;
    std::string m_path;
    CUndoHistory m_history;
    CSettings m_settings;
    std::string m_profilePath; // empty: no profile loaded
    bool m_profileReadable = true;
    std::vector<IDocumentObserver*> m_observers;

    struct CStroke {
        const CGlyphEntry* entry = nullptr;
        size_t index = 0;
        int width = 0;
        int height = 0;
        CDotMatrix before;
        const char* label = nullptr;
    };
    std::optional<CStroke> m_stroke;
};

} // namespace tgw

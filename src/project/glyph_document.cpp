#include "project/glyph_document.h"

#include "model/profile_store.h"
#include "project/project_document.h"

#include <algorithm>
#include <array>
#include <cstring>

namespace tgw {
namespace {

// Dots are kept in steps one bit each (a grey matrix's levels in fields of its depth), rows one
// after the other, each matrix from a new byte.
void packDots(const CDotMatrix& m, std::vector<uint8_t>& out) {
    const std::vector<uint8_t>& dots = m.dots();
    const size_t n = dots.size();
    const size_t start = out.size();
    if (m.grey()) {
        const int depth = m.depth();
        out.resize(start + (n * size_t(depth) + 7) / 8);
        for (size_t i = 0; i < n; ++i) {
            const size_t bit = i * size_t(depth);
            out[start + (bit >> 3)] |= uint8_t(dots[i] << (8 - depth - int(bit & 7)));
        }
        return;
    }
    out.resize(start + (n + 7) / 8);
    uint8_t* o = out.data() + start;
    const uint8_t* d = dots.data();
    size_t i = 0;
    for (; i + 8 <= n; i += 8, ++o)
        *o = uint8_t((d[i] ? 0x80 : 0) | (d[i + 1] ? 0x40 : 0) | (d[i + 2] ? 0x20 : 0) |
                     (d[i + 3] ? 0x10 : 0) | (d[i + 4] ? 0x08 : 0) | (d[i + 5] ? 0x04 : 0) |
                     (d[i + 6] ? 0x02 : 0) | (d[i + 7] ? 0x01 : 0));
    for (int bit = 0x80; i < n; ++i, bit >>= 1)
        if (d[i])
            *o |= uint8_t(bit);
}

// Eight dot bytes for each value of a packed byte.
const std::array<std::array<uint8_t, 8>, 256>& unpackTable() {
    static const auto table = [] {
        std::array<std::array<uint8_t, 8>, 256> t{};
        for (int v = 0; v < 256; ++v)
            for (int b = 0; b < 8; ++b)
                t[size_t(v)][size_t(b)] = (v & (0x80 >> b)) ? 1 : 0;
        return t;
    }();
    return table;
}

CDotMatrix unpackDots(const uint8_t* in, int width, int height, int depth) {
    CDotMatrix m(width, height, depth);
    const size_t n = size_t(width) * size_t(height);
    uint8_t* d = m.row(0);
    if (depth > 1) {
        const uint8_t mask = maxLevelOf(depth);
        for (size_t i = 0; i < n; ++i) {
            const size_t bit = i * size_t(depth);
            d[i] = uint8_t((in[bit >> 3] >> (8 - depth - int(bit & 7))) & mask);
        }
        return m;
    }
    const auto& table = unpackTable();
    size_t i = 0;
    for (; i + 8 <= n; i += 8, ++in)
        std::memcpy(d + i, table[*in].data(), 8);
    if (i < n)
        std::memcpy(d + i, table[*in].data(), n - i);
    return m;
}

// What an entry's own bytes in a step come to, roughly.
size_t entryBytes(const CGlyphEntry& e) {
    size_t bytes = 192 + e.matrix().dots().capacity();
    if (e.isString())
        bytes += static_cast<const CStringEntry&>(e).text().capacity() * 2;
    else if (e.isPicture())
        bytes += static_cast<const CPictureEntry&>(e).path().capacity() * 2;
    if (!e.isPicture())
        bytes += static_cast<const CFontEntry&>(e).font().face.capacity() * 2;
    return bytes;
}

// Keeps the list quiet for its lifetime, also when an edit throws half-way.
class CQuietList {
public:
    explicit CQuietList(CGlyphList& list) : m_list(list) { m_list.setQuiet(true); }
    ~CQuietList() { m_list.setQuiet(false); }
    CQuietList(const CQuietList&) = delete;
    CQuietList& operator=(const CQuietList&) = delete;

private:
    CGlyphList& m_list;
};

// Entries that came into the list (an add) or went out of it (a delete): their positions, and
// the entries themselves while they are out of the list.
class CEntriesStep : public CDocumentStep {
public:
    CEntriesStep(EStepKind kind, const char* label, CGlyphList& list, std::vector<size_t> positions,
                 std::vector<std::unique_ptr<CGlyphEntry>> removed)
        : CDocumentStep(kind, EMatrixEdit::Invert, label), m_list(list),
          m_positions(std::move(positions)), m_out(std::move(removed)), m_added(m_out.empty()) {
        m_bytes = sizeof(*this) + m_positions.size() * (sizeof(size_t) + sizeof(void*));
        if (m_added)
            for (size_t p : m_positions)
                m_bytes += entryBytes(m_list.at(p));
        else
            for (const auto& e : m_out)
                m_bytes += entryBytes(*e);
    }

    void undo() override { m_added ? takeOut() : putBack(); }
    void redo() override { m_added ? putBack() : takeOut(); }
    size_t bytes() const override { return m_bytes; }

private:
    void takeOut() { m_out = m_list.take(m_positions); }
    void putBack() {
        m_list.insert(m_positions, std::move(m_out));
        m_out.clear();
    }

    CGlyphList& m_list;
    std::vector<size_t> m_positions;
    std::vector<std::unique_ptr<CGlyphEntry>> m_out;
    bool m_added;
    size_t m_bytes = 0;
};

// New dots, sizes and sources of entries that stay in the list: for each changed entry its
// state before and after, the dots packed into two flat buffers.
class CMatrixStep : public CDocumentStep, public IEntryChangeRecorder {
public:
    CMatrixStep(EStepKind kind, EMatrixEdit edit, const char* label, CGlyphList& list)
        : CDocumentStep(kind, edit, label), m_list(list) {}

    // IEntryChangeRecorder
    void before(size_t index, const CGlyphEntry& e) override {
        dropStaged();
        m_staged = true;
        m_stage = {};
        m_stage.index = index;
        m_stage.before = capture(e, m_old, m_oldSources);
    }
    void after(size_t index, const CGlyphEntry& e) override {
        if (!m_staged || index != m_stage.index)
            return;
        m_stage.after = capture(e, m_new, m_newSources);
        m_records.push_back(m_stage);
        m_staged = false;
    }

    // One entry's change recorded after the fact: its size and dots before, and itself now.
    void addChange(size_t index, int width, int height, const CDotMatrix& before,
                   const CGlyphEntry& after) {
        dropStaged();
        CRecord r;
        r.index = index;
        r.before = {m_old.size(), uint16_t(width), uint16_t(height), !before.empty(),
                    uint8_t(before.depth())};
        if (!before.empty())
            packDots(before, m_old);
        r.after = capture(after, m_new, m_newSources);
        m_records.push_back(r);
    }

    // Done recording: whether anything changed.
    bool finish() {
        dropStaged();
        m_records.shrink_to_fit();
        m_old.shrink_to_fit();
        m_new.shrink_to_fit();
        return !m_records.empty();
    }

    void undo() override { apply(false); }
    void redo() override { apply(true); }
    size_t bytes() const override {
        return sizeof(*this) + m_records.capacity() * sizeof(CRecord) + m_old.capacity() +
               m_new.capacity() +
               (m_oldSources.capacity() + m_newSources.capacity()) * sizeof(CSource);
    }

private:
    static_assert(kMaxMatrixSide <= 0xFFFF, "a matrix side is kept in 16 bits");
    struct CState {
        size_t offset = 0; // into the dot buffer
        uint16_t width = 0;
        uint16_t height = 0;
        bool hasDots = false;
        uint8_t depth = 1;
    };
    struct CRecord {
        size_t index = 0;
        CState before;
        CState after;
    };
    // The source an entry was made from, kept only by font and threshold steps.
    struct CSource {
        CFontSettings font;
        CPictureOptions picture;
    };

    bool keepsSources() const {
        return kind() == EStepKind::Font || kind() == EStepKind::Threshold;
    }

    CState capture(const CGlyphEntry& e, std::vector<uint8_t>& dots,
                   std::vector<CSource>& sources) {
        CState s;
        s.offset = dots.size();
        s.width = uint16_t(e.width());
        s.height = uint16_t(e.height());
        s.hasDots = e.hasDots();
        s.depth = uint8_t(e.matrix().depth());
        if (s.hasDots)
            packDots(e.matrix(), dots);
        if (keepsSources()) {
            CSource src;
            if (e.isPicture())
                src.picture = static_cast<const CPictureEntry&>(e).options();
            else
                src.font = static_cast<const CFontEntry&>(e).font();
            sources.push_back(std::move(src));
        }
        return s;
    }

    void dropStaged() {
        if (!m_staged)
            return;
        m_old.resize(m_stage.before.offset);
        if (keepsSources())
            m_oldSources.pop_back();
        m_staged = false;
    }

    void apply(bool forward) {
        const std::vector<uint8_t>& dots = forward ? m_new : m_old;
        const std::vector<CSource>& sources = forward ? m_newSources : m_oldSources;
        {
            CQuietList quiet(m_list);
            for (size_t k = 0; k < m_records.size(); ++k) {
                const CRecord& r = m_records[k];
                const CState& s = forward ? r.after : r.before;
                CGlyphEntry& e = m_list.at(r.index);
                if (keepsSources()) {
                    if (e.isPicture())
                        static_cast<CPictureEntry&>(e).restoreOptions(sources[k].picture);
                    else
                        static_cast<CFontEntry&>(e).restoreFont(sources[k].font);
                }
                e.restore(s.width, s.height,
                          s.hasDots ? unpackDots(dots.data() + s.offset, s.width, s.height, s.depth)
                                    : CDotMatrix());
            }
        }
        m_list.announceChanged(m_records.front().index, m_records.back().index);
    }

    CGlyphList& m_list;
    std::vector<CRecord> m_records;
    std::vector<uint8_t> m_old, m_new;
    std::vector<CSource> m_oldSources, m_newSources;
    CRecord m_stage;
    bool m_staged = false;
};

} // namespace

CGlyphDocument::CGlyphDocument(IRasteriser& rasteriser, size_t maxHistoryBytes,
                               size_t maxHistorySteps)
    : m_list(rasteriser), m_history(maxHistoryBytes, maxHistorySteps) {
    m_list.setObserver(this);
}

CGlyphDocument::~CGlyphDocument() {
    m_observers.clear();
    m_list.setObserver(nullptr);
    m_history.clear();
}

void CGlyphDocument::addObserver(IDocumentObserver* observer) {
    if (observer &&
        std::find(m_observers.begin(), m_observers.end(), observer) == m_observers.end())
        m_observers.push_back(observer);
}

void CGlyphDocument::removeObserver(IDocumentObserver* observer) {
    m_observers.erase(std::remove(m_observers.begin(), m_observers.end(), observer),
                      m_observers.end());
}

// ---- commands --------------------------------------------------------------------------------

size_t CGlyphDocument::entriesAdded(size_t first, EStepKind kind, const char* label) {
    const size_t added = m_list.size() - first;
    if (added) {
        std::vector<size_t> positions(added);
        for (size_t i = 0; i < added; ++i)
            positions[i] = first + i;
        push(std::make_unique<CEntriesStep>(kind, label, m_list, std::move(positions),
                                            std::vector<std::unique_ptr<CGlyphEntry>>()));
    }
    return added;
}

size_t CGlyphDocument::addCharacters(std::u16string_view text, const CFontSettings& font,
                                     const CAddOptions& options, const char* label) {
    const size_t first = m_list.size();
    m_list.addCharacters(text, font, options);
    return entriesAdded(first, EStepKind::AddCharacters, label);
}

CGlyphEntry& CGlyphDocument::append(std::unique_ptr<CGlyphEntry> entry, EStepKind kind,
                                    const char* label) {
    const size_t first = m_list.size();
    CGlyphEntry& e = m_list.append(std::move(entry));
    entriesAdded(first, kind, label);
    return e;
}

size_t CGlyphDocument::removeAt(std::vector<size_t> positions, EStepKind kind, const char* label) {
    if (positions.empty())
        return 0;
    auto removed = m_list.take(positions);
    const size_t count = removed.size();
    push(std::make_unique<CEntriesStep>(kind, label, m_list, std::move(positions),
                                        std::move(removed)));
    return count;
}

size_t CGlyphDocument::deleteSelected(const char* label) {
    std::vector<size_t> positions;
    for (size_t i = 0; i < m_list.size(); ++i)
        if (m_list.at(i).selected())
            positions.push_back(i);
    return removeAt(std::move(positions), EStepKind::DeleteSelected, label);
}

void CGlyphDocument::deleteAll(const char* label) {
    std::vector<size_t> positions(m_list.size());
    for (size_t i = 0; i < positions.size(); ++i)
        positions[i] = i;
    removeAt(std::move(positions), EStepKind::DeleteAll, label);
}

size_t CGlyphDocument::firstSelected() const {
    for (size_t i = 0; i < m_list.size(); ++i)
        if (m_list.at(i).selected())
            return i;
    return m_list.size();
}

// One history step in the making over entries that stay in the list: the step records what
// the change does to each entry, the list is quiet while the change runs, and commit() pushes
// the step when anything changed. One that is never committed (a change that threw) leaves no
// step.
class CGlyphDocument::CTransaction {
public:
    CTransaction(CGlyphDocument& document, EStepKind kind, EMatrixEdit edit, const char* label)
        : m_document(document),
          m_step(std::make_unique<CMatrixStep>(kind, edit, label, document.m_list)) {}

    // Runs `change(recorder)` with the list quiet; returns what it returned.
    template <class Change> auto quietly(Change change) {
        CQuietList quiet(m_document.m_list);
        return change(static_cast<IEntryChangeRecorder*>(m_step.get()));
    }
    // An entry changed already, told after the fact.
    void recordChange(size_t index, int width, int height, const CDotMatrix& before,
                      const CGlyphEntry& after) {
        m_step->addChange(index, width, height, before, after);
    }
    // Announces entries first..last once, as a quiet change must be.
    void announce(size_t first, size_t last) { m_document.m_list.announceChanged(first, last); }
    void commit() {
        if (m_step->finish())
            m_document.push(std::move(m_step));
    }

private:
    CGlyphDocument& m_document;
    std::unique_ptr<CMatrixStep> m_step;
};

template <class Change>
auto CGlyphDocument::changeSelection(EStepKind kind, EMatrixEdit edit, const char* label,
                                     Change change) {
    CTransaction step(*this, kind, edit, label);
    const size_t from = firstSelected();
    auto result = step.quietly(change);
    step.announce(from, m_list.size() - 1);
    step.commit();
    return result;
}

std::optional<size_t> CGlyphDocument::editSelected(EMatrixEdit edit, const char* label) {
    return changeSelection(EStepKind::Edit, edit, label, [&](IEntryChangeRecorder* recorder) {
        return m_list.editSelected(edit, recorder);
    });
}

std::optional<size_t> CGlyphDocument::applyFont(const CFontSettings& font, bool halfWidth,
                                                const char* label) {
    return changeSelection(EStepKind::Font, EMatrixEdit::Invert, label,
                           [&](IEntryChangeRecorder* recorder) {
                               return m_list.applyFont(font, halfWidth, recorder);
                           });
}

size_t CGlyphDocument::applyThreshold(uint8_t threshold, const char* label) {
    return changeSelection(
        EStepKind::Threshold, EMatrixEdit::Invert, label,
        [&](IEntryChangeRecorder* recorder) { return m_list.applyThreshold(threshold, recorder); });
}

size_t CGlyphDocument::applyPictureOptions(const CPictureOptions& options, const char* label) {
    return changeSelection(EStepKind::Threshold, EMatrixEdit::Invert, label,
                           [&](IEntryChangeRecorder* recorder) {
                               return m_list.applyPictureOptions(options, recorder);
                           });
}

void CGlyphDocument::beginStroke(size_t index, const char* label) {
    endStroke();
    if (index >= m_list.size())
        return;
    const CGlyphEntry& e = m_list.at(index);
    m_stroke = CStroke{&e, index, e.width(), e.height(), e.matrix(), label};
}

void CGlyphDocument::endStroke() {
    if (!m_stroke)
        return;
    CStroke stroke = std::move(*m_stroke);
    m_stroke.reset();
    if (stroke.index >= m_list.size() || &m_list.at(stroke.index) != stroke.entry)
        return;
    const CGlyphEntry& e = m_list.at(stroke.index);
    if (e.matrix() == stroke.before && e.width() == stroke.width && e.height() == stroke.height)
        return;
    CTransaction step(*this, EStepKind::Stroke, EMatrixEdit::Invert, stroke.label);
    step.recordChange(stroke.index, stroke.width, stroke.height, stroke.before, e);
    step.commit();
}

// ---- history ---------------------------------------------------------------------------------

void CGlyphDocument::push(std::unique_ptr<CDocumentStep> step) {
    m_history.push(std::move(step));
    historyChanged();
}

const CDocumentStep* CGlyphDocument::undoStep() const {
    return static_cast<const CDocumentStep*>(m_history.undoStep());
}

const CDocumentStep* CGlyphDocument::redoStep() const {
    return static_cast<const CDocumentStep*>(m_history.redoStep());
}

bool CGlyphDocument::undo() {
    endStroke();
    if (!m_history.undo())
        return false;
    historyChanged();
    return true;
}

bool CGlyphDocument::redo() {
    endStroke();
    if (!m_history.redo())
        return false;
    historyChanged();
    return true;
}

void CGlyphDocument::clearHistory() {
    m_stroke.reset();
    m_history.clear();
    historyChanged();
}

// ---- project files ---------------------------------------------------------------------------

void CGlyphDocument::newProject() {
    m_stroke.reset();
    m_list.deleteAll();
    m_path.clear();
    clearHistory();
}

Status CGlyphDocument::open(const std::string& path, const CProjectLoadLimits& limits) {
    m_stroke.reset();
    const size_t before = m_list.size();
    if (Status s = appendProjectFile(m_list, path, limits); !s)
        return s;
    m_list.removeFront(before);
    m_list.setMouseEdit(m_settings.mouseDraw);
    m_path = path;
    clearHistory();
    return {};
}

bool CGlyphDocument::saveNeeded(const std::string& target) const {
    return projectSaveNeeded(modified(), m_path, target);
}

Status CGlyphDocument::save(const std::string& target, const CLocalTime& stamp, bool force) {
    if (!saveNeeded(target))
        return {};
    endStroke();
    if (Status s = saveProject(m_list, target, stamp, force); !s)
        return s;
    m_path = target;
    m_history.setClean();
    historyChanged();
    return {};
}

// ---- settings --------------------------------------------------------------------------------

void CGlyphDocument::settingsChanged() {
    for (IDocumentObserver* o : m_observers)
        o->settingsChanged();
}

Status CGlyphDocument::loadProfile(const std::string& path, const CSystemFont& systemFont) {
    CProfileStore profile(path);
    const Status loaded = profile.load();
    m_profilePath = path;
    m_profileReadable = bool(loaded);
    m_settings.load(profile, systemFont);
    settingsChanged();
    return loaded;
}

Status CGlyphDocument::saveProfile() const {
    if (m_profilePath.empty() || !m_profileReadable)
        return {};
    CProfileStore profile(m_profilePath);
    if (Status s = profile.load(); !s)
        return s;
    m_settings.save(profile);
    return profile.save();
}

void CGlyphDocument::historyChanged() {
    for (IDocumentObserver* o : m_observers)
        o->historyChanged();
}

// ---- list changes ----------------------------------------------------------------------------

void CGlyphDocument::entriesInserted(size_t first, size_t count) {
    for (IDocumentObserver* o : m_observers)
        o->entriesInserted(first, count);
}

void CGlyphDocument::entriesRemoved(size_t lowest) {
    if (m_stroke &&
        (m_stroke->index >= m_list.size() || &m_list.at(m_stroke->index) != m_stroke->entry))
        m_stroke.reset();
    for (IDocumentObserver* o : m_observers)
        o->entriesRemoved(lowest);
}

void CGlyphDocument::entryResized(CGlyphEntry& entry) {
    for (IDocumentObserver* o : m_observers)
        o->entryResized(entry);
}

void CGlyphDocument::dotsChanged(CGlyphEntry& entry) {
    for (IDocumentObserver* o : m_observers)
        o->dotsChanged(entry);
}

void CGlyphDocument::entriesChanged(size_t first, size_t last) {
    for (IDocumentObserver* o : m_observers)
        o->entriesChanged(first, last);
}

} // namespace tgw

#include "model/glyph_list.h"

#include "base/text.h"

#include <algorithm>
#include <unordered_set>

namespace tgw {

CGlyphList::~CGlyphList() {
    m_observer = nullptr;
    m_entries.clear();
}

std::optional<size_t> CGlyphList::indexOf(const CGlyphEntry& entry) const {
    for (size_t i = 0; i < m_entries.size(); ++i)
        if (m_entries[i].get() == &entry)
            return i;
    return std::nullopt;
}

size_t CGlyphList::selectedCount() const {
    return size_t(std::count_if(m_entries.begin(), m_entries.end(),
                                [](const auto& e) { return e->selected(); }));
}

size_t CGlyphList::unrenderedCount() const {
    return size_t(std::count_if(m_entries.begin(), m_entries.end(),
                                [](const auto& e) { return !e->hasDots(); }));
}

CFontSettings characterFont(const CFontSettings& font, char16_t code, bool halfWidth) {
    CFontSettings f = font;
    if (halfWidth && font.kind == kFontTrueType && code < 0x80)
        f.width = (font.width + 1) / 2;
    return f;
}

size_t CGlyphList::addCharacters(std::u16string_view text, const CFontSettings& font,
                                 const CAddOptions& options) {
    std::u16string chars(text);
    if (options.filterDuplicates) {
        std::unordered_set<char16_t> seen;
        for (const auto& e : m_entries)
            if (e->isCharacter())
                seen.insert(static_cast<const CCharEntry&>(*e).code());
        std::u16string kept;
        for (char16_t c : chars)
            if (seen.insert(c).second)
                kept.push_back(c);
        chars.swap(kept);
    }
    size_t first = m_entries.size();
    for (char16_t c : chars) {
        if (c == 0 || (options.filterBlanks && isWhiteSpace(c)))
            continue;
        auto entry = std::make_unique<CCharEntry>(*m_rasteriser, c,
                                                  characterFont(font, c, options.halfWidth));
        entry->setMouseEdit(options.mouseEdit);
        entry->setOwner(this);
        m_entries.push_back(std::move(entry));
    }
    size_t added = m_entries.size() - first;
    if (added) {
        if (m_observer)
            m_observer->entriesInserted(first, added);
    }
    return added;
}

CGlyphEntry& CGlyphList::append(std::unique_ptr<CGlyphEntry> entry) {
    entry->setOwner(this);
    m_entries.push_back(std::move(entry));
    if (m_observer)
        m_observer->entriesInserted(m_entries.size() - 1, 1);
    return *m_entries.back();
}

bool CGlyphList::hasString(std::u16string_view text) const {
    return std::any_of(m_entries.begin(), m_entries.end(), [&](const auto& e) {
        return e->isString() && static_cast<const CStringEntry&>(*e).text() == text;
    });
}

bool CGlyphList::hasPicture(std::u16string_view path) const {
    return std::any_of(m_entries.begin(), m_entries.end(), [&](const auto& e) {
        return e->isPicture() && static_cast<const CPictureEntry&>(*e).path() == path;
    });
}

size_t CGlyphList::deleteSelected() {
    size_t lowest = m_entries.size();
    size_t removed = 0;
    for (size_t i = m_entries.size(); i-- > 0;) {
        if (m_entries[i]->selected()) {
            m_entries.erase(m_entries.begin() + long(i));
            lowest = i;
            ++removed;
        }
    }
    if (removed) {
        if (m_observer)
            m_observer->entriesRemoved(lowest);
    }
    return removed;
}

void CGlyphList::deleteAll() {
    if (m_entries.empty())
        return;
    m_entries.clear();
    if (m_observer)
        m_observer->entriesRemoved(0);
}

void CGlyphList::removeWhere(size_t first, size_t last) {
    if (first >= last)
        return;
    m_entries.erase(m_entries.begin() + long(first), m_entries.begin() + long(last));
    if (m_observer)
        m_observer->entriesRemoved(first);
}

void CGlyphList::removeFront(size_t count) {
    removeWhere(0, std::min(count, m_entries.size()));
}

void CGlyphList::removeBack(size_t count) {
    count = std::min(count, m_entries.size());
    removeWhere(m_entries.size() - count, m_entries.size());
}

void CGlyphList::select(size_t index, ESelect mode) {
    if (index >= m_entries.size())
        return;
    switch (mode) {
    case ESelect::Replace:
        for (auto& e : m_entries)
            e->setSelected(false);
        m_entries[index]->setSelected(true);
        break;
    case ESelect::Add:
        m_entries[index]->setSelected(true);
        break;
    case ESelect::Clear:
        m_entries[index]->setSelected(false);
        break;
    }
}

void CGlyphList::selectAll() {
    for (auto& e : m_entries)
        e->setSelected(true);
}

void CGlyphList::clearSelection() {
    for (auto& e : m_entries)
        e->setSelected(false);
}

void CGlyphList::invertSelection() {
    for (auto& e : m_entries)
        e->setSelected(!e->selected());
}

std::optional<size_t> CGlyphList::applyFont(const CFontSettings& font, bool halfWidth,
                                            IEntryChangeRecorder* recorder) {
    std::optional<size_t> firstResized;
    for (size_t i = 0; i < m_entries.size(); ++i) {
        CGlyphEntry& e = *m_entries[i];
        if (!e.selected() || e.isPicture())
            continue;
        int w = e.width(), h = e.height();
        auto& fe = static_cast<CFontEntry&>(e);
        if (recorder)
            recorder->before(i, e);
        bool changed =
            e.isCharacter()
                ? fe.setFont(characterFont(font, static_cast<CCharEntry&>(e).code(), halfWidth))
                : fe.setFont(font);
        if (changed) {
            (void)fe.ensureRendered();
            if (recorder)
                recorder->after(i, e);
        }
        if ((e.width() != w || e.height() != h) && !firstResized)
            firstResized = i;
    }
    return firstResized;
}

std::optional<size_t> CGlyphList::editSelected(EMatrixEdit edit, IEntryChangeRecorder* recorder) {
    std::optional<size_t> firstResized;
    for (size_t i = 0; i < m_entries.size(); ++i) {
        CGlyphEntry& e = *m_entries[i];
        if (!e.selected() || !e.ensureRendered())
            continue;
        std::optional<CDotMatrix> edited = applyEdit(e.matrix(), edit);
        if (!edited)
            continue;
        bool resized = edited->width() != e.width() || edited->height() != e.height();
        if (recorder)
            recorder->before(i, e);
        e.setMatrix(std::move(*edited));
        if (recorder)
            recorder->after(i, e);
        if (resized && !firstResized)
            firstResized = i;
    }
    return firstResized;
}

size_t CGlyphList::applyThreshold(uint8_t threshold, IEntryChangeRecorder* recorder) {
    size_t changed = 0;
    for (size_t i = 0; i < m_entries.size(); ++i) {
        auto& e = m_entries[i];
        if (!e->selected() || !e->isPicture())
            continue;
        if (recorder)
            recorder->before(i, *e);
        if (static_cast<CPictureEntry&>(*e).setThreshold(threshold)) {
            (void)e->ensureRendered();
            if (recorder)
                recorder->after(i, *e);
            ++changed;
        }
    }
    return changed;
}

size_t CGlyphList::applyPictureOptions(const CPictureOptions& options,
                                       IEntryChangeRecorder* recorder) {
    size_t changed = 0;
    for (size_t i = 0; i < m_entries.size(); ++i) {
        auto& e = m_entries[i];
        if (!e->selected() || !e->isPicture())
            continue;
        if (recorder)
            recorder->before(i, *e);
        if (static_cast<CPictureEntry&>(*e).setOptions(options)) {
            (void)e->ensureRendered();
            if (recorder)
                recorder->after(i, *e);
            ++changed;
        }
    }
    return changed;
}

std::vector<std::unique_ptr<CGlyphEntry>> CGlyphList::take(const std::vector<size_t>& positions) {
    std::vector<std::unique_ptr<CGlyphEntry>> taken;
    for (size_t k = 0; k < positions.size(); ++k)
        if (positions[k] >= m_entries.size() || (k > 0 && positions[k] <= positions[k - 1]))
            return taken; // not ascending positions of this list: nothing is taken
    if (positions.empty())
        return taken;
    taken.reserve(positions.size());
    // One pass: the kept entries slide down over the taken ones.
    size_t next = 0, write = positions.front();
    for (size_t read = positions.front(); read < m_entries.size(); ++read) {
        if (next < positions.size() && positions[next] == read) {
            m_entries[read]->setOwner(nullptr);
            taken.push_back(std::move(m_entries[read]));
            ++next;
        } else {
            m_entries[write++] = std::move(m_entries[read]);
        }
    }
    m_entries.resize(write);
    if (m_observer)
        m_observer->entriesRemoved(positions.front());
    return taken;
}

void CGlyphList::insert(const std::vector<size_t>& positions,
                        std::vector<std::unique_ptr<CGlyphEntry>> entries) {
    if (positions.empty() || positions.size() != entries.size() ||
        positions.back() >= m_entries.size() + entries.size())
        return;
    for (size_t k = 0; k < positions.size(); ++k)
        if (!entries[k] || (k > 0 && positions[k] <= positions[k - 1]))
            return;
    const size_t total = m_entries.size() + entries.size();
    std::vector<std::unique_ptr<CGlyphEntry>> merged;
    merged.reserve(total);
    size_t next = 0, read = 0;
    for (size_t i = 0; i < total; ++i) {
        if (next < positions.size() && (positions[next] == i || read >= m_entries.size())) {
            entries[next]->setOwner(this);
            merged.push_back(std::move(entries[next++]));
        } else {
            merged.push_back(std::move(m_entries[read++]));
        }
    }
    m_entries.swap(merged);
    if (m_observer)
        m_observer->entriesInserted(positions.front(), positions.size());
}

void CGlyphList::setQuiet(bool on) {
    if (on && !m_quiet)
        m_resizedWhileQuiet.clear();
    m_quiet = on;
}

void CGlyphList::announceChanged(size_t first, size_t last) {
    // The first entry still in the list that changed its size while quiet.
    CGlyphEntry* resized = nullptr;
    if (!m_resizedWhileQuiet.empty()) {
        std::unordered_set<const CGlyphEntry*> seen(m_resizedWhileQuiet.begin(),
                                                    m_resizedWhileQuiet.end());
        m_resizedWhileQuiet.clear();
        for (auto& e : m_entries)
            if (seen.count(e.get())) {
                resized = e.get();
                break;
            }
    }
    if (!m_observer)
        return;
    if (first <= last && last < m_entries.size())
        m_observer->entriesChanged(first, last);
    if (resized)
        m_observer->entryResized(*resized);
}

void CGlyphList::setMouseEdit(bool on) {
    for (auto& e : m_entries)
        e->setMouseEdit(on);
}

bool CGlyphList::isLargeJob() const {
    return m_entries.size() > 1000 && unrenderedCount() >= 1000;
}

void CGlyphList::entryResized(CGlyphEntry& entry) {
    if (m_quiet)
        m_resizedWhileQuiet.push_back(&entry);
    else if (m_observer)
        m_observer->entryResized(entry);
}

void CGlyphList::dotsChanged(CGlyphEntry& entry) {
    if (m_observer && !m_quiet)
        m_observer->dotsChanged(entry);
}

} // namespace tgw

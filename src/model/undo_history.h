#pragma once

#include <cstddef>
#include <deque>
#include <memory>

namespace tgw {

// One undoable change. A step keeps only what it changed; it is undone and redone in turn,
// starting from the state right after it was made.
class CUndoStep {
public:
    virtual ~CUndoStep() = default;
    virtual void undo() = 0;
    virtual void redo() = 0;
    // Roughly what the step holds in memory, for the history's bound.
    virtual size_t bytes() const = 0;
};

// A linear history of steps with a clean point (the state last saved or opened). Bounded by a
// number of steps and a number of bytes: the oldest steps go first, but the newest step always
// stays, however big, so that the last change can be undone once.
class CUndoHistory {
public:
    static constexpr size_t kDefaultMaxBytes = size_t(256) << 20;
    static constexpr size_t kDefaultMaxSteps = 1000;

    explicit CUndoHistory(size_t maxBytes = kDefaultMaxBytes, size_t maxSteps = kDefaultMaxSteps)
        : m_maxBytes(maxBytes), m_maxSteps(maxSteps == 0 ? 1 : maxSteps) {}

    // Adds a step that has already been applied; the redo branch goes.
    void push(std::unique_ptr<CUndoStep> step);

    bool canUndo() const { return m_index > 0; }
    bool canRedo() const { return m_index < m_steps.size(); }
    // The step undo() / redo() would apply, or nullptr.
    const CUndoStep* undoStep() const { return canUndo() ? m_steps[m_index - 1].get() : nullptr; }
    const CUndoStep* redoStep() const { return canRedo() ? m_steps[m_index].get() : nullptr; }
    bool undo();
    bool redo();

    void clear();
    // The current state is the saved one.
    void setClean() { m_clean = long(m_index); }
    bool isClean() const { return m_clean == long(m_index); }

    size_t count() const { return m_steps.size(); }
    size_t index() const { return m_index; }
    size_t bytes() const { return m_bytes; }

private:
    void dropOldest();

    std::deque<std::unique_ptr<CUndoStep>> m_steps;
    size_t m_index = 0; // steps before it are done, from it on undone
    long m_clean = 0;   // −1: the clean state cannot be reached any more
    size_t m_bytes = 0;
    size_t m_maxBytes;
    size_t m_maxSteps;
};

} // namespace tgw

#include "model/undo_history.h"

namespace tgw {

void CUndoHistory::push(std::unique_ptr<CUndoStep> step) {
    if (!step)
        return;
    while (m_steps.size() > m_index) {
        m_bytes -= m_steps.back()->bytes();
        m_steps.pop_back();
    }
    if (m_clean > long(m_index))
        m_clean = -1;
    m_bytes += step->bytes();
    m_steps.push_back(std::move(step));
    ++m_index;
    while (m_steps.size() > 1 && (m_steps.size() > m_maxSteps || m_bytes > m_maxBytes))
        dropOldest();
}

void CUndoHistory::dropOldest() {
    m_bytes -= m_steps.front()->bytes();
    m_steps.pop_front();
    --m_index;
    // The state before the dropped step is gone for good.
    if (m_clean >= 0)
        --m_clean;
}

bool CUndoHistory::undo() {
    if (!canUndo())
        return false;
    m_steps[--m_index]->undo();
    return true;
}

bool CUndoHistory::redo() {
    if (!canRedo())
        return false;
    m_steps[m_index++]->redo();
    return true;
}

void CUndoHistory::clear() {
    m_steps.clear();
    m_index = 0;
    m_clean = 0;
    m_bytes = 0;
}

} // namespace tgw

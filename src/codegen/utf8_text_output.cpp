#include "codegen/utf8_text_output.h"

#include "base/codepage.h"
#include "base/text.h"

namespace tgw {

Status CUtf8TextOutput::write(std::string_view bytes) {
    m_buffer.clear();
    if (m_pendingCr && !bytes.empty() && bytes.front() != '\n')
        m_buffer.push_back('\r');
    m_pendingCr = !bytes.empty() && bytes.back() == '\r';
    if (m_pendingCr)
        bytes.remove_suffix(1);
    // The writes end between entries, never inside a double-byte character.
    const std::string text = utf16ToUtf8(fromCp936(bytes));
    m_buffer.reserve(m_buffer.size() + text.size());
    for (size_t i = 0; i < text.size(); ++i)
        if (!(text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n'))
            m_buffer.push_back(text[i]);
    return m_out.write(m_buffer);
}

Status CUtf8TextOutput::finish() {
    if (!m_pendingCr)
        return {};
    m_pendingCr = false;
    return m_out.write("\r");
}

} // namespace tgw

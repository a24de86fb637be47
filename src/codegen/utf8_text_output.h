#pragma once

#include "base/output.h"

#include <string>

namespace tgw {

// Takes code text as it is made (code page 936, CR LF line ends) and passes it on to `out` in
// UTF-8 with LF line ends, for tool chains and editors that read nothing else. Only the text
// changes: the hex digits of the data are ASCII and stay as they are. A CR at the end of one
// write waits for the next, which may begin with its LF; finish() passes on what is left.
class CUtf8TextOutput : public IOutput {
public:
    explicit CUtf8TextOutput(IOutput& out) : m_out(out) {}
    Status write(std::string_view bytes) override;
    Status finish();

private:
    IOutput& m_out;
    bool m_pendingCr = false;
    std::string m_buffer;
};

} // namespace tgw

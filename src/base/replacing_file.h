#pragma once

#include "base/output.h"

#include <string>

namespace tgw {

// A file the user keeps, written through a temporary file in the same folder that is renamed
// over the target by commit(). Until then the target keeps its old content, and a file that is
// never committed (a failed export, an exception) is removed by the destructor.
//
// A symbolic link is followed: the file it points to is replaced and the link stays. A target
// that exists but is not a regular file (a device such as /dev/null, a pipe) cannot be
// replaced by renaming; it is opened and written directly.
class CReplacingFile : public IOutput {
public:
    explicit CReplacingFile(std::string path) : m_target(std::move(path)) {}
    ~CReplacingFile() override;
    CReplacingFile(const CReplacingFile&) = delete;
    CReplacingFile& operator=(const CReplacingFile&) = delete;

    // Creates the temporary file (with a unique, unguessable name).
    Status open();
    Status write(std::string_view bytes) override;
    // Flushes the data to disk and puts the file in place of the target.
    Status commit();
    // Drops what was written; the target stays as it was.
    void discard();

    // The name of the temporary file while one is open (for tests).
    const std::string& temporaryPath() const { return m_temp; }

private:
    Status error(const std::string& what) const;

    std::string m_target;
    std::string m_temp;
    int m_fd = -1;
    bool m_direct = false;
};

// Writes `data` to `path` through a CReplacingFile.
Status writeFileReplacing(const std::string& path, std::string_view data);

} // namespace tgw

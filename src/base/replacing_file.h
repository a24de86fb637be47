#pragma once

#include "base/output.h"

#include <string>

namespace tgw {

// A file the user keeps, written through a temporary file in the same folder that is renamed
// over the target by commit(). Until then the target keeps its old content, and a file that is
// never committed (a failed export, an exception) is removed by the destructor.
//
// A symbolic link is followed: the file it points to is replaced (or created, when the link
// dangles) and the link stays; a loop of links is refused. A target that exists but is not a
// regular file (a device such as /dev/null, a pipe) cannot be replaced by renaming; it is opened
// and written directly, unless refused with refuseNonRegular(). A write-protected file is
// refused, as the shell's `>` refuses it, unless setForce(true). While it exists, the temporary
// file is registered with the termination clean-up (base/termination.h), so that a terminating
// signal removes it too.
class CReplacingFile : public IOutput {
public:
    explicit CReplacingFile(std::string path) : m_target(std::move(path)) {}
    ~CReplacingFile() override;
    CReplacingFile(const CReplacingFile&) = delete;
    CReplacingFile& operator=(const CReplacingFile&) = delete;

    // Replace a write-protected file all the same (before open()).
    void setForce(bool force) { m_force = force; }
    // Refuse devices, pipes and sockets instead of writing into them (before open()).
    void refuseNonRegular() { m_regularOnly = true; }

    // Creates the temporary file (with a unique, unguessable name).
    Status open();
    Status write(std::string_view bytes) override;
    // Flushes the data to disk and puts the file in place of the target.
    Status commit();
    // Drops what was written; the target stays as it was.
    void discard();

    // The name of the temporary file while one is open (for tests).
    const std::string& temporaryPath() const { return m_temp; }
    // The file that is written: the target after following its links.
    const std::string& targetPath() const { return m_file; }

private:
    Status error(const std::string& what) const;
    void dropTemporary();

    std::string m_target;
    std::string m_file; // m_target with its links followed
    std::string m_temp;
    int m_fd = -1;
    bool m_direct = false;
    bool m_force = false;
    bool m_regularOnly = false;
};

// Writes `data` to `path` through a CReplacingFile (`force` as in setForce()).
Status writeFileReplacing(const std::string& path, std::string_view data, bool force = false);

} // namespace tgw

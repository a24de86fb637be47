#include "project/project_document.h"

#include "base/file_io.h"
#include "base/replacing_file.h"

#include <filesystem>
#include <limits>
#include <new>

namespace tgw {
namespace {

// Runs `load`, which appends to the list, and takes back whatever it appended if it fails,
// including when memory runs out half-way.
template <class F> Status appendOrRollBack(CGlyphList& list, F load) {
    const size_t before = list.size();
    Status s;
    try {
        s = load();
    } catch (const std::bad_alloc&) {
        s = failure("there is not enough memory to open the project");
    }
    if (!s)
        list.removeBack(list.size() - before);
    return s;
}

Status replaceOnSuccess(CGlyphList& list, size_t before, Status s) {
    if (s)
        list.removeFront(before);
    return s;
}

} // namespace

Status appendProjectBytes(CGlyphList& list, std::string_view bytes,
                          const CProjectLoadLimits& limits) {
    return appendOrRollBack(list, [&] { return loadProject(list, bytes, limits); });
}

Status appendProjectFile(CGlyphList& list, const std::string& path,
                         const CProjectLoadLimits& limits) {
    return appendOrRollBack(list, [&]() -> Status {
        Result<std::string> bytes = readWholeFile(path, kMaxProjectFileBytes);
        if (!bytes)
            return failure(bytes.error());
        if (Status s = loadProject(list, *bytes, limits); !s)
            return failure("'" + path + "': " + s.error());
        return {};
    });
}

Status openProjectBytes(CGlyphList& list, std::string_view bytes,
                        const CProjectLoadLimits& limits) {
    const size_t before = list.size();
    return replaceOnSuccess(list, before, appendProjectBytes(list, bytes, limits));
}

Status openProject(CGlyphList& list, const std::string& path) {
    const size_t before = list.size();
    return replaceOnSuccess(list, before, appendProjectFile(list, path));
}

bool projectSaveNeeded(bool modified, const std::string& documentPath, const std::string& target) {
    if (modified || documentPath.empty())
        return true;
    std::error_code error;
    return !std::filesystem::equivalent(documentPath, target, error) || error;
}

Status saveProject(CGlyphList& list, const std::string& path, const CLocalTime& stamp, bool force) {
    Status s;
    try {
        Result<std::string> bytes = writeProject(list, stamp);
        s = bytes ? writeFileReplacing(path, *bytes, force) : Status(failure(bytes.error()));
    } catch (const std::bad_alloc&) {
        s = failure("there is not enough memory to save the project");
    }
    return s;
}

} // namespace tgw

#pragma once

#include "base/result.h"
#include "model/glyph_list.h"
#include "project/project_file.h"

#include <cstddef>
#include <string>
#include <string_view>

namespace tgw {

// Project files read into and written from a glyph list, as tgw and the document (which keeps
// the file's name and whether it is modified) call them. Failures carry a message naming the
// file and what is wrong with it; the caller decides how to show it.

// Project files are read only up to this size (far past any real project: 2048 × 2048 dots take
// about 16 MiB); folders, devices and pipes are refused.
inline constexpr size_t kMaxProjectFileBytes = size_t(1) << 30;

// Appends the entries of the project file at `path` (or of its bytes) behind the list's own.
// On failure nothing is left of the attempt: the entries appended go again.
Status appendProjectFile(CGlyphList& list, const std::string& path,
                         const CProjectLoadLimits& limits = {});
Status appendProjectBytes(CGlyphList& list, std::string_view bytes,
                          const CProjectLoadLimits& limits = {});

// Opening a project: on success the file's entries replace the list's; on failure the list and
// its entries are exactly as before.
Status openProject(CGlyphList& list, const std::string& path);
Status openProjectBytes(CGlyphList& list, std::string_view bytes,
                        const CProjectLoadLimits& limits = {});

// Whether saving to `target` has anything to do: an unmodified document saved to the file it
// was opened from or last saved to (`documentPath`, empty for none) needs no writing, unless
// that file has gone meanwhile.
bool projectSaveNeeded(bool modified, const std::string& documentPath, const std::string& target);

// Writes the list to `path`, replacing the file there only once the whole new file is written;
// on failure the previous file is untouched. A write-protected file is refused unless `force`.
Status saveProject(CGlyphList& list, const std::string& path,
                   const CLocalTime& stamp = currentLocalTime(), bool force = false);

} // namespace tgw

#pragma once

#include "base/result.h"
#include "model/glyph_list.h"

#include <cstdint>
#include <ctime>
#include <string>
#include <string_view>
#include <vector>

namespace tgw {

// The project file (*.tgx): UTF-16 LE XML with a byte-order mark, one `Matrix` element per entry
// holding the entry's parameters as attributes and its dots as one CDATA section per row.
//
//   <?xml version='1.0' encoding='UTF-16'?><Tessaglyphworks project_version="50332161" ...>
//   <Matrixes count="1" last_modified="2024-05-01 13:45:12"><Matrix type="1" width="3"
//   height="2" code="65" fonttype="0"><![CDATA[*  ]]><![CDATA[ * ]]></Matrix></Matrixes>
//   </Tessaglyphworks>
//
// (written on one line; broken here for reading).

// 0x03000201: the format version this program writes; files with a larger one are refused.
inline constexpr long kProjectVersion = 50332161;
inline constexpr const char* kProjectProgramVersion = "3.0.2.1";
inline constexpr const char* kProjectExtension = ".tgx";

// The moment a project is saved at, as the `last_modified` attribute shows it.
struct CLocalTime {
    int year = 1970;
    int month = 1; // 1..12
    int day = 1;   // 1..31
    int hour = 0;
    int minute = 0;
    int second = 0;
};

// Reads the clock (local time).
CLocalTime currentLocalTime();
// A moment given in seconds since 1970, shown as local time or as UTC.
CLocalTime localTimeOf(std::time_t seconds, bool utc = false);
// "2024-05-01 13:45:12".
std::string formatLastModified(const CLocalTime& time);

// The file's bytes for the list, with `stamp` as its saving time. Entries without dots are
// rendered first; when one cannot be, the failure names it and nothing is made. The list's
// entries stay as they are (only the dots of rendered entries are new).
Result<std::string> writeProject(CGlyphList& list, const CLocalTime& stamp);

// The entries (indexes into the list) whose picture or font file name is not valid UTF-8 (see
// fileNameIsText()). The file stores such a name with U+FFFD for each byte it cannot hold, so
// the stored name no longer opens the file; whoever saves tells the user.
std::vector<size_t> entriesWithUnstorableNames(const CGlyphList& list);

struct CProjectLoadLimits {
    // The dots a file may declare in all without holding them: a file that states large matrices
    // but carries few rows would otherwise make a few bytes cost gigabytes. A file may declare
    // as many dots as it has bytes (a written file needs two bytes per dot) or this many,
    // whichever is more.
    uint64_t freeDots = uint64_t(1) << 26;
};

// The loader: appends the entries of the file `bytes` to the list, each with its stored dots,
// font and own values, without the add filters. On failure the entries appended so far stay in
// the list (openProject() and appendProjectFile() take them away again).
Status loadProject(CGlyphList& list, std::string_view bytes, const CProjectLoadLimits& limits = {});

} // namespace tgw

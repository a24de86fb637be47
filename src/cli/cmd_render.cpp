#include "base/file_name.h"
#include "base/text.h"
#include "cli/commands.h"
#include "cli/common.h"
#include "raster/rasteriser.h"

#include <cstdio>

namespace tgw::cli {
namespace {

// "U+0041 18x18", the text of a string entry, or the path of a picture.
std::string entryName(const CGlyphEntry& e) {
    if (e.isCharacter())
        return format("U+%04X", unsigned(static_cast<const CCharEntry&>(e).code()));
    if (e.isString())
        return utf16ToUtf8(static_cast<const CStringEntry&>(e).text());
    return fileNameToBytes(static_cast<const CPictureEntry&>(e).path());
}

int runRender(const CCommandOptions& options) {
    Result<std::unique_ptr<CEntrySet>> set = options.makeEntrySet();
    if (!set)
        return fail(set.error());
    const CGlyphList& list = (*set)->list;
    std::string out;
    for (size_t i = 0; i < list.size(); ++i) {
        const CGlyphEntry& e = list.at(i);
        const CDotMatrix& m = e.matrix();
        out += entryName(e) + format(" %dx%d\n", m.width(), m.height());
        for (int r = 0; r < m.height(); ++r) {
            const uint8_t* row = m.row(r);
            for (int c = 0; c < m.width(); ++c)
                out.push_back(row[c] ? '#' : '.');
            out.push_back('\n');
        }
        out.push_back('\n');
    }
    if (Status s = writeOutput("-", out); !s)
        return fail(s.error());
    return 0;
}

} // namespace

void registerRender(CLI::App& app, CCommands& commands) {
    auto options = std::make_shared<CCommandOptions>();
    CLI::App* cmd =
        app.add_subcommand("render", "Print the matrix of each entry ('#' lit, '.' dark)");
    options->addSettingsOptions(cmd);
    options->addEntryOptions(cmd);
    commands.push_back({cmd, [options] { return runRender(*options); }});
}

void registerFonts(CLI::App& app, CCommands& commands) {
    CLI::App* cmd =
        app.add_subcommand("fonts", "List the font families TrueType rendering can use");
    commands.push_back({cmd, [] {
                            for (const CFontFamily& f : listFontFamilies())
                                std::printf("%s%s\n", utf16ToUtf8(f.name).c_str(),
                                            f.fixedPitch ? "\t(fixed pitch)" : "");
                            return finishStdout();
                        }});
}

} // namespace tgw::cli

#include "base/file_name.h"
#include "base/text.h"
#include "cli/commands.h"
#include "cli/common.h"
#include "cli/preview_options.h"
#include "codegen/preview_layout.h"
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

struct CRenderPicture {
    std::string path; // --png
    bool force = false;
    CLookOptions look;
};

// The entries as tgw preview sets them without a display: in rows of cells, magnified.
int writePicture(const CEntrySet& set, const CRenderPicture& picture) {
    std::vector<const CDotMatrix*> cells;
    for (size_t i = 0; i < set.list.size(); ++i)
        cells.push_back(&set.list.at(i).matrix());
    CPreviewOptions o;
    Result<CPreviewLook> look = picture.look.look(set.settings);
    if (!look)
        return fail(look.error());
    o.look = *look;
    Result<CPreviewCanvas> canvas = drawPreview(layoutCells(cells, 0, kPreviewColumns), o);
    if (!canvas)
        return fail(canvas.error());
    if (Status s = writePreviewPng(*canvas, o.look, picture.path, picture.force); !s)
        return fail(s.error());
    return 0;
}

int runRender(const CCommandOptions& options, const CRenderPicture& picture) {
    if (int usage = picture.look.usageError())
        return usage;
    Result<std::unique_ptr<CEntrySet>> set = options.makeEntrySet();
    if (!set)
        return fail(set.error());
    if (!picture.path.empty())
        return writePicture(**set, picture);
    const CGlyphList& list = (*set)->list;
    std::string out;
    for (size_t i = 0; i < list.size(); ++i) {
        const CGlyphEntry& e = list.at(i);
        const CDotMatrix& m = e.matrix();
        out += entryName(e) + format(" %dx%d", m.width(), m.height());
        out += m.grey() ? format(" %d bits a dot\n", m.depth()) : "\n";
        for (int r = 0; r < m.height(); ++r) {
            const uint8_t* row = m.row(r);
            for (int c = 0; c < m.width(); ++c)
                out.push_back(levelChar(row[c], m.depth()));
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
    CLI::App* cmd = app.add_subcommand(
        "render", "Print the matrix of each entry ('#' lit, '.' dark; grey levels on the ramp "
                  "\".',:;-~=+*ox%&@#\")");
    options->addSettingsOptions(cmd);
    options->addEntryOptions(cmd);
    auto picture = std::make_shared<CRenderPicture>();
    cmd->add_option("--png", picture->path,
                    "Write the entries as a magnified picture instead of printing them: in rows "
                    "of " +
                        std::to_string(kPreviewColumns) +
                        " cells, as tgw preview draws them ('-': standard output)");
    picture->look.add(cmd, 8);
    addForceOption(cmd, picture->force);
    commands.push_back({cmd, [options, picture] { return runRender(*options, *picture); }});
}

namespace {

// One line per face: "0\tDejaVu Sans\tBook\toutline" or "0\tFixed\tRegular\tbitmap 13,15".
int listFaces(const std::string& path) {
    long total = 0;
    Result<std::vector<CFileFace>> faces = listFileFaces(path, &total);
    if (!faces)
        return fail(faces.error());
    if (total > long(faces->size()))
        std::fprintf(stderr, "tgw: the font file '%s' has %ld faces; the first %zu are listed\n",
                     path.c_str(), total, faces->size());
    for (const CFileFace& f : *faces) {
        std::string strikes;
        for (int size : f.strikes)
            strikes += (strikes.empty() ? " " : ",") + std::to_string(size);
        // Names read from the file are data: no control character reaches the terminal.
        std::printf("%d\t%s\t%s\t%s%s\n", f.index, withoutControlCharacters(f.family).c_str(),
                    withoutControlCharacters(f.style).c_str(), f.scalable ? "outline" : "bitmap",
                    strikes.c_str());
    }
    return finishStdout();
}

} // namespace

void registerFonts(CLI::App& app, CCommands& commands) {
    CLI::App* cmd =
        app.add_subcommand("fonts", "List the font families TrueType rendering can use, or the "
                                    "faces of a font file (--file)");
    auto file = std::make_shared<std::string>();
    cmd->add_option("--file", *file,
                    "List the faces of this font file: index, family, style, outline or bitmap, "
                    "and the pixel sizes of its bitmap strikes");
    commands.push_back({cmd, [file] {
                            if (!file->empty())
                                return listFaces(*file);
                            for (const CFontFamily& f : listFontFamilies())
                                std::printf("%s%s\n",
                                            utf16ToUtf8(withoutControlCharacters(f.name)).c_str(),
                                            f.fixedPitch ? "\t(fixed pitch)" : "");
                            return finishStdout();
                        }});
}

} // namespace tgw::cli

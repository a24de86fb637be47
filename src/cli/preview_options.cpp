#include "cli/preview_options.h"

#include "base/replacing_file.h"
#include "cli/common.h"
#include "cli/option_names.h"
#include "codegen/display_presets.h"

#include <cstdio>
#include <string_view>

namespace tgw::cli {

void CLookOptions::add(CLI::App* cmd, int defaultZoom) {
    zoom = defaultZoom;
    // The names in braces, so that the shell completion offers them.
    std::string names;
    for (const CColourScheme& s : colourSchemes())
        names += std::string(names.empty() ? "{" : ",") + s.name;
    cmd->add_option("--colors", colours,
                    colourHelp() + "\n(default: the --preset's kind of display, else epaper)")
        ->check(CLI::Validator(colourProblem, names + "}|#rrggbb,#rrggbb"));
    cmd->add_option("--zoom", zoom,
                    "Pixels a dot on each side (default " + std::to_string(defaultZoom) + ")")
        ->check(CLI::Range(1, 64));
    cmd->add_flag("--grid", grid,
                  "Draw a line between dots (the last pixel row and column of each; needs "
                  "--zoom 2 or more)");
}

int CLookOptions::usageError() const {
    if (!grid || zoom >= 2)
        return 0;
    std::fprintf(stderr, "tgw: --grid needs --zoom 2 or more\n");
    return 2;
}

Result<CPreviewLook> CLookOptions::look(const CSettings& settings) const {
    CPreviewLook look;
    Result<CPreviewColours> c =
        parseColours(colours.empty() ? presetColours(settings.displayPreset) : colours);
    if (!c)
        return failure(c.error());
    look.colours = *c;
    look.zoom = zoom;
    look.grid = grid;
    if (grid && zoom < 2)
        return failure("--grid needs --zoom 2 or more");
    return look;
}

const char* presetColours(const std::string& preset) {
    const CDisplayPreset* p = preset.empty() ? nullptr : findDisplayPreset(preset);
    if (!p)
        return "epaper";
    const std::string_view title = p->title;
    if (title.find("OLED") != std::string_view::npos)
        return "oled-blue";
    if (title.find("LCD") != std::string_view::npos || title.find("graphic RAM") != title.npos ||
        title.find("CGRAM") != std::string_view::npos)
        return "lcd-green";
    return "epaper";
}

namespace {

Status writeImage(const Result<CPreviewImage>& image, const std::string& path, bool force) {
    if (!image)
        return failure(image.error());
    Result<std::string> png = encodePng(*image);
    if (!png)
        return failure(png.error());
    if (path.empty() || path == "-")
        return writeOutput("-", *png);
    return writeFileReplacing(path, *png, force);
}

} // namespace

Status writePreviewPng(const CPreviewCanvas& canvas, const CPreviewLook& look,
                       const std::string& path, bool force) {
    return writeImage(paintCanvas(canvas, look), path, force);
}

Status writePreviewPng(const CColourDots& dots, const CPreviewLook& look, const std::string& path,
                       bool force) {
    return writeImage(paintDots(dots, look), path, force);
}

} // namespace tgw::cli

#pragma once

#include "base/result.h"
#include "codegen/preview_canvas.h"
#include "model/settings.h"

#include <CLI/CLI.hpp>

#include <string>

namespace tgw::cli {

// What tgw preview and tgw render --png share: the look of the picture and its writing.
struct CLookOptions {
    std::string colours; // empty: the preset's kind of display, else e-paper
    int zoom = 1;
    bool grid = false;

    // --colors, --zoom (default `defaultZoom`) and --grid.
    void add(CLI::App* cmd, int defaultZoom);
    // 2 after a line on stderr when the options do not go together (--grid at zoom 1), else 0.
    int usageError() const;
    // The look asked for; colours not given follow the preset of `settings`.
    Result<CPreviewLook> look(const CSettings& settings) const;
};

// Entries drawn without a display are set in rows of this many.
inline constexpr int kPreviewColumns = 16;

// The colour scheme of the display a preset drives: "oled-blue" for the OLED controllers and
// panels, "lcd-green" for the LCDs, "epaper" otherwise.
const char* presetColours(const std::string& preset);

// The canvas painted in `look`, as a PNG at `path` ("-": standard output) through a temporary
// file, so a failure leaves what stood there.
Status writePreviewPng(const CPreviewCanvas& canvas, const CPreviewLook& look,
                       const std::string& path, bool force);
// The same for dots that already have their colours.
Status writePreviewPng(const CColourDots& dots, const CPreviewLook& look, const std::string& path,
                       bool force);

} // namespace tgw::cli

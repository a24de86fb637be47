#pragma once

#include "base/result.h"
#include "codegen/output_writers.h"
#include "library/character_set.h"

#include <CLI/CLI.hpp>

#include <span>
#include <string>

namespace tgw::cli {

// What tgw export and tgw build share for the font formats: --remap and the checks and notes
// made before anything is rendered.
struct CFontFormatOptions {
    std::string remapText;
    CCharacterRemap remap;    // parsed from remapText
    std::string name;         // --name
    bool noKerning = false;   // --no-kerning
    bool compress = false;    // --compress
    bool noPrefilter = false; // --no-prefilter
    int lvgl = 0;             // --lvgl; 0: not given (9)

    // --remap FROM=TO[,...], which every format takes.
    void addRemapOption(CLI::App* cmd);
    // --name IDENT, with `help` saying what it names.
    void addNameOption(CLI::App* cmd, const std::string& help);
    // --no-kerning, --compress, --no-prefilter and --lvgl, for the writers that take them.
    void addFormatChoiceOptions(CLI::App* cmd);
    // The choices, --name included, into `options`; fails (a usage error) naming an option
    // `writer` does not take.
    Status applyTo(const COutputWriter& writer, CWriterOptions& options) const;
};

// Whether `writer` takes --index (the binary file's index, or the tables of a C header,
// which --name asks for); the failure is a usage error.
Status checkIndexOption(const COutputWriter& writer, bool index, const std::string& name);

// The limits of `writer` that the codes alone decide (a GFX font's codes up to 0xFF), with a
// --remap that frees a code where one is needed. Succeeds for writers that check nothing.
Status checkCodes(const COutputWriter& writer, std::span<const char16_t> codes);

// For a GFX font: a note on stderr of the size of its glyph table when codes it lacks lie
// between its first and last code, a warning when they take more than 2 KB.
void noteGfxTable(const COutputWriter& writer, std::span<const char16_t> codes);

// "c, gfx, metrics-c, u8g2": the writers that take --name, from the table; symbolFormats()
// those of them for which it is the font's symbol (not a header's array).
std::string namedFormats();
std::string symbolFormats();
// A line a format, from the table: the depths it holds and the options it takes.
std::string formatCapabilities();
// "gfx, metrics-c, ...": the proportional writers, from the table.
std::string proportionalNames();
// "lvgl, lvgl-bin": the writers that hold kerning / that compress, from the table.
std::string kerningNames();
std::string compressingNames();

// A warning on stderr naming remapped characters the set does not hold.
void warnUnmapped(const std::vector<char16_t>& unmapped);

} // namespace tgw::cli

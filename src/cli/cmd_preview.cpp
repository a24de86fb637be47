#include "base/text.h"
#include "cli/commands.h"
#include "cli/common.h"
#include "cli/font_formats.h"
#include "cli/preview_options.h"
#include "codegen/display_presets.h"
#include "codegen/lvgl_preview.h"
#include "codegen/output_writers.h"
#include "codegen/preview_layout.h"

#include <cstdio>
#include <map>
#include <memory>
#include <optional>

namespace tgw::cli {
namespace {

struct CPreviewCommand {
    std::string text;       // --text: what is drawn; empty: the entries
    bool textGiven = false; // --text "" is a text too
    std::string format;     // a writer's name; empty: fixed cells
    std::string display;    // "WxH"
    std::string cursor;     // "X,Y"
    bool noWrap = false;
    bool noKerning = false;
    std::string output;
    bool force = false;
    CLookOptions look;
};

// "128x64" as two sides of 1 to kMaxMatrixSide; false for anything else.
bool parseSize(const std::string& text, int& width, int& height) {
    const size_t x = text.find_first_of("xX");
    if (x == std::string::npos || x == 0 || x + 1 == text.size())
        return false;
    long w = 0, h = 0;
    for (size_t i = 0; i < text.size(); ++i) {
        if (i == x)
            continue;
        if (text[i] < '0' || text[i] > '9' || (i < x ? w : h) > kMaxMatrixSide)
            return false;
        long& side = i < x ? w : h;
        side = side * 10 + (text[i] - '0');
    }
    if (!validMatrixSize(w, h))
        return false;
    width = int(w);
    height = int(h);
    return true;
}

// "X,Y" of signed numbers within ±kMaxMatrixSide.
bool parsePoint(const std::string& text, int& x, int& y) {
    const size_t comma = text.find(',');
    if (comma == std::string::npos)
        return false;
    auto number = [](const std::string& s, int& out) {
        if (s.empty() || s.size() > 6)
            return false;
        size_t used = 0;
        try {
            out = std::stoi(s, &used);
        } catch (const std::exception&) {
            return false;
        }
        return used == s.size() && out >= -kMaxMatrixSide && out <= kMaxMatrixSide;
    };
    return number(text.substr(0, comma), x) && number(text.substr(comma + 1), y);
}

// The display's native size: --display, else the panel preset's screen, else none.
void displaySize(const CPreviewCommand& p, const CSettings& s, CPreviewOptions& o) {
    if (!p.display.empty()) {
        parseSize(p.display, o.width, o.height);
        return;
    }
    const CDisplayPreset* preset =
        s.displayPreset.empty() ? nullptr : findDisplayPreset(s.displayPreset);
    if (preset && preset->controller) {
        o.width = preset->cellWidth;
        o.height = preset->cellHeight;
    }
}

int runPreview(CCommandOptions& options, const CPreviewCommand& p) {
    if (int usage = p.look.usageError())
        return usage;
    const COutputWriter* writer = nullptr;
    if (!p.format.empty()) {
        writer = findWriter(p.format);
        if (!writer)
            return fail("unknown format '" + p.format + "'");
    }
    // Blanks are drawn: a cell of their own, or the advance of a proportional font.
    options.keepBlanks();
    if (writer && writer->proportional())
        options.cellsNotWritten();
    const std::u16string text = utf8ToUtf16(p.text);
    if (p.textGiven)
        options.alsoCharacters(text);
    Result<std::unique_ptr<CEntrySet>> set = options.makeEntrySet();
    if (!set)
        return fail(set.error());
    const CGlyphList& list = (*set)->list;
    const CSettings& settings = (*set)->settings;

    CPreviewOptions o;
    o.rotation = settings.presetRotation;
    displaySize(p, settings, o);
    Result<CPreviewLook> look = p.look.look(settings);
    if (!look)
        return fail(look.error());
    o.look = *look;
    int seenWidth = 0, seenHeight = 0;
    seenArea(o, seenWidth, seenHeight);
    const int wrap = p.noWrap ? 0 : seenWidth;

    const bool lvgl = writer && std::string_view(writer->name).starts_with("lvgl");
    if (p.noKerning && !lvgl) {
        std::fprintf(stderr, "tgw: --no-kerning belongs to --format lvgl and lvgl-bin\n");
        return 2;
    }
    Result<CPreviewCanvas> canvas = failure("nothing drawn");
    if (writer && writer->proportional()) {
        Result<CProportionalFont> font = proportionalGlyphs(list, writer, lvgl && !p.noKerning);
        if (!font)
            return fail(font.error());
        std::u16string drawn = text;
        if (!p.textGiven)
            for (const CProportionalGlyph& g : font->glyphs)
                drawn += g.code;
        CTextPlacement placement;
        placement.wrapWidth = wrap;
        if (!p.cursor.empty()) {
            int x = 0, y = 0;
            parsePoint(p.cursor, x, y);
            placement.cursorX = x;
            placement.cursorY = y;
        }
        if (lvgl) {
            // LVGL blends each glyph into what is drawn: colours, not levels.
            Result<CColourDots> dots = drawLvglPreview(layoutLvglText(*font, drawn, placement), o);
            if (!dots)
                return fail(dots.error());
            if (Status s = writePreviewPng(*dots, o.look, p.output, p.force); !s)
                return fail(s.error());
            return 0;
        }
        const bool gfx = std::string_view(writer->name) == "gfx";
        const CTextLayout layout = gfx ? layoutGfxText(*font, drawn, placement)
                                       : layoutProportionalText(*font, drawn, placement);
        canvas = drawPreview(layout, o);
    } else {
        if (!p.cursor.empty()) {
            std::fprintf(stderr, "tgw: --cursor belongs to a proportional --format\n");
            return 2;
        }
        std::vector<const CDotMatrix*> cells;
        if (p.textGiven) {
            // The first entry of each character is its cell.
            std::map<char16_t, const CDotMatrix*> byCode;
            for (size_t i = 0; i < list.size(); ++i)
                if (list.at(i).isCharacter())
                    byCode.emplace(static_cast<const CCharEntry&>(list.at(i)).code(),
                                   &list.at(i).matrix());
            for (char16_t c : text) {
                if (c == u'\n')
                    cells.push_back(nullptr);
                else if (auto it = byCode.find(c); it != byCode.end())
                    cells.push_back(it->second);
            }
        } else {
            for (size_t i = 0; i < list.size(); ++i)
                cells.push_back(&list.at(i).matrix());
        }
        // Without a display, a long list of entries is set in rows of 16.
        const CCellLayout layout =
            layoutCells(cells, wrap, p.textGiven || seenWidth > 0 ? 0 : kPreviewColumns);
        canvas = drawPreview(layout, o);
    }
    if (!canvas)
        return fail(canvas.error());
    if (Status s = writePreviewPng(*canvas, o.look, p.output, p.force); !s)
        return fail(s.error());
    return 0;
}

} // namespace

void registerPreview(CLI::App& app, CCommands& commands) {
    auto options = std::make_shared<CCommandOptions>();
    auto p = std::make_shared<CPreviewCommand>();
    CLI::App* cmd = app.add_subcommand(
        "preview", "Draw a text, or the entries, as the display will show them, into a PNG");
    options->rotateWithoutPreset();
    options->addSettingsOptions(cmd);
    options->addEntryOptions(cmd);
    cmd->add_option("--text", p->text,
                    "The text to draw (line breaks start a new line); its characters become "
                    "entries where no entry has them yet. Without it the entries are drawn, one "
                    "after the other")
        ->each([p](const std::string&) { p->textGiven = true; });
    std::vector<std::string> formats;
    for (const COutputWriter& w : outputWriters())
        formats.push_back(w.name);
    cmd->add_option(
           "--format", p->format,
           "Draw by this format's rules: gfx as the GFX library draws its text (the "
           "cursor, each glyph at its x and y offsets, the advance, newline back to x "
           "0 and down by the line advance, wrapping at the display's edge; characters "
           "are bytes, Latin-1); lvgl and lvgl-bin as an LVGL label draws the font "
           "they write (lines of the font's line height from the label's top, each "
           "glyph's box at the pen by its offsets from the base line, the pen moved by "
           "the advance plus the pair's kerning rounded to whole dots, lines wrapped "
           "between words at the display's edge, grey levels blended over the dark "
           "colour as LVGL blends a glyph's opacity at 1, 2, 4 or 8 bits); the other "
           "proportional formats (" +
               replaceAll<std::string>(replaceAll<std::string>(proportionalNames(), "gfx, ", ""),
                                       ", lvgl, lvgl-bin", "") +
               ") pen on the baseline by their metrics; the fixed-cell formats (and "
               "none) set each entry in a cell of its own size, in rows")
        ->check(CLI::IsMember(formats));
    cmd->add_option("--display", p->display,
                    "The display's size in dots in its native orientation (default: a panel "
                    "--preset's screen, else as large as what is drawn); what lies beyond it is "
                    "not shown")
        ->check(CLI::Validator(
            [](const std::string& s) {
                int w = 0, h = 0;
                return parseSize(s, w, h) ? std::string()
                                          : "'" + s + "' is not WxH with sides of 1 to " +
                                                std::to_string(kMaxMatrixSide);
            },
            "WxH"));
    cmd->add_option("--cursor", p->cursor,
                    "Proportional formats: where the text starts, as the GFX library's "
                    "setCursor() takes it (x, and the row of the lowest dots of glyphs standing "
                    "on the baseline; default: x 0, the first line's ascent at the top); for "
                    "lvgl and lvgl-bin the label's top-left corner, as lv_obj_set_pos() takes "
                    "it (default 0,0)")
        ->check(CLI::Validator(
            [](const std::string& s) {
                int x = 0, y = 0;
                return parsePoint(s, x, y) ? std::string() : "'" + s + "' is not X,Y";
            },
            "X,Y"));
    cmd->add_flag("--no-wrap", p->noWrap,
                  "Do not start a new line where the text reaches the display's edge");
    cmd->add_flag("--no-kerning", p->noKerning,
                  "lvgl and lvgl-bin: draw without the face's kerning, as the font written with "
                  "--no-kerning draws");
    p->look.add(cmd, 1);
    cmd->add_option("-o,--output", p->output, "The PNG file to write ('-': standard output)")
        ->required();
    addForceOption(cmd, p->force);
    commands.push_back({cmd, [options, p] { return runPreview(*options, *p); }});
}

} // namespace tgw::cli

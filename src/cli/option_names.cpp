#include "cli/option_names.h"

#include "cli/nearest_names.h"
#include "codegen/preview_canvas.h"
#include "model/settings.h"

namespace tgw::cli {
namespace {

struct COrderName {
    const char* name;
    const char* meaning;
};

// Dot order n packs each dot into the bit the name says; see codegen/matrix_packing.h.
const COrderName kDotOrders[4] = {
    {"rows-msb-left", "rows of dots, 8 to a byte, the leftmost dot in bit 7"},
    {"rows-lsb-left", "rows of dots, 8 to a byte, the leftmost dot in bit 0"},
    {"columns-msb-top", "columns of 8 dots, one byte each, the top dot in bit 7"},
    {"columns-lsb-top", "columns of 8 dots, one byte each, the top dot in bit 0"},
};

// The packed bytes seen as byte rows x byte columns, walked in byte order n.
const COrderName kByteOrders[8] = {
    {"rows-down", "byte rows top to bottom, each left to right (as packed)"},
    {"rows-up", "byte rows bottom to top, each left to right"},
    {"rows-down-rtl", "byte rows top to bottom, each right to left"},
    {"rows-up-rtl", "byte rows bottom to top, each right to left (all bytes reversed)"},
    {"columns-right", "byte columns left to right, each top to bottom"},
    {"columns-left", "byte columns right to left, each top to bottom"},
    {"columns-right-up", "byte columns left to right, each bottom to top"},
    {"columns-left-up", "byte columns right to left, each bottom to top"},
};

} // namespace

const std::map<std::string, std::string>& dotOrderNames() {
    static const std::map<std::string, std::string> names = [] {
        std::map<std::string, std::string> m;
        for (int i = 0; i < 4; ++i)
            m[kDotOrders[i].name] = std::to_string(i);
        return m;
    }();
    return names;
}

const std::map<std::string, std::string>& byteOrderNames() {
    static const std::map<std::string, std::string> names = [] {
        std::map<std::string, std::string> m;
        for (int i = 0; i < 8; ++i) {
            m[kByteOrders[i].name] = std::to_string(i);
            m["mode" + std::to_string(i + 1)] = std::to_string(i);
        }
        return m;
    }();
    return names;
}

std::string dotOrderHelp() {
    std::string help = "Which dot lands in which bit, by number or name (default " +
                       std::to_string(CSettings{}.pointsSeq) + "):";
    for (int i = 0; i < 4; ++i)
        help += "\n  " + std::to_string(i) + " " + kDotOrders[i].name + ": " +
                kDotOrders[i].meaning + " (" + dotOrderName(i) + ")";
    return help + "\nTry `tgw explain --dot-order N --byte-order M --width W --height H`.";
}

std::string byteOrderHelp() {
    std::string help = "In which order the packed bytes are written, by number or name; byte "
                       "order n is the program's 模式n+1, also accepted as modeN+1 (default " +
                       std::to_string(CSettings{}.bytesSeq) + "):";
    for (int i = 0; i < 8; ++i)
        help += "\n  " + std::to_string(i) + " " + kByteOrders[i].name + " (模式" +
                std::to_string(i + 1) + "): " + kByteOrders[i].meaning;
    return help;
}

std::string colourHelp() {
    std::string help = "The colours of lit and dark dots: a scheme's name or #rrggbb,#rrggbb (lit, "
                       "then dark):";
    for (const CColourScheme& s : colourSchemes())
        help += std::string("\n  ") + s.name + ": " + s.description;
    return help;
}

std::string colourProblem(const std::string& text) {
    Result<CPreviewColours> colours = parseColours(text);
    if (colours)
        return {};
    if (!text.empty() && text[0] != '#') {
        std::vector<std::string> names;
        for (const CColourScheme& s : colourSchemes())
            names.push_back(s.name);
        std::vector<std::string> near = nearestNames(text, names, 1, true);
        if (!near.empty())
            return "unknown colours '" + text + "'; did you mean '" + near.front() + "'?";
    }
    return colours.error();
}

const std::vector<std::pair<std::string, EMatrixEdit>>& editNames() {
    static const std::vector<std::pair<std::string, EMatrixEdit>> names = {
        {"invert", EMatrixEdit::Invert},
        {"shift-up", EMatrixEdit::ShiftUp},
        {"shift-down", EMatrixEdit::ShiftDown},
        {"shift-left", EMatrixEdit::ShiftLeft},
        {"shift-right", EMatrixEdit::ShiftRight},
        {"mirror-horizontal", EMatrixEdit::MirrorHorizontal},
        {"mirror-vertical", EMatrixEdit::MirrorVertical},
        {"rotate90", EMatrixEdit::Rotate90},
        {"rotate180", EMatrixEdit::Rotate180},
        {"rotate270", EMatrixEdit::Rotate270},
        {"trim-left", EMatrixEdit::TrimLeft},
        {"trim-right", EMatrixEdit::TrimRight},
        {"trim-top", EMatrixEdit::TrimTop},
        {"trim-bottom", EMatrixEdit::TrimBottom},
    };
    return names;
}

std::string editHelp() {
    std::string help = "Edits applied to every entry after rendering, in the given order, as the "
                       "window's 修改 menu applies them (comma-separated):";
    for (size_t i = 0; i < editNames().size(); ++i)
        help += (i ? ", " : " ") + editNames()[i].first;
    return help + ". Rotations turn clockwise; mirror-horizontal swaps left and right.";
}

std::vector<EMatrixEdit> editsByName(const std::vector<std::string>& names) {
    std::vector<EMatrixEdit> edits;
    for (const std::string& name : names)
        for (const auto& [known, edit] : editNames())
            if (name == known)
                edits.push_back(edit);
    return edits;
}

} // namespace tgw::cli

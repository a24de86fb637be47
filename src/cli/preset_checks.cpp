#include "cli/preset_checks.h"

#include "base/text.h"
#include "cli/common.h"
#include "codegen/code_text.h"
#include "codegen/display_presets.h"

#include <cstdio>

namespace tgw::cli {
namespace {

Status report(const std::string& message, bool strict) {
    if (strict)
        return failure(message + " (--strict)");
    std::fprintf(stderr, "tgw: warning: %s\n", message.c_str());
    return {};
}

} // namespace

void CCommandOptions::addRotateOption(CLI::App* cmd) {
    cmd->add_option("--rotate", m_rotation,
                    m_rotateAlone
                        ? "How the display is mounted: turned 0, 90, 180 or 270 degrees "
                          "clockwise from its native orientation (--display or the panel "
                          "preset's size); the text is laid out as seen and the picture shows "
                          "the display in its native orientation, as its memory holds the dots"
                        : "How the preset's display is mounted: turned 0, 90, 180 or 270 "
                          "degrees clockwise from its native orientation; the entries are drawn "
                          "as seen and turned back into the memory's orientation")
        ->check(CLI::IsMember({0, 90, 180, 270}))
        ->type_name("0|90|180|270");
}

Status checkPresetNeeds(const CSettings& settings, const CGlyphList& list, bool strict) {
    const CDisplayPreset* preset = findDisplayPreset(settings.displayPreset);
    if (!preset || settings.displayPreset.empty())
        return {};
    size_t first = 0, count = 0;
    std::string problem;
    for (size_t i = 0; i < list.size(); ++i) {
        const CDotMatrix& m = list.at(i).matrix();
        std::string p = presetProblem(*preset, m.width(), m.height(), settings.presetRotation,
                                      list.at(i).depth());
        if (p.empty())
            continue;
        if (count++ == 0) {
            first = i;
            problem = std::move(p);
        }
    }
    if (count == 0)
        return {};
    std::string message = format("preset %s: entry %zu (%s): %s", preset->name, first + 1,
                                 entryLabel(list.at(first)).c_str(), problem.c_str());
    if (count > 1)
        message += format(" (and %zu more entr%s)", count - 1, count == 2 ? "y" : "ies");
    return report(message, strict);
}

Status checkPresetCell(const CSettings& settings, bool strict) {
    const CDisplayPreset* preset = findDisplayPreset(settings.displayPreset);
    if (!preset || settings.displayPreset.empty())
        return {};
    const std::string problem = presetProblem(*preset, int(settings.width), int(settings.height),
                                              settings.presetRotation, settings.depth);
    if (problem.empty())
        return {};
    return report(format("preset %s: %s", preset->name, problem.c_str()), strict);
}

} // namespace tgw::cli

#include "cli/commands.h"
#include "cli/common.h"
#include "codegen/byte_map.h"
#include "codegen/display_presets.h"

#include <cstdio>
#include <memory>
#include <optional>
#include <string>

namespace tgw::cli {
namespace {

struct CExplainOptions {
    std::string preset;
    std::optional<int> dotOrder, byteOrder, depth;
    int width = 8, height = 8;
};

int runPresets() {
    std::printf("%-8s %-5s %-6s %s\n", "name", "dots", "bytes", "controller");
    for (const CDisplayPreset* p : allPresets()) {
        std::printf("%-8s %-5d %-6d %s\n", p->name, p->dotOrder, p->byteOrder, p->title);
        std::printf("%22s%s\n", "", p->memory);
        std::printf("%22sdoes: %s\n", "", presetEffects(*p).c_str());
        const std::string needs = presetRequirements(*p);
        if (!needs.empty())
            std::printf("%22sneeds: %s\n", "", needs.c_str());
    }
    return finishStdout();
}

int runExplain(const CExplainOptions& o) {
    int dotOrder = o.dotOrder.value_or(0), byteOrder = o.byteOrder.value_or(0);
    int depth = o.depth.value_or(1);
    if (!o.preset.empty()) {
        const CDisplayPreset* p = findDisplayPreset(o.preset);
        // The option's check has refused unknown names already.
        dotOrder = p->dotOrder;
        byteOrder = p->byteOrder;
        depth = o.depth.value_or(p->depth);
        std::printf("%s: %s\n", p->title, p->memory);
        if (!presetFitsSize(*p, o.width, o.height))
            std::printf("note: %s asks for %s\n", p->name, presetRequirements(*p).c_str());
    }
    const std::string text = CByteMap(o.width, o.height, dotOrder, byteOrder, depth).text();
    std::fwrite(text.data(), 1, text.size(), stdout);
    return finishStdout();
}

} // namespace

void registerDisplay(CLI::App& app, CCommands& commands) {
    CLI::App* presets = app.add_subcommand(
        "presets", "List the display-controller presets with their dot and byte orders");
    commands.push_back({presets, [] { return runPresets(); }});

    auto o = std::make_shared<CExplainOptions>();
    CLI::App* explain = app.add_subcommand(
        "explain", "Print which byte and bit every dot of a matrix goes to, as a grid of "
                   "byte.bit (bit 7 the high bit)");
    CLI::Option* preset =
        explain->add_option("--preset", o->preset, "A display-controller preset (tgw presets)")
            ->check([](const std::string& name) {
                return findDisplayPreset(name) ? std::string()
                                               : "unknown preset '" + name + "' (see tgw presets)";
            });
    explain->add_option("--dot-order", o->dotOrder, "Dot order 0..3")
        ->check(CLI::Range(0, 3))
        ->excludes(preset);
    explain->add_option("--byte-order", o->byteOrder, "Byte order 0..7")
        ->check(CLI::Range(0, 7))
        ->excludes(preset);
    explain
        ->add_option("--depth,--bpp", o->depth,
                     "Bits a dot: 2, 4 and 8 pack fields of that many bits (byte.high-low)")
        ->check(CLI::IsMember({1, 2, 4, 8}));
    explain->add_option("--width", o->width, "Matrix width in dots (default 8)")
        ->check(CLI::Range(1, 64));
    explain->add_option("--height", o->height, "Matrix height in dots (default 8)")
        ->check(CLI::Range(1, 64));
    commands.push_back({explain, [o] { return runExplain(*o); }});
}

} // namespace tgw::cli

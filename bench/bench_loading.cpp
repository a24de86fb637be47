// What a command pays around the rendering: the code page 936 tables, the lookup of a face for
// a character no installed font has, opening a big bitmap font in each renderer, and how the
// library builder spreads over threads. Each new way is measured beside the old one it
// replaced; bench/startup.sh measures whole tgw processes.
#include "base/codepage.h"
#include "bench_fonts.h"
#include "library/character_set.h"
#include "library/library_builder.h"
#include "raster/font_config.h"
#include "raster/freetype_renderer.h"

#include <benchmark/benchmark.h>
#include <fontconfig/fontconfig.h>
#include <ft2build.h>
#include FT_FREETYPE_H
#include <iconv.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <unistd.h>

namespace tgw {
namespace {
#include "base/cp936_table.inc"
}
} // namespace tgw

using namespace tgw;

namespace {

// The folder of the files the benchmarks write, removed at exit.
struct CFolder {
    std::string path;
    CFolder() {
        std::string pattern =
            (std::filesystem::temp_directory_path() / "tgw-bench-loading-XXXXXX").string();
        if (mkdtemp(pattern.data()))
            path = pattern;
    }
    ~CFolder() {
        std::error_code ec;
        if (!path.empty())
            std::filesystem::remove_all(path, ec);
    }
};

const std::string& folder() {
    static const CFolder f;
    return f.path;
}

// A BDF of 30 000 glyphs of 16 × 16 dots, about 5 MB.
const std::string& bigBdf() {
    static const std::string path = [] {
        const std::string p = folder() + "/big.bdf";
        bench::writeBenchBdf(p, 30000, "big");
        return p;
    }();
    return path;
}

// The code page tables as they were built before: one iconv call per double-byte code.
void BM_Cp936_IconvPerCode(benchmark::State& state) {
    for (auto _ : state) {
        iconv_t cd = iconv_open("UCS-2LE", "CP936");
        unsigned sum = 0;
        for (int b1 = 0x81; b1 <= 0xFE; ++b1)
            for (int b2 = 0x40; b2 <= 0xFE; ++b2) {
                if (b2 == 0x7F)
                    continue;
                char in[2] = {char(b1), char(b2)};
                char16_t out[4];
                char* ip = in;
                char* op = reinterpret_cast<char*>(out);
                size_t il = 2, ol = sizeof out;
                iconv(cd, nullptr, nullptr, nullptr, nullptr);
                if (iconv(cd, &ip, &il, &op, &ol) != size_t(-1))
                    sum += out[0];
            }
        iconv_close(cd);
        benchmark::DoNotOptimize(sum);
    }
}
BENCHMARK(BM_Cp936_IconvPerCode)->Unit(benchmark::kMicrosecond);

// The same answers from the generated table, with the encoding table filled as at first use.
void BM_Cp936_GeneratedTable(benchmark::State& state) {
    for (auto _ : state) {
        std::vector<uint16_t> encode(0x10000, 0xFFFF);
        for (size_t i = std::size(kCp936Table); i-- > 0;)
            if (kCp936Table[i])
                encode[kCp936Table[i]] = uint16_t(i);
        benchmark::DoNotOptimize(encode.data());
    }
}
BENCHMARK(BM_Cp936_GeneratedTable)->Unit(benchmark::kMicrosecond);

// A face for a character no installed font has (a private-use code, as the unassigned codes
// of GB2312 become): one fontconfig match each, as before, against the lookup now.
constexpr char32_t kUncoveredFirst = 0xE766;

void BM_Uncovered_FontconfigMatch(benchmark::State& state) {
    FcInit();
    char32_t code = kUncoveredFirst;
    for (auto _ : state) {
        FcPattern* p = FcPatternCreate();
        FcPatternAddString(p, FC_FAMILY, reinterpret_cast<const FcChar8*>("DejaVu Sans"));
        FcCharSet* set = FcCharSetCreate();
        FcCharSetAddChar(set, code);
        FcPatternAddCharSet(p, FC_CHARSET, set);
        FcCharSetDestroy(set);
        FcPatternAddBool(p, FC_SCALABLE, FcTrue);
        FcConfigSubstitute(nullptr, p, FcMatchPattern);
        FcDefaultSubstitute(p);
        FcResult r;
        FcPattern* m = FcFontMatch(nullptr, p, &r);
        FcPatternDestroy(m);
        FcPatternDestroy(p);
        code = code == kUncoveredFirst + 700 ? kUncoveredFirst : code + 1;
    }
}
BENCHMARK(BM_Uncovered_FontconfigMatch)->Unit(benchmark::kMicrosecond);

void BM_Uncovered_FindFaceCovering(benchmark::State& state) {
    char32_t code = kUncoveredFirst;
    for (auto _ : state) {
        benchmark::DoNotOptimize(findFaceCovering(u"DejaVu Sans", false, false, code));
        code = code == kUncoveredFirst + 700 ? kUncoveredFirst : code + 1;
    }
}
BENCHMARK(BM_Uncovered_FindFaceCovering)->Unit(benchmark::kMicrosecond);

// A 5 MB BDF opened by a renderer of its own, as every command and every build worker has
// one: FreeType's open of the file (the floor of one parse) against the renderer's.
void BM_BigBdf_FreeTypeOpen(benchmark::State& state) {
    FT_Library lib;
    FT_Init_FreeType(&lib);
    for (auto _ : state) {
        FT_Face face = nullptr;
        if (FT_New_Face(lib, bigBdf().c_str(), 0, &face) != 0) {
            state.SkipWithError("FreeType cannot open the BDF");
            break;
        }
        FT_Done_Face(face);
    }
    FT_Done_FreeType(lib);
}
BENCHMARK(BM_BigBdf_FreeTypeOpen)->Unit(benchmark::kMillisecond);

void BM_BigBdf_RendererOpen(benchmark::State& state) {
    for (auto _ : state) {
        CFreeTypeRenderer renderer;
        if (!renderer.fileFace(bigBdf(), 0)) {
            state.SkipWithError("the renderer cannot open the BDF");
            break;
        }
    }
}
BENCHMARK(BM_BigBdf_RendererOpen)->Unit(benchmark::kMillisecond);

// GB2312 at 16 dots in DejaVu Sans (hanzi from the fallback face, hundreds of codes from no
// face) over 1, 2, 4 and 8 workers: the builder takes as many as it is given.
void BM_BuildThreads(benchmark::State& state) {
    CSettings s;
    s.fontType = kFontTrueType;
    s.faceName = u"DejaVu Sans";
    s.width = s.height = 16;
    CLibraryRequest request;
    request.set = ECharacterSet::Gb2312;
    const std::string path = folder() + "/gb2312.bin";
    for (auto _ : state) {
        Result<CCharacterPlan> plan = planCharacters(request, s.font(), {});
        if (!plan) {
            state.SkipWithError(plan.error().c_str());
            break;
        }
        CLibraryBuilder builder(s, std::move(plan->characters), *findWriter("bin"), false);
        builder.setThreads(unsigned(state.range(0)));
        if (Result<CBuildSummary> r = builder.build(path); !r) {
            state.SkipWithError(r.error().c_str());
            break;
        }
    }
}
BENCHMARK(BM_BuildThreads)
    ->Arg(1)
    ->Arg(2)
    ->Arg(4)
    ->Arg(8)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();

} // namespace

BENCHMARK_MAIN();

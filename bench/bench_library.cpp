// The library builder against a bare single-threaded FreeType loop that renders the same glyphs
// monochrome and prints their bytes as C text. The builder does more per glyph (placing the
// glyph in its cell, packing in the chosen orders, the comment line of every entry) but renders
// on every core; the ratio of the two is what this program is for.
//
// Wall time (real time) is what counts: the builder's work happens on its worker threads.
// peak_rss_MB is the process's peak resident size so far, which only grows: read it for the
// first benchmark of a filtered run (--benchmark_filter), or measure `tgw build` with
// /usr/bin/time -v for the real process.
#include "base/codepage.h"
#include "library/character_set.h"
#include "library/library_builder.h"

#include <benchmark/benchmark.h>
#include <fontconfig/fontconfig.h>
#include <ft2build.h>
#include FT_FREETYPE_H

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <sys/resource.h>
#include <unistd.h>

using namespace tgw;

namespace {

// A private folder for the files the benchmarks write, removed at exit.
class COutputFolder {
public:
    COutputFolder() {
        std::string pattern =
            (std::filesystem::temp_directory_path() / "tgw-bench-library-XXXXXX").string();
        if (mkdtemp(pattern.data()))
            m_path = pattern;
    }
    ~COutputFolder() {
        std::error_code ec;
        if (!m_path.empty())
            std::filesystem::remove_all(m_path, ec);
    }
    const std::string& path() const { return m_path; }

private:
    std::string m_path;
};

const std::string& outputFolder() {
    static const COutputFolder folder;
    return folder.path();
}

double peakRssMegabytes() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return double(usage.ru_maxrss) / 1024.0;
}

CSettings settingsFor(const char16_t* face) {
    CSettings s;
    s.fontType = kFontTrueType;
    s.faceName = face;
    s.width = s.height = 16;
    return s;
}

CLibraryRequest requestFor(ECharacterSet set) {
    CLibraryRequest r;
    r.set = set;
    r.printableOnly = true;
    return r;
}

// The characters of a request, as the builder gets them.
std::u16string charactersOf(const CSettings& s, const CLibraryRequest& request) {
    Result<CCharacterPlan> plan = planCharacters(request, s.font(), {});
    return plan ? plan->characters : std::u16string();
}

// A whole build as `tgw build` runs it: the character set, then rendering and writing the file.
void library(benchmark::State& state, const char16_t* face, ECharacterSet set,
             const COutputWriter& output, bool withIndex) {
    const CSettings s = settingsFor(face);
    const CLibraryRequest request = requestFor(set);
    const std::string path = outputFolder() + "/library.out";
    const unsigned threads = unsigned(state.range(0));
    size_t glyphs = 0;
    uint64_t bytes = 0;
    for (auto _ : state) {
        Result<CCharacterPlan> plan = planCharacters(request, s.font(), {});
        if (!plan) {
            state.SkipWithError(plan.error().c_str());
            return;
        }
        CLibraryBuilder builder(s, std::move(plan->characters), output, withIndex);
        builder.setThreads(threads);
        Result<CBuildSummary> r = builder.build(path);
        if (!r) {
            state.SkipWithError(r.error().c_str());
            return;
        }
        glyphs = r->glyphs;
        bytes = r->bytes;
    }
    state.SetItemsProcessed(int64_t(state.iterations() * glyphs));
    state.counters["glyphs"] = double(glyphs);
    state.counters["bytes"] = double(bytes);
    state.counters["peak_rss_MB"] = peakRssMegabytes();
}

std::string fontFile(const char16_t* family, int* index) {
    FcInit();
    std::string name;
    for (const char16_t* p = family; *p; ++p)
        name.push_back(char(*p));
    FcPattern* p = FcNameParse(reinterpret_cast<const FcChar8*>(name.c_str()));
    FcConfigSubstitute(nullptr, p, FcMatchPattern);
    FcDefaultSubstitute(p);
    FcResult r;
    FcPattern* m = FcFontMatch(nullptr, p, &r);
    FcChar8* file = nullptr;
    FcPatternGetString(m, FC_FILE, 0, &file);
    FcPatternGetInteger(m, FC_INDEX, 0, index);
    std::string out = file ? reinterpret_cast<const char*>(file) : "";
    FcPatternDestroy(m);
    FcPatternDestroy(p);
    return out;
}

// The least a converter can do: one thread, FreeType's monochrome bitmap of each glyph at 16
// dots, its bytes printed as C text into a file.
void bareLoop(benchmark::State& state, const char16_t* face, ECharacterSet set) {
    const std::u16string chars = charactersOf(settingsFor(face), requestFor(set));
    int index = 0;
    const std::string file = fontFile(face, &index);
    FT_Library lib;
    FT_Face ftFace;
    if (FT_Init_FreeType(&lib) != 0 || FT_New_Face(lib, file.c_str(), index, &ftFace) != 0) {
        state.SkipWithError("FreeType cannot open the face");
        return;
    }
    FT_Set_Pixel_Sizes(ftFace, 0, 16);
    const std::string path = outputFolder() + "/bare.out";
    for (auto _ : state) {
        std::FILE* out = std::fopen(path.c_str(), "wb");
        for (char16_t c : chars) {
            if (FT_Load_Char(ftFace, c, FT_LOAD_RENDER | FT_LOAD_TARGET_MONO) != 0)
                continue;
            const FT_Bitmap& bm = ftFace->glyph->bitmap;
            const unsigned rowBytes = (bm.width + 7) / 8;
            for (unsigned r = 0; r < bm.rows; ++r) {
                const unsigned char* row = bm.buffer + long(r) * bm.pitch;
                for (unsigned b = 0; b < rowBytes; ++b)
                    std::fprintf(out, "0x%02X,", row[b]);
            }
            std::fputs("\r\n", out);
        }
        std::fclose(out);
    }
    state.SetItemsProcessed(int64_t(state.iterations() * chars.size()));
    state.counters["glyphs"] = double(chars.size());
    FT_Done_Face(ftFace);
    FT_Done_FreeType(lib);
}

// Builds the characters of `request` with `w` into a file for every iteration, counting glyphs
// and bytes.
void buildEach(benchmark::State& state, const CSettings& s, const CLibraryRequest& request,
               const COutputWriter* w, bool withIndex, const std::string& path) {
    size_t glyphs = 0;
    uint64_t bytes = 0;
    for (auto _ : state) {
        Result<CCharacterPlan> plan = planCharacters(request, s.font(), {});
        if (!plan || !w) {
            state.SkipWithError(plan ? "no such writer" : plan.error().c_str());
            return;
        }
        CLibraryBuilder builder(s, std::move(plan->characters), *w, withIndex);
        Result<CBuildSummary> r = builder.build(path);
        if (!r) {
            state.SkipWithError(r.error().c_str());
            return;
        }
        glyphs = r->glyphs;
        bytes = r->bytes;
    }
    state.SetItemsProcessed(int64_t(state.iterations() * glyphs));
    state.counters["glyphs"] = double(glyphs);
    state.counters["bytes"] = double(bytes);
}

// The same build through a writer of the table by name: the proportional writers against the
// fixed-matrix writers of the same set. `ranges` empty: every character of the face.
void writer(benchmark::State& state, const char16_t* face, const char* ranges, const char* name) {
    CLibraryRequest request = requestFor(*ranges ? ECharacterSet::Range : ECharacterSet::Font);
    request.ranges = ranges;
    buildEach(state, settingsFor(face), request, findWriter(name), false,
              outputFolder() + "/writer.out");
}

// A GB2312 build into a binary file at 1, 2, 4 and 8 bits a dot (the argument): anti-aliased
// rendering and the longer fields against the one-bit build.
void depth(benchmark::State& state, const char16_t* face) {
    CSettings s = settingsFor(face);
    s.depth = int(state.range(0));
    buildEach(state, s, requestFor(ECharacterSet::Gb2312), findWriter("bin"), true,
              outputFolder() + "/depth.out");
}

constexpr const char16_t* kWqy = u"WenQuanYi Micro Hei";
constexpr const char16_t* kDejaVu = u"DejaVu Sans";

// Argument: worker threads, 0 for one per processor.
BENCHMARK_CAPTURE(library, gb2312_wqy16_c, kWqy, ECharacterSet::Gb2312, *findWriter("c"), false)
    ->Arg(0)
    ->Arg(1)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();
BENCHMARK_CAPTURE(library, gb2312_wqy16_bin_index, kWqy, ECharacterSet::Gb2312, *findWriter("bin"),
                  true)
    ->Arg(0)
    ->Arg(1)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();
BENCHMARK_CAPTURE(library, font_wqy16_bin_index, kWqy, ECharacterSet::Font, *findWriter("bin"),
                  true)
    ->Arg(0)
    ->Arg(1)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();
BENCHMARK_CAPTURE(library, ascii_dejavu16_c, kDejaVu, ECharacterSet::Ascii, *findWriter("c"), false)
    ->Arg(0)
    ->Arg(1)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();

BENCHMARK_CAPTURE(depth, gb2312_wqy16_bin, kWqy)
    ->Arg(1)
    ->Arg(2)
    ->Arg(4)
    ->Arg(8)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();

// Every glyph of WenQuanYi Micro Hei (the GFX format's 64 KiB cannot hold them: the Latin
// blocks of DejaVu Sans stand in for it).
BENCHMARK_CAPTURE(writer, font_wqy16_c, kWqy, "", "c")
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();
BENCHMARK_CAPTURE(writer, font_wqy16_bin, kWqy, "", "bin")
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();
BENCHMARK_CAPTURE(writer, font_wqy16_metrics_c, kWqy, "", "metrics-c")
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();
BENCHMARK_CAPTURE(writer, font_wqy16_metrics_bin, kWqy, "", "metrics-bin")
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();
BENCHMARK_CAPTURE(writer, font_wqy16_bdf, kWqy, "", "bdf")
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();
BENCHMARK_CAPTURE(writer, font_wqy16_u8g2, kWqy, "", "u8g2")
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();
BENCHMARK_CAPTURE(writer, latin_dejavu16_c, kDejaVu, "0x20-0x24F", "c")
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();
// A GFX font holds codes up to 0xFF only: Latin-1 beside the C text of the same set.
BENCHMARK_CAPTURE(writer, latin1_dejavu16_c, kDejaVu, "0x20-0x7E,0xA0-0xFF", "c")
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();
BENCHMARK_CAPTURE(writer, latin1_dejavu16_gfx, kDejaVu, "0x20-0x7E,0xA0-0xFF", "gfx")
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();
BENCHMARK_CAPTURE(writer, latin_dejavu16_metrics_bin, kDejaVu, "0x20-0x24F", "metrics-bin")
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();

BENCHMARK_CAPTURE(bareLoop, gb2312_wqy16, kWqy, ECharacterSet::Gb2312)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();
BENCHMARK_CAPTURE(bareLoop, font_wqy16, kWqy, ECharacterSet::Font)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();
BENCHMARK_CAPTURE(bareLoop, ascii_dejavu16, kDejaVu, ECharacterSet::Ascii)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();

} // namespace

BENCHMARK_MAIN();

#include "base/codepage.h"
#include "base/text.h"
#include "cli/commands.h"
#include "cli/common.h"
#include "cli/entry_checks.h"
#include "library/character_set.h"
#include "library/library_builder.h"
#include "project/text_import.h"

#include <cerrno>
#include <chrono>
#include <csignal>
#include <cstdio>
#include <memory>
#include <unistd.h>

namespace tgw::cli {
namespace {

struct CBuildOptions {
    std::string set;
    std::string text;
    std::string textFile;
    bool printable = false;
    bool sort = false;
    bool dedupe = false;
    bool skipBlanks = false;
    bool unicodeOrder = false;
    std::string format;
    bool index = false;
    std::string output;
    bool force = false;
    bool quiet = false;
    unsigned jobs = 0;
    bool allowEmpty = false;
    bool allowFallback = false;
};

volatile std::sig_atomic_t g_interrupted = 0;

extern "C" void onInterrupt(int) {
    g_interrupted = 1;
}

// "-o -": the library goes to standard output as it is made.
class CStdoutOutput : public IOutput {
public:
    Status write(std::string_view bytes) override {
        while (!bytes.empty()) {
            const ssize_t n = ::write(STDOUT_FILENO, bytes.data(), bytes.size());
            if (n < 0 && errno == EINTR)
                continue;
            if (n <= 0)
                return failure("cannot write to standard output");
            bytes.remove_prefix(size_t(n));
        }
        return {};
    }
};

// A bar of 40 cells, redrawn in place on a terminal.
void drawProgress(size_t done, size_t total) {
    const size_t cells = total ? done * 40 / total : 40;
    char bar[41];
    for (size_t i = 0; i < 40; ++i)
        bar[i] = i < cells ? '#' : '.';
    bar[40] = 0;
    std::fprintf(stderr, "\r[%s] %zu/%zu", bar, done, total);
    std::fflush(stderr);
}

ECharacterSet characterSet(const std::string& name) {
    if (name == "ascii")
        return ECharacterSet::Ascii;
    if (name == "gb2312")
        return ECharacterSet::Gb2312;
    if (name == "custom")
        return ECharacterSet::Custom;
    return ECharacterSet::Font;
}

int runBuild(const CCommandOptions& options, const CBuildOptions& b) {
    if (b.index && b.format != "bin") {
        std::fprintf(stderr, "tgw: --index belongs to --format bin\n");
        return 2;
    }
    const bool custom = b.set == "custom";
    if (custom == (b.text.empty() && b.textFile.empty()) ||
        (!b.text.empty() && !b.textFile.empty())) {
        std::fprintf(stderr, custom ? "tgw: --set custom takes one of --text and --text-file\n"
                                    : "tgw: --text and --text-file belong to --set custom\n");
        return 2;
    }
    const auto started = std::chrono::steady_clock::now();

    Result<CSettings> settings = options.settings();
    if (!settings)
        return fail(settings.error());

    CLibraryRequest request;
    request.set = characterSet(b.set);
    request.printableOnly = b.printable;
    request.sort = b.sort;
    request.codePageOrder = !settings->useUnicode;
    request.removeDuplicates = b.dedupe;
    request.skipBlanks = b.skipBlanks;
    if (!b.allowFallback)
        if (Status face = checkFace(*settings); !face)
            return fail(face.error());
    if (!b.textFile.empty()) {
        Result<std::u16string> text = importTextFile(b.textFile);
        if (!text)
            return fail(text.error());
        request.customText = std::move(text).value();
    } else {
        request.customText = utf8ToUtf16(b.text);
    }
    if (Status plane = checkBasicPlane(request.customText,
                                       b.textFile.empty() ? "'" + b.text + "'" : b.textFile);
        !plane)
        return fail(plane.error());

    // Without a window to ask in, --unicode-order is the answer given beforehand.
    char16_t withoutForm = 0;
    Result<CCharacterPlan> plan = planCharacters(request, settings->font(), [&](char16_t c) {
        withoutForm = c;
        return b.unicodeOrder;
    });
    if (!plan)
        return fail(plan.error());
    if (plan->refused) {
        // The character itself too, unless it is a control, a blank or half a surrogate pair.
        const char16_t c = withoutForm;
        const bool shown = c >= 0xA0 && !isWhiteSpace(c) && (c < 0xD800 || c > 0xDFFF);
        return fail(format("U+%04X%s has no code page 936 form, so the set cannot be sorted in "
                           "code page order; --unicode-order sorts it in Unicode order",
                           unsigned(c),
                           shown ? (" (" + utf16ToUtf8(std::u16string(1, c)) + ")").c_str() : ""));
    }

    if (plan->characters.empty() && !b.allowEmpty)
        return fail("no entries: the set has no characters to build (--allow-empty writes an "
                    "empty library)");

    const ELibraryOutput output = b.format == "bin"   ? ELibraryOutput::Binary
                                  : b.format == "asm" ? ELibraryOutput::AsmText
                                                      : ELibraryOutput::CText;
    CLibraryBuilder builder(*settings, std::move(plan->characters), output, b.index);
    builder.setThreads(b.jobs);
    // Ctrl-C, a terminating signal and a closed terminal stop the build the regular way, which
    // removes the temporary file instead of leaving it beside the target. The handlers are in place
    // before the temporary file is made.
    struct sigaction action {
    }, oldInt{}, oldTerm{}, oldHup{};
    action.sa_handler = onInterrupt;
    sigemptyset(&action.sa_mask);
    sigaction(SIGINT, &action, &oldInt);
    sigaction(SIGTERM, &action, &oldTerm);
    sigaction(SIGHUP, &action, &oldHup);
    auto restoreSignals = [&] {
        sigaction(SIGINT, &oldInt, nullptr);
        sigaction(SIGTERM, &oldTerm, nullptr);
        sigaction(SIGHUP, &oldHup, nullptr);
    };

    CStdoutOutput stdoutOutput;
    if (Status s = b.output == "-" ? builder.start(stdoutOutput) : builder.start(b.output, b.force);
        !s) {
        restoreSignals();
        return fail(s.error());
    }

    const bool showProgress = !b.quiet && ::isatty(STDERR_FILENO);
    size_t shown = size_t(-1);
    for (;;) {
        if (g_interrupted)
            builder.cancel();
        if (showProgress && builder.done() != shown) {
            shown = builder.done();
            drawProgress(shown, builder.total());
        }
        if (builder.waitFor(std::chrono::milliseconds(50)))
            break;
    }
    Result<CBuildSummary> result = builder.wait();
    restoreSignals();
    if (showProgress)
        std::fprintf(stderr, "\r\033[K");
    if (!result) {
        if (builder.cancelled())
            return fail(b.output == "-" ? "interrupted" : "interrupted; nothing was written");
        return fail(result.error());
    }
    const double seconds =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - started).count();
    std::fprintf(stderr, "tgw: %zu glyphs, %llu bytes, %.3f s\n", result->glyphs,
                 static_cast<unsigned long long>(result->bytes), seconds);
    return 0;
}

} // namespace

void registerBuild(CLI::App& app, CCommands& commands) {
    auto options = std::make_shared<CCommandOptions>();
    auto b = std::make_shared<CBuildOptions>();
    CLI::App* cmd = app.add_subcommand(
        "build",
        "Build a whole font library: every character of a set into one code or binary file");
    options->addSettingsOptions(cmd);
    cmd->add_option("--set", b->set,
                    "ascii (codes 1..127), gb2312 (the 8178 double-byte codes), font (every "
                    "character the font has) or custom (--text or --text-file)")
        ->required()
        ->check(CLI::IsMember({"ascii", "gb2312", "font", "custom"}));
    cmd->add_option("--text", b->text, "The characters of --set custom");
    cmd->add_option("--text-file", b->textFile,
                    "The characters of --set custom from a text file (UTF-8, UTF-16 with a "
                    "byte-order mark, or code page 936)")
        ->check(CLI::ExistingFile);
    cmd->add_flag("--printable", b->printable, "ASCII from 32 (the blank) instead of from 1");
    cmd->add_flag("--sort", b->sort,
                  "Sort the set: by code page 936 code, or by UTF-16 code with --unicode");
    cmd->add_flag("--unicode-order", b->unicodeOrder,
                  "When --sort in code page order meets a character without a code page 936 "
                  "form, sort in Unicode order instead of failing");
    cmd->add_flag("--dedupe", b->dedupe,
                  "Drop repeated characters (the first of each stays unless --sort)");
    cmd->add_flag("--skip-blanks", b->skipBlanks, "Do not render white-space characters");
    cmd->add_option("--format", b->format, "c, asm or bin")
        ->required()
        ->check(CLI::IsMember({"c", "asm", "bin"}));
    cmd->add_flag("--index", b->index, "Put the index of codes, sizes and offsets before the data");
    cmd->add_option("-o,--output", b->output, "The library file (\"-\": standard output)")
        ->required();
    addForceOption(cmd, b->force);
    cmd->add_flag("-q,--quiet", b->quiet, "No progress bar");
    cmd->add_flag("--allow-empty", b->allowEmpty, "An empty library is not an error");
    cmd->add_flag("--allow-fallback", b->allowFallback,
                  "Render with fontconfig's substitute when the --face is not installed");
    cmd->add_option("-j,--jobs", b->jobs, "Rendering threads (default: one per processor)")
        ->check(CLI::Range(1, 256));
    commands.push_back({cmd, [options, b] { return runBuild(*options, *b); }});
}

} // namespace tgw::cli

#pragma once

#include "base/output.h"
#include "base/result.h"
#include "codegen/encoding_options.h"
#include "codegen/output_writers.h"
#include "library/character_set.h"
#include "model/font_settings.h"
#include "model/ink_loss.h"
#include "model/settings.h"

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <mutex>
#include <string>
#include <thread>

namespace tgw {

class CReplacingFile;
class IRasteriser;

// What a finished build wrote.
struct CBuildSummary {
    size_t glyphs = 0;
    uint64_t bytes = 0;
    CInkTally lostInk;   // the glyphs whose ink did not fit their cells
    bool written = true; // false: a build to a file kept nothing, see setKeepOnlyWhole()
};

// Renders a list of characters into glyph matrices and writes them as one code or binary file,
// byte for byte what the code-text and binary-file writers make of a glyph list holding a
// character entry for each of them (with the half-width rule of new entries).
//
// The work is cut into chunks of entries in output order. Worker threads, each with its own
// rasteriser, render and encode whole chunks; the writing thread hands the chunks to the
// output strictly in order, and the workers run at most a few chunks ahead of it, so memory
// stays a small multiple of a chunk whatever the size of the library. With the index, the index
// goes first: a character entry's matrix size is known before it is rendered.
//
// The builder keeps its own copies of the settings and the characters. done() and total() may be
// read, and cancel() called, from any thread while a build runs.
class CLibraryBuilder {
public:
    // Any writer of the table (findWriter("c"), "asm", "bin": the code text or the encoded bytes
    // of every entry, the binary file optionally behind the index). A proportional writer gets
    // every glyph cropped to its ink at the font's natural width, and writes once all are rendered;
    // the glyphs are held packed (about what the output takes), and the format's limits are checked
    // before the first glyph is rendered (the codes, the line) and as each glyph comes.
    CLibraryBuilder(const CSettings& settings, std::u16string characters,
                    const COutputWriter& writer, bool withIndex);
    // Cancels a build that start() began and waits for it.
    ~CLibraryBuilder();
    CLibraryBuilder(const CLibraryBuilder&) = delete;
    CLibraryBuilder& operator=(const CLibraryBuilder&) = delete;

    // Worker threads of a build; 0 (the default) means one per processor.
    void setThreads(unsigned threads) { m_threads = threads; }
    // A build into a file that has glyphs whose ink did not fit their cells keeps no file
    // (the summary says so); the build itself succeeds, to tell how many.
    void setKeepOnlyWhole(bool on) { m_keepOnlyWhole = on; }
    // The characters the set holds at remapped codes (see remapCharacters(), which made them):
    // each is drawn with the glyph of the character placed there.
    void setRemap(CCharacterRemap remap) { m_remap = std::move(remap); }
    // The symbol of a proportional writer's font; empty (the default): made from the font name.
    void setIdentifier(std::string identifier) { m_identifier = std::move(identifier); }
    // The choices passed to a proportional writer (kerning, compression, library version);
    // the identifier stays setIdentifier()'s.
    void setWriterOptions(CWriterOptions options) { m_options = std::move(options); }

    // Builds into `out` on the calling thread (the rendering on the workers). On failure or
    // cancellation `out` holds a part of the file; the reason names the entry that failed.
    Result<CBuildSummary> run(IOutput& out);
    // Builds into the file `path` through a temporary file that takes its place only when the
    // build succeeds: a failed or cancelled build leaves the old file (or no file) as it was.
    Result<CBuildSummary> build(const std::string& path);

    // The same in the background. start() opens the temporary file first and fails, starting
    // nothing, when it cannot be made. Call at most once per builder. A write-protected file
    // is refused unless `force`.
    Status start(const std::string& path, bool force = false);
    // Writes into `out`, which must outlive the build.
    Status start(IOutput& out);
    bool finished() const { return m_finished.load(std::memory_order_acquire); }
    // Sleeps until the started build ends or `timeout` has passed; returns finished().
    bool waitFor(std::chrono::milliseconds timeout);
    // Waits for a started build to end and returns its outcome.
    Result<CBuildSummary> wait();

    // Asks a running build to stop: the workers end after the entry at hand, nothing more is
    // written, and run() fails with cancelled() true.
    void cancel();
    bool cancelled() const { return m_cancel.load(std::memory_order_acquire); }

    // Entries rendered so far, of total().
    size_t done() const { return m_done.load(std::memory_order_relaxed); }
    size_t total() const { return m_characters.size(); }

    // The message of a cancelled build.
    static const char* cancelledMessage() { return "the build was cancelled"; }

private:
    struct CChunk;

    size_t chunkSize() const;
    std::vector<CHeaderEntry> entryTable() const;
    // The binary index of `table`; empty when an offset passes 4 GiB.
    static std::string indexBytes(std::span<const CHeaderEntry> table);
    Status renderChunk(IRasteriser& rasteriser, size_t first, size_t last, CChunk& out);
    Status checkProportionalFont(IRasteriser& rasteriser) const;
    void finish(Result<CBuildSummary> result);

    CFontSettings m_font;
    bool m_halfWidth;
    CEncodingOptions m_encoding;
    std::u16string m_characters;
    const COutputWriter* m_writer; // an entry of the static table
    bool m_withIndex;
    unsigned m_threads = 0;
    bool m_keepOnlyWhole = false;
    CCharacterRemap m_remap;
    std::string m_identifier;
    CWriterOptions m_options;

    std::atomic<size_t> m_done{0};
    std::atomic<bool> m_cancel{false};
    std::mutex m_mutex; // guards the wake-ups of a cancel and of the build's end
    std::condition_variable m_wake;

    std::unique_ptr<CReplacingFile> m_file;
    std::thread m_thread;
    std::atomic<bool> m_finished{false};
    std::unique_ptr<Result<CBuildSummary>> m_result;
};

} // namespace tgw

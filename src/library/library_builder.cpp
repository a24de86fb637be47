#include "library/library_builder.h"

#include "base/replacing_file.h"
#include "base/text.h"
#include "codegen/binary_file.h"
#include "codegen/code_text.h"
#include "codegen/matrix_packing.h"
#include "codegen/utf8_text_output.h"
#include "model/glyph_list.h"
#include "model/null_rasteriser.h"
#include "raster/rasteriser.h"

#include <algorithm>
#include <exception>
#include <iterator>
#include <new>
#include <system_error>
#include <vector>

namespace tgw {
namespace {

// A chunk holds at most this many entries, and at most this many dots (a few megabytes of
// matrices even for the largest cells).
constexpr size_t kChunkEntries = 256;
constexpr size_t kChunkDots = size_t(1) << 22;
// Below this many entries a chunk is not cut smaller to share the work among more workers.
constexpr size_t kMinChunkEntries = 16;

} // namespace

// One chunk's encoded bytes, handed from the worker that made them to the writer.
struct CLibraryBuilder::CChunk {
    std::string data;
    std::vector<CProportionalGlyph> glyphs; // for proportional writers, instead of data
    CLineMetrics line;
    CInkTally lostInk;
    Status status;
    bool ready = false;
};

namespace {

// Passes what is written on and counts it.
class CCountingOutput : public IOutput {
public:
    explicit CCountingOutput(IOutput& out) : m_out(out) {}
    Status write(std::string_view bytes) override {
        m_bytes += bytes.size();
        return m_out.write(bytes);
    }
    uint64_t bytes() const { return m_bytes; }

private:
    IOutput& m_out;
    uint64_t m_bytes = 0;
};

// A worker's rasteriser, through the remap when there is one.
struct CWorkerRasteriser {
    explicit CWorkerRasteriser(const CCharacterRemap& remap) : remapped(own, remap) {}
    CRasteriser own;
    CRemappedRasteriser remapped;
};

} // namespace

CLibraryBuilder::CLibraryBuilder(const CSettings& settings, std::u16string characters,
                                 const COutputWriter& writer, bool withIndex)
    : m_font(settings.font()), m_halfWidth(settings.halfWidth != 0),
      m_encoding(CEncodingOptions::fromSettings(settings)), m_characters(std::move(characters)),
      m_writer(&writer), m_withIndex(withIndex && writer.takesIndex) {}

CLibraryBuilder::~CLibraryBuilder() {
    cancel();
    if (m_thread.joinable())
        m_thread.join();
}

void CLibraryBuilder::cancel() {
    m_cancel.store(true, std::memory_order_release);
    // Taken so that a thread between testing the flag and going to sleep cannot miss the call.
    { std::lock_guard lock(m_mutex); }
    m_wake.notify_all();
}

size_t CLibraryBuilder::chunkSize() const {
    const size_t dots = size_t(std::max(m_font.width, 1)) * size_t(std::max(m_font.height, 1));
    return std::clamp<size_t>(kChunkDots / dots, 1, kChunkEntries);
}

std::vector<CHeaderEntry> CLibraryBuilder::entryTable() const {
    CNullRasteriser none; // the table needs entries but never their dots
    std::vector<CHeaderEntry> table;
    table.reserve(m_characters.size());
    uint64_t offset = 0;
    for (char16_t c : m_characters) {
        const CCharEntry entry(none, c, characterFont(m_font, c, m_halfWidth));
        const size_t bytes =
            packedLayout(entry.width(), entry.height(), m_encoding.dotOrder, entry.depth()).size();
        table.push_back(
            {indexCode(entry, m_encoding.unicode), offset, bytes, entry.width(), entry.height()});
        offset += bytes;
    }
    return table;
}

std::string CLibraryBuilder::indexBytes(std::span<const CHeaderEntry> table) {
    std::string index;
    index.reserve(4 + 10 * table.size());
    appendIndexCount(index, table.size());
    for (const CHeaderEntry& e : table) {
        if (e.offset > 0xFFFFFFFFu)
            return {};
        appendIndexRecord(index, e.code, e.width, e.height, e.offset);
    }
    return index;
}

Status CLibraryBuilder::renderChunk(IRasteriser& rasteriser, size_t first, size_t last,
                                    CChunk& out) {
    if (m_writer->proportional()) {
        const CFontSettings font = naturalWidth(m_font);
        for (size_t i = first; i < last; ++i) {
            if (cancelled())
                return failure(cancelledMessage());
            const char16_t c = m_characters[i];
            CProportionalGlyph glyph;
            if (Status s = rasteriser.renderProportional(c, ansiForm(c), font, glyph, out.line); !s)
                return failure(
                    format("entry %zu (U+%04X): %s", i + 1, unsigned(c), s.error().c_str()));
            if (m_writer->checkGlyph)
                if (Status s = m_writer->checkGlyph(glyph); !s)
                    return s;
            out.glyphs.push_back(std::move(glyph));
            m_done.fetch_add(1, std::memory_order_relaxed);
        }
        return {};
    }
    // The entries go into a list of their own, which the writers of the code generator then
    // encode exactly as they encode a document's list.
    CGlyphList list(rasteriser);
    for (size_t i = first; i < last; ++i) {
        if (cancelled())
            return failure(cancelledMessage());
        const char16_t c = m_characters[i];
        const CFontSettings font = characterFont(m_font, c, m_halfWidth);
        CGlyphEntry& entry = list.append(std::make_unique<CCharEntry>(rasteriser, c, font));
        if (Status s = entry.render(); !s)
            return failure(
                format("entry %zu (%s): %s", i + 1, entryLabel(entry).c_str(), s.error().c_str()));
        // The index went out before the data, made from the sizes entries are created with.
        if (entry.matrix().width() != font.width || entry.matrix().height() != font.height)
            return failure(format("entry %zu (%s) came out %dx%d instead of %dx%d", i + 1,
                                  entryLabel(entry).c_str(), entry.matrix().width(),
                                  entry.matrix().height(), font.width, font.height));
        out.lostInk.add(entry.inkLoss());
        m_done.fetch_add(1, std::memory_order_relaxed);
    }
    CStringOutput encoded;
    if (Status s = m_writer->writeMatrices(list, m_encoding, CWriterOptions{}, encoded); !s)
        return s;
    out.data = std::move(encoded).data();
    return {};
}

Status CLibraryBuilder::checkProportionalFont(IRasteriser& rasteriser) const {
    if (!m_writer->checkFont)
        return {};
    // One glyph gives the line; the codes are the set's.
    CProportionalGlyph glyph;
    CLineMetrics line;
    const char16_t c = m_characters.front();
    if (Status s = rasteriser.renderProportional(c, ansiForm(c), naturalWidth(m_font), glyph, line);
        !s)
        return failure(format("entry 1 (U+%04X): %s", unsigned(c), s.error().c_str()));
    return m_writer->checkFont(m_characters, line);
}

Result<CBuildSummary> CLibraryBuilder::run(IOutput& out) {
    m_done.store(0, std::memory_order_relaxed);
    const size_t count = m_characters.size();
    CBuildSummary summary;
    if (count == 0) {
        if (m_writer->opening && !m_identifier.empty())
            return failure("a header needs at least one entry (C has no empty array)");
        return summary; // an empty library is an empty file, index or not
    }
    if (!m_font.usable())
        return failure("the font settings cannot render anything (font kind, face and size)");
    if (Status s = checkWriterDepth(*m_writer, m_font.depth); !s)
        return failure(s.error());
    if (m_writer->proportional())
        if (Status s = checkWriterChoices(*m_writer, m_options, m_font.depth); !s)
            return failure(s.error());
    if (cancelled())
        return failure(cancelledMessage());
    // Made on this thread when a check needs it, and kept for rendering when no worker starts.
    std::unique_ptr<CWorkerRasteriser> ownRasteriser;
    if (m_writer->proportional() && m_writer->checkFont) {
        ownRasteriser = std::make_unique<CWorkerRasteriser>(m_remap);
        if (Status s = checkProportionalFont(ownRasteriser->remapped); !s)
            return failure(s.error());
    }

    // The index, and the header's tables, are made from the sizes entries are created with.
    const bool header = m_writer->opening && !m_identifier.empty();
    std::vector<CHeaderEntry> table;
    if (m_withIndex || header)
        table = entryTable();
    if (header && !table.empty() && table.back().offset > 0xFFFFFFFFu)
        return failure("the matrix data passes 4 GiB, more than the offsets can address");
    // The header's own text is code text: in UTF-8 too when the entries' is.
    auto writeHeaderText = [&](const std::string& text) -> Status {
        if (!m_encoding.utf8) {
            summary.bytes += text.size();
            return out.write(text);
        }
        CCountingOutput counted(out);
        CUtf8TextOutput utf8(counted);
        Status s = utf8.write(text);
        if (s)
            s = utf8.finish();
        summary.bytes += counted.bytes();
        return s;
    };
    if (m_withIndex || header) {
        const std::string opening =
            header ? m_writer->opening(m_identifier, table.size()) : indexBytes(table);
        if (opening.empty())
            return failure("the matrix data passes 4 GiB, more than the index can address");
        if (header) {
            if (Status s = writeHeaderText(opening); !s)
                return failure(s.error());
        } else {
            if (Status s = out.write(opening); !s)
                return failure(s.error());
            summary.bytes += opening.size();
        }
    }

    unsigned threads = m_threads ? m_threads : std::max(1u, std::thread::hardware_concurrency());
    // Chunks small enough that every worker gets several, however many processors there are.
    const size_t perChunk =
        std::min(chunkSize(), std::max<size_t>(kMinChunkEntries, count / (size_t(threads) * 4)));
    const size_t chunks = (count + perChunk - 1) / perChunk;
    threads = unsigned(std::min<size_t>(threads, chunks));
    // How far the workers may run ahead of the writer: enough to keep them all busy while it
    // writes, few enough that memory does not grow with the library.
    const size_t window = 2 * size_t(threads);

    std::vector<CChunk> results(chunks);
    // Guarded by m_mutex: the next chunk a worker takes, how many chunks are written, whether
    // the workers are to end, and why a worker could not start.
    size_t nextChunk = 0;
    size_t writtenChunks = 0;
    bool stop = false;
    std::string workerFailure;

    auto encodeChunk = [&](IRasteriser& rasteriser, size_t k, CChunk& chunk) {
        try {
            chunk.status =
                renderChunk(rasteriser, k * perChunk, std::min(count, (k + 1) * perChunk), chunk);
        } catch (const std::bad_alloc&) {
            chunk.data.clear();
            chunk.glyphs.clear();
            chunk.status = failure("there is not enough memory to build the library");
        }
    };

    auto work = [&] {
        std::unique_ptr<CWorkerRasteriser> rasteriser;
        try {
            rasteriser = std::make_unique<CWorkerRasteriser>(m_remap);
        } catch (const std::exception& e) {
            std::lock_guard lock(m_mutex);
            workerFailure = e.what();
            stop = true;
            m_wake.notify_all();
            return;
        }
        for (;;) {
            size_t k;
            {
                std::unique_lock lock(m_mutex);
                m_wake.wait(lock, [&] {
                    return stop || cancelled() || nextChunk >= chunks ||
                           nextChunk < writtenChunks + window;
                });
                if (stop || cancelled() || nextChunk >= chunks)
                    return;
                k = nextChunk++;
            }
            CChunk chunk;
            encodeChunk(rasteriser->remapped, k, chunk);
            {
                std::lock_guard lock(m_mutex);
                results[k] = std::move(chunk);
                results[k].ready = true;
            }
            m_wake.notify_all();
        }
    };

    std::vector<std::thread> workers;
    for (unsigned t = 0; t < threads; ++t) {
        try {
            workers.emplace_back(work);
        } catch (const std::system_error&) {
            break; // fewer workers; with none the writing thread renders itself
        }
    }

    Result<CBuildSummary> outcome = summary;
    CProportionalFont proportional;
    proportional.name = proportionalFontName(m_font);
    proportional.settings = naturalWidth(m_font);
    proportional.identifier = m_identifier;
    try {
        for (size_t k = 0; k < chunks; ++k) {
            CChunk chunk;
            if (workers.empty()) {
                if (cancelled()) {
                    outcome = failure(cancelledMessage());
                    break;
                }
                if (!ownRasteriser)
                    ownRasteriser = std::make_unique<CWorkerRasteriser>(m_remap);
                encodeChunk(ownRasteriser->remapped, k, chunk);
            } else {
                std::unique_lock lock(m_mutex);
                m_wake.wait(lock, [&] { return results[k].ready || stop || cancelled(); });
                if (cancelled()) {
                    outcome = failure(cancelledMessage());
                    break;
                }
                if (!results[k].ready) {
                    outcome = failure("the library cannot be built: " + workerFailure);
                    break;
                }
                chunk = std::move(results[k]);
                results[k] = CChunk();
            }
            if (!chunk.status) {
                outcome = failure(chunk.status.error());
                break;
            }
            if (m_writer->proportional()) {
                // Held (packed) until the last glyph: the writer needs them all at once.
                std::move(chunk.glyphs.begin(), chunk.glyphs.end(),
                          std::back_inserter(proportional.glyphs));
                if (chunk.line.lineAdvance)
                    proportional.line = chunk.line;
            } else if (Status s = out.write(chunk.data); !s) {
                outcome = failure(s.error());
                break;
            }
            summary.bytes += chunk.data.size();
            summary.lostInk.add(chunk.lostInk);
            {
                std::lock_guard lock(m_mutex);
                writtenChunks = k + 1;
            }
            m_wake.notify_all();
        }
    } catch (const std::bad_alloc&) {
        outcome = failure("there is not enough memory to build the library");
    }
    {
        std::lock_guard lock(m_mutex);
        stop = true;
    }
    m_wake.notify_all();
    for (std::thread& t : workers)
        t.join();
    if (!outcome)
        return outcome;
    if (header) {
        const std::string closing = m_writer->closing(m_identifier, table);
        if (Status s = writeHeaderText(closing); !s)
            return failure(s.error());
    }
    if (m_writer->proportional()) {
        CWriterOptions options = m_options;
        options.identifier = m_identifier;
        if (m_writer->takesKerning && options.kerning && !proportional.glyphs.empty()) {
            if (!ownRasteriser)
                ownRasteriser = std::make_unique<CWorkerRasteriser>(m_remap);
            std::vector<char16_t> codes;
            codes.reserve(proportional.glyphs.size());
            for (const CProportionalGlyph& g : proportional.glyphs)
                codes.push_back(g.code);
            if (Status s = ownRasteriser->remapped.kerningPairs(codes, proportional.settings,
                                                                proportional.kerning);
                !s)
                return failure(s.error());
        }
        // Written straight on: the writer checks every limit before its first byte.
        CCountingOutput counted(out);
        if (Status s = m_writer->writeProportional(proportional, m_encoding, options, counted); !s)
            return failure(s.error());
        summary.bytes += counted.bytes();
    }
    summary.glyphs = count;
    return summary;
}

Result<CBuildSummary> CLibraryBuilder::build(const std::string& path) {
    CReplacingFile file(path);
    if (Status s = file.open(); !s)
        return failure(s.error());
    Result<CBuildSummary> result = run(file);
    if (!result)
        return result; // the file's destructor removes what was written
    if (m_keepOnlyWhole && result->lostInk.any()) {
        result->written = false;
        return result;
    }
    if (Status s = file.commit(); !s)
        return failure(s.error());
    return result;
}

Status CLibraryBuilder::start(const std::string& path, bool force) {
    auto file = std::make_unique<CReplacingFile>(path);
    file->setForce(force);
    if (Status s = file->open(); !s)
        return s;
    m_file = std::move(file);
    try {
        m_thread = std::thread([this] {
            Result<CBuildSummary> result = CBuildSummary();
            try {
                result = run(*m_file);
                if (result && m_keepOnlyWhole && result->lostInk.any()) {
                    result->written = false;
                } else if (result) {
                    if (Status s = m_file->commit(); !s)
                        result = failure(s.error());
                }
            } catch (const std::exception& e) {
                result = failure(e.what());
            }
            m_file->discard();
            finish(std::move(result));
        });
    } catch (const std::system_error& e) {
        m_file.reset();
        return failure(std::string("the build cannot be started: ") + e.what());
    }
    return {};
}

Status CLibraryBuilder::start(IOutput& out) {
    try {
        m_thread = std::thread([this, &out] {
            Result<CBuildSummary> result = CBuildSummary();
            try {
                result = run(out);
            } catch (const std::exception& e) {
                result = failure(e.what());
            }
            finish(std::move(result));
        });
    } catch (const std::system_error& e) {
        return failure(std::string("the build cannot be started: ") + e.what());
    }
    return {};
}

void CLibraryBuilder::finish(Result<CBuildSummary> result) {
    m_result = std::make_unique<Result<CBuildSummary>>(std::move(result));
    {
        std::lock_guard lock(m_mutex);
        m_finished.store(true, std::memory_order_release);
    }
    m_wake.notify_all();
}

bool CLibraryBuilder::waitFor(std::chrono::milliseconds timeout) {
    std::unique_lock lock(m_mutex);
    return m_wake.wait_for(lock, timeout, [this] { return finished(); });
}

Result<CBuildSummary> CLibraryBuilder::wait() {
    if (m_thread.joinable())
        m_thread.join();
    if (!m_result)
        return failure("no build was started");
    return *m_result;
}

} // namespace tgw

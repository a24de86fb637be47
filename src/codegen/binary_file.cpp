#include "codegen/binary_file.h"

#include "base/text.h"
#include "codegen/code_text.h"
#include "codegen/matrix_packing.h"

#include <vector>

namespace tgw {
namespace {

constexpr size_t kFlushBytes = 1 << 16;

void putBigEndian(std::string& out, uint64_t value, int bytes) {
    for (int shift = 8 * (bytes - 1); shift >= 0; shift -= 8)
        out.push_back(char(uint8_t(value >> shift)));
}

} // namespace

void appendIndexCount(std::string& out, uint64_t count) {
    putBigEndian(out, count, 4);
}

void appendIndexRecord(std::string& out, uint16_t code, int width, int height, uint64_t offset) {
    putBigEndian(out, code, 2);
    putBigEndian(out, uint64_t(width), 2);
    putBigEndian(out, uint64_t(height), 2);
    putBigEndian(out, offset, 4);
}

uint16_t indexCode(const CGlyphEntry& entry, bool unicode) {
    if (!entry.isCharacter())
        return 0xFFFF;
    const auto& c = static_cast<const CCharEntry&>(entry);
    return unicode ? uint16_t(c.code()) : c.ansi().code();
}

Status writeBinaryFile(const CGlyphList& list, const CEncodingOptions& options, bool withIndex,
                       IOutput& out) {
    std::vector<CGlyphEntry*> entries(list.size());
    for (size_t i = 0; i < list.size(); ++i)
        entries[i] = &list.at(i);
    return writeBinaryFile(entries, options, withIndex, out);
}

Status writeBinaryFile(std::span<CGlyphEntry* const> entries, const CEncodingOptions& options,
                       bool withIndex, IOutput& out) {
    std::string index;
    std::string data;
    uint64_t written = 0; // data bytes already handed to `out`
    size_t count = 0;
    Status result;
    for (size_t i = 0; i < entries.size(); ++i) {
        CGlyphEntry& entry = *entries[i];
        if (Status s = entry.ensureRendered(); !s) {
            result = failure(
                format("entry %zu (%s): %s", i + 1, entryLabel(entry).c_str(), s.error().c_str()));
            break;
        }
        CDotMatrix scratch;
        const CDotMatrix& m = options.prepared(entry.matrix(), scratch);
        const std::vector<uint8_t> bytes = encodeMatrix(m, options.dotOrder, options.byteOrder);
        if (withIndex) {
            // Offsets are 32 bits wide; a silently wrapped one would point into other data.
            const uint64_t offset = written + data.size();
            if (offset > 0xFFFFFFFFu) {
                result = failure("the matrix data passes 4 GiB, more than the index can address");
                break;
            }
            appendIndexRecord(index, indexCode(entry, options.unicode), m.width(), m.height(),
                              offset);
        }
        data.append(reinterpret_cast<const char*>(bytes.data()), bytes.size());
        ++count;
        if (!withIndex && data.size() >= kFlushBytes) {
            if (Status s = out.write(data); !s)
                return s;
            written += data.size();
            data.clear();
        }
    }
    if (withIndex && count > 0) {
        std::string head;
        appendIndexCount(head, count);
        if (Status s = out.write(head); !s)
            return s;
        if (Status s = out.write(index); !s)
            return s;
    }
    if (Status s = out.write(data); !s)
        return s;
    return result;
}

Result<std::string> binaryFile(const CGlyphList& list, const CEncodingOptions& options,
                               bool withIndex) {
    CStringOutput out;
    if (Status s = writeBinaryFile(list, options, withIndex, out); !s)
        return failure(s.error());
    return std::move(out).data();
}

} // namespace tgw

#include "raster/shared_faces.h"

#include "base/text.h"

#include <ft2build.h>
#include FT_FREETYPE_H

#include <zlib.h>

#include <cerrno>
#include <cstdint>
#include <cstring>
#include <fcntl.h>
#include <list>
#include <map>
#include <memory>
#include <mutex>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>
#include <unordered_map>
#include <vector>

namespace tgw {
namespace {

// Faces given back and not yet taken again, of every file together; the oldest beyond this
// are closed.
constexpr size_t kMaxIdleFaces = 32;

// The bytes of one version of a font file (its path, device, inode, size and time of change).
struct CFileBytes {
    const unsigned char* data = nullptr;
    size_t size = 0;
    void* map = nullptr;
    size_t mapSize = 0;
    std::vector<unsigned char> inflated;
    std::string error; // why the file cannot be used; kept so that it is not read again
    long faces = 0;    // num_faces of the first face opened from it
    size_t live = 0;   // faces made from these bytes and not closed

    ~CFileBytes() {
        if (map)
            ::munmap(map, mapSize);
    }
};

bool gzipped(const unsigned char* data, size_t size) {
    return size >= 2 && data[0] == 0x1F && data[1] == 0x8B;
}

// Inflates a gzip stream, stopping with an error past kMaxInflatedFontBytes.
std::string inflateAll(const unsigned char* data, size_t size, std::vector<unsigned char>& out) {
    const std::string tooBig = format("inflates to more than %zu MiB, more than a font file may",
                                      kMaxInflatedFontBytes >> 20);
    // The trailer's size (modulo 4 GiB) refuses most such files without inflating them; the
    // limit on inflating holds for those whose trailer lies.
    if (size >= 18 &&
        (uint32_t(data[size - 4]) | uint32_t(data[size - 3]) << 8 | uint32_t(data[size - 2]) << 16 |
         uint32_t(data[size - 1]) << 24) > kMaxInflatedFontBytes)
        return tooBig;
    z_stream z{};
    if (inflateInit2(&z, 16 + MAX_WBITS) != Z_OK)
        return "cannot be inflated";
    z.next_in = const_cast<unsigned char*>(data);
    z.avail_in = uInt(std::min<size_t>(size, 1u << 30));
    out.resize(std::min<size_t>(kMaxInflatedFontBytes, std::max<size_t>(size * 4, 1 << 16)));
    std::string error;
    for (;;) {
        if (z.total_out == out.size()) {
            if (out.size() >= kMaxInflatedFontBytes) {
                // Full: anything more is over the limit.
                unsigned char probe;
                z.next_out = &probe;
                z.avail_out = 1;
                const int r = inflate(&z, Z_NO_FLUSH);
                if (r != Z_STREAM_END || z.avail_out == 0)
                    error = tooBig;
                break;
            }
            out.resize(std::min(kMaxInflatedFontBytes, out.size() * 2));
        }
        z.next_out = out.data() + z.total_out;
        z.avail_out = uInt(out.size() - z.total_out);
        const int r = inflate(&z, Z_NO_FLUSH);
        if (r == Z_STREAM_END)
            break;
        if (r != Z_OK && !(r == Z_BUF_ERROR && z.avail_out == 0)) {
            error = "is a damaged gzip file";
            break;
        }
    }
    out.resize(z.total_out);
    inflateEnd(&z);
    if (!error.empty())
        out = {};
    out.shrink_to_fit();
    return error;
}

} // namespace

struct CSharedFaces::CState {
    std::mutex mutex;
    FT_Library library = nullptr;
    std::map<std::string, std::unique_ptr<CFileBytes>> files; // by version key
    std::map<std::string, std::string> latest;                // path → its latest version key
    std::list<std::pair<std::string, FT_Face>> idle;          // "version#index", newest first
    std::unordered_map<FT_Face, std::string> owners;          // face → version key

    // The bytes of the file as it is now, read when this version was not seen before.
    CFileBytes* bytes(const std::string& path, std::string& version) {
        struct stat info {};
        if (::stat(path.c_str(), &info) != 0)
            return nullptr;
        version =
            format("%s\n%llu:%llu:%lld:%lld.%ld", path.c_str(), (unsigned long long)info.st_dev,
                   (unsigned long long)info.st_ino, (long long)info.st_size,
                   (long long)info.st_mtim.tv_sec, long(info.st_mtim.tv_nsec));
        latest[path] = version;
        auto& slot = files[version];
        if (slot)
            return slot.get();
        slot = std::make_unique<CFileBytes>();
        CFileBytes& b = *slot;
        const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
        if (fd < 0) {
            b.error = std::string("cannot be read: ") + std::strerror(errno);
            return &b;
        }
        struct stat opened {};
        if (::fstat(fd, &opened) == 0 && opened.st_size > 0) {
            b.mapSize = size_t(opened.st_size);
            b.map = ::mmap(nullptr, b.mapSize, PROT_READ, MAP_PRIVATE, fd, 0);
            if (b.map == MAP_FAILED) {
                b.map = nullptr;
                b.error = std::string("cannot be read: ") + std::strerror(errno);
            }
        }
        ::close(fd);
        if (b.map) {
            b.data = static_cast<const unsigned char*>(b.map);
            b.size = b.mapSize;
            if (gzipped(b.data, b.size)) {
                b.error = inflateAll(b.data, b.size, b.inflated);
                ::munmap(b.map, b.mapSize);
                b.map = nullptr;
                b.data = b.inflated.data();
                b.size = b.inflated.size();
            }
        }
        return &b;
    }

    // Frees the bytes of a version no face uses and no longer the file's latest.
    void release(const std::string& version) {
        auto it = files.find(version);
        if (it == files.end() || it->second->live > 0 || !it->second->error.empty())
            return;
        const std::string path = version.substr(0, version.find('\n'));
        if (auto l = latest.find(path); l != latest.end() && l->second == version)
            return; // the next open of the file needs them again
        files.erase(it);
    }

    void close(FT_Face face) {
        auto owner = owners.find(face);
        FT_Done_Face(face);
        if (owner == owners.end())
            return;
        const std::string version = owner->second;
        owners.erase(owner);
        if (auto it = files.find(version); it != files.end() && it->second->live > 0)
            --it->second->live;
        release(version);
    }
};

CSharedFaces& CSharedFaces::instance() {
    static CSharedFaces* faces = new CSharedFaces;
    return *faces;
}

CSharedFaces::CSharedFaces() : m_state(new CState) {
    FT_Init_FreeType(&m_state->library);
}

Result<FT_Face> CSharedFaces::take(const std::string& path, int index, FT_Error& ftError) {
    ftError = 0;
    std::lock_guard lock(m_state->mutex);
    if (!m_state->library)
        return failure("the font engine could not be started");
    std::string version;
    CFileBytes* b = m_state->bytes(path, version);
    if (!b)
        return failure(std::string("cannot be read: ") + std::strerror(errno));
    if (!b->error.empty())
        return failure(b->error);
    const std::string key = version + "#" + std::to_string(index);
    for (auto it = m_state->idle.begin(); it != m_state->idle.end(); ++it) {
        if (it->first == key) {
            FT_Face face = it->second;
            m_state->idle.erase(it);
            return face;
        }
    }
    if (b->size == 0) {
        ftError = FT_Err_Unknown_File_Format;
        return failure("");
    }
    FT_Face face = nullptr;
    ftError = FT_New_Memory_Face(m_state->library, b->data, FT_Long(b->size), index, &face);
    if (ftError != 0) {
        // FreeType reports bytes in memory that no driver knows as a failed stream
        // operation; its probe of the file itself tells them from a damaged font.
        FT_Face probe = nullptr;
        const FT_Error known = FT_New_Face(m_state->library, path.c_str(), -1, &probe);
        if (known == 0)
            FT_Done_Face(probe);
        else if (known == FT_Err_Unknown_File_Format)
            ftError = known;
        return failure("");
    }
    if (b->faces == 0)
        b->faces = face->num_faces;
    ++b->live;
    m_state->owners.emplace(face, version);
    return face;
}

long CSharedFaces::faceCount(const std::string& path) {
    std::lock_guard lock(m_state->mutex);
    auto l = m_state->latest.find(path);
    if (l == m_state->latest.end())
        return 0;
    auto it = m_state->files.find(l->second);
    return it == m_state->files.end() ? 0 : it->second->faces;
}

void CSharedFaces::give(FT_Face face) {
    if (!face)
        return;
    std::lock_guard lock(m_state->mutex);
    auto owner = m_state->owners.find(face);
    if (owner == m_state->owners.end()) {
        FT_Done_Face(face);
        return;
    }
    m_state->idle.emplace_front(owner->second + "#" + std::to_string(face->face_index & 0xFFFF),
                                face);
    while (m_state->idle.size() > kMaxIdleFaces) {
        FT_Face oldest = m_state->idle.back().second;
        m_state->idle.pop_back();
        m_state->close(oldest);
    }
}

void CSharedFaces::close(FT_Face face) {
    if (!face)
        return;
    std::lock_guard lock(m_state->mutex);
    m_state->close(face);
}

} // namespace tgw

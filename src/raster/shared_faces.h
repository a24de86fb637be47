#pragma once

#include "base/result.h"

#include <cstddef>
#include <string>

typedef struct FT_FaceRec_* FT_Face;
typedef int FT_Error;

namespace tgw {

// A compressed font file (a .pcf.gz) is read into memory inflated, up to this many bytes;
// one that inflates to more is refused rather than inflated on every open.
inline constexpr size_t kMaxInflatedFontBytes = size_t(64) << 20;

// The FreeType faces of a process, shared by its renderers. A font file's bytes are read once
// (mapped, or inflated into memory) and every face of it is made from them; a face a renderer
// gives back is handed to the next renderer that asks for the same face of the same file
// instead of being parsed again, which matters for bitmap fonts (a BDF is read whole on every
// open). A face is used by one renderer, so one thread, at a time. Thread-safe.
class CSharedFaces {
public:
    static CSharedFaces& instance();

    // Face `index` of the file at `path`. On failure either `ftError` is FreeType's reason
    // (the bytes were read, FreeType refused them) and the message is empty, or `ftError` is
    // 0 and the message says why the file could not be read.
    Result<FT_Face> take(const std::string& path, int index, FT_Error& ftError);
    // The number of faces in the file, as the first face opened from it said; 0 if none was.
    long faceCount(const std::string& path);
    // Hands a face from take() back for the next renderer.
    void give(FT_Face face);
    // Closes a face from take() that nobody is to use again (a face only looked at).
    void close(FT_Face face);

private:
    CSharedFaces();
    struct CState;
    CState* m_state; // never freed: renderers of static objects may give faces back at exit
};

} // namespace tgw

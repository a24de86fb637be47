// The stb_image decoders, compiled here with only the formats the picture loader offers: the
// others (HDR, PIC) would only widen what a hostile file can reach. PNM files have a reader of
// their own (pnm_reader.h). Files are read by the
// loader itself, so stb's stdio interface is left out too.
#include <cstdlib>

namespace {

// No picture we accept needs a single block larger than this: a 2048 × 2048 picture of four
// 16-bit channels is 32 MiB, and the compressed data of a PNG, at most the 64 MiB file, grows
// to at most twice that. Larger requests come from lying headers (a chunk length of 2 GiB) or
// decompression bombs, and fail as out of memory instead of being tried.
constexpr size_t kMaxBlock = size_t(128) << 20;

void* boundedMalloc(size_t size) {
    return size > kMaxBlock ? nullptr : std::malloc(size);
}
void* boundedRealloc(void* p, size_t size) {
    return size > kMaxBlock ? nullptr : std::realloc(p, size);
}

} // namespace

#define STBI_MALLOC(size) boundedMalloc(size)
#define STBI_REALLOC(p, size) boundedRealloc(p, size)
#define STBI_FREE(p) std::free(p)

#define STB_IMAGE_IMPLEMENTATION
#define STBI_NO_STDIO
#define STBI_ONLY_JPEG
#define STBI_ONLY_PNG
#define STBI_ONLY_BMP
#define STBI_ONLY_PSD
#define STBI_ONLY_TGA
#define STBI_ONLY_GIF
#include <stb/stb_image.h>

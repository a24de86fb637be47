#pragma once

#include <cstdio>
#include <string>

namespace tgw::bench {

// Writes a BDF of `count` glyphs of 16 × 16 dots from U+4E00 on, each glyph's rows a hash of
// its code, to `path`; `name` goes into its FONT line. False when the file cannot be written.
inline bool writeBenchBdf(const std::string& path, int count, const char* name) {
    std::FILE* f = std::fopen(path.c_str(), "w");
    if (!f)
        return false;
    std::fprintf(f,
                 "STARTFONT 2.1\nFONT -bench-%s-medium-r-normal--16-160-75-75-c-160-"
                 "iso10646-1\nSIZE 16 75 75\nFONTBOUNDINGBOX 16 16 0 -2\n"
                 "STARTPROPERTIES 2\nFONT_ASCENT 14\nFONT_DESCENT 2\nENDPROPERTIES\n"
                 "CHARS %d\n",
                 name, count);
    for (int i = 0; i < count; ++i) {
        const unsigned code = 0x4E00 + unsigned(i);
        std::fprintf(f,
                     "STARTCHAR u%04X\nENCODING %u\nSWIDTH 1000 0\nDWIDTH 16 0\n"
                     "BBX 16 16 0 -2\nBITMAP\n",
                     code, code);
        for (int r = 0; r < 16; ++r)
            std::fprintf(f, "%04X\n", (code * 2654435761u >> r) & 0xFFFF);
        std::fputs("ENDCHAR\n", f);
    }
    std::fputs("ENDFONT\n", f);
    return std::fclose(f) == 0;
}

} // namespace tgw::bench

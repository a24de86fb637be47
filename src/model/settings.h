#pragma once

#include "model/font_settings.h"
#include "model/picture_options.h"
#include "model/profile_store.h"

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace tgw {

// The face and style of the desktop's default user-interface font; they give the defaults of
// FACENAME, BOLD, ITALIC, STRIKEOUT and UNDERLINE.
struct CSystemFont {
    std::u16string face = u"DejaVu Sans";
    int weight = 400;
    bool italic = false;
    bool strikeout = false;
    bool underline = false;
};

// Section of the profile that holds the settings.
inline constexpr const char* kProfileSection = "Tessaglyphworks";
// The CODEENCODING values.
inline constexpr int kCodeEncodingCp936 = 0;
inline constexpr int kCodeEncodingUtf8 = 1;
// How many projects the recent list keeps.
inline constexpr size_t kMaxRecentFiles = 8;
// Stored texts are cut to this many characters.
inline constexpr size_t kMaxProfileText = 259;

// The program's flat set of settings, named after their profile keys.
struct CSettings {
    unsigned width = 18;                         // WIDTH
    unsigned height = 18;                        // HEIGHT
    int pointSize = 4;                           // POINTSIZE
    int mouseDraw = 0;                           // MOUSEDRAW
    int filterRedup = 1;                         // FILTERREDUP
    int filterSpace = 1;                         // FILTERSPACE
    uint8_t threshold = 184;                     // THRESHOLD
    int color = 1;                               // COLOR
    int fontType = kFontTrueType;                // FONTTYPE
    int bold = 0;                                // BOLD
    int italic = 0;                              // ITALIC
    int strikeout = 0;                           // STRIKEOUT
    int underline = 0;                           // UNDERLINE
    int fontSize = 0;                            // FONTSIZE
    long offset = 0;                             // OFFSET
    int halfWidth = 0;                           // HALFWIDTH
    std::u16string faceName = u"DejaVu Sans";    // FACENAME
    int pointsSeq = 0;                           // POINTSSEQ
    int bytesSeq = 0;                            // BYTESSEQ
    int language = 0;                            // LANGUAGE
    int useUnicode = 0;                          // USEUNICODE
    std::u16string codeHead;                     // CODEHEAD, with real line breaks and tabs
    std::u16string codeTail;                     // CODETAIL
    std::u16string codeBrowser = u"wordpad.exe"; // CODEBROWSER
    // Optional keys, written only when set (or when a stored value must be cleared).
    std::string fontFile; // FONTFILE (UTF-8 path bytes): a font file instead of FACENAME
    int faceIndex = 0;    // FACEINDEX: the face of a collection
    int fitCell = 0;      // FITCELL: the size that fits the cell instead of FONTSIZE
    // Characters the font file lacks come from installed faces. A choice of one run of tgw:
    // not kept in the profile.
    int fileFallback = 0;
    // The display preset chosen in the code-format dialog (its short name), which the export
    // applies beyond the orders (mirror, inversion, rotation); empty: the orders alone.
    std::string displayPreset; // DISPLAYPRESET
    int presetRotation = 0;    // PRESETROTATION 0, 90, 180 or 270: how the display is mounted
    // How new pictures are converted; kept in the profile only once they differ from the
    // plain threshold at one dot a pixel.
    EPictureMethod pictureMethod = EPictureMethod::kThreshold; // PICTUREMETHOD 0..3
    int pictureInvert = 0;                                     // PICTUREINVERT
    EPictureScale pictureScale = EPictureScale::kKeep;         // PICTURESCALE 0..2
    // Bits a dot of new entries (fonts and pictures): 1, or 2, 4, 8 for grey levels.
    int depth = 1; // DEPTH, written once it is not 1
    // How C and assembler text is written: kCodeEncodingCp936 (code page 936, CR LF) or
    // kCodeEncodingUtf8 (UTF-8, LF).
    int codeEncoding = 0; // CODEENCODING, written once it is not 0
    // RECENTFILES: the projects last opened or saved, the latest first (path bytes, one a
    // line), at most kMaxRecentFiles; written once a project was opened or saved.
    std::vector<std::string> recentFiles;
    // WINDOWRECT "x,y,width,height": where the main window was last closed. Absent until the
    // window has been closed once, and then the only key not written when unset.
    std::optional<std::array<int, 4>> windowRect;

    // The defaults of a first start.
    static CSettings defaults(const CSystemFont& systemFont = {});

    // Reads every key from the profile; a missing key or a value out of its range gives the
    // default of that key.
    void load(const CProfileStore& profile, const CSystemFont& systemFont = {});
    // Writes every key in the save order.
    void save(CProfileStore& profile) const;

    // The font settings new character and string entries get.
    CFontSettings font() const;
    void setFont(const CFontSettings& font);

    // Puts `path` first in recentFiles (once), dropping the oldest beyond kMaxRecentFiles.
    void addRecentFile(const std::string& path);

    // The conversion new picture entries get: the threshold, method, inversion and scaling,
    // scaled pictures aiming at the matrix size.
    CPictureOptions pictureOptions() const;
    void setPictureOptions(const CPictureOptions& options);
};

// The menu's cell sizes.
bool isMenuPointSize(int size);

// The template markers of the profile: tabs and CR LF pairs in CODEHEAD / CODETAIL.
std::u16string encodeTemplateMarkers(std::u16string text, bool head);
std::u16string decodeTemplateMarkers(std::u16string text, bool head);

// CODEHEAD as a first start has it, markers decoded: a C comment naming the entry's font.
const std::u16string& defaultCodeHead();

// "横向取点左高位" … for POINTSSEQ 0..3.
const char* dotOrderName(int pointsSeq);

} // namespace tgw

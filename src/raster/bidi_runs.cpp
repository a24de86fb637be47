#include "raster/bidi_runs.h"

#include <hb.h>

#include <algorithm>

namespace tgw {
namespace {

enum EStrength { kLeft, kRight, kNeutral, kMark };

struct CCharClass {
    size_t start = 0; // UTF-16 index of the character
    EStrength strength = kNeutral;
    hb_script_t script = HB_SCRIPT_COMMON;
};

bool isLetterScript(hb_script_t s) {
    return s != HB_SCRIPT_COMMON && s != HB_SCRIPT_INHERITED && s != HB_SCRIPT_UNKNOWN &&
           s != HB_SCRIPT_INVALID;
}

std::vector<CCharClass> classify(std::u16string_view line) {
    hb_unicode_funcs_t* unicode = hb_unicode_funcs_get_default();
    std::vector<CCharClass> chars;
    chars.reserve(line.size());
    for (size_t i = 0; i < line.size();) {
        hb_codepoint_t c = line[i];
        size_t units = 1;
        if (c >= 0xD800 && c <= 0xDBFF && i + 1 < line.size() && line[i + 1] >= 0xDC00 &&
            line[i + 1] <= 0xDFFF) {
            c = 0x10000 + ((c - 0xD800) << 10) + (line[i + 1] - 0xDC00);
            units = 2;
        }
        CCharClass cc;
        cc.start = i;
        cc.script = hb_unicode_script(unicode, c);
        if (hb_unicode_general_category(unicode, c) == HB_UNICODE_GENERAL_CATEGORY_DECIMAL_NUMBER)
            cc.strength = kLeft;
        else if (cc.script == HB_SCRIPT_INHERITED)
            cc.strength = kMark;
        else if (!isLetterScript(cc.script))
            cc.strength = kNeutral;
        else
            cc.strength =
                hb_script_get_horizontal_direction(cc.script) == HB_DIRECTION_RTL ? kRight : kLeft;
        chars.push_back(cc);
        i += units;
    }
    return chars;
}

} // namespace

std::vector<CDirectionRun> directionRuns(std::u16string_view line, bool rtlParagraph) {
    std::vector<CCharClass> chars = classify(line);
    const EStrength paragraph = rtlParagraph ? kRight : kLeft;

    // Marks take the class of the character they sit on.
    for (size_t i = 0; i < chars.size(); ++i)
        if (chars[i].strength == kMark) {
            chars[i].strength = i ? chars[i - 1].strength : kNeutral;
            if (i)
                chars[i].script = chars[i - 1].script;
        }
    // Neutrals between letters of one direction read in it; elsewhere in the paragraph's.
    for (size_t i = 0; i < chars.size();) {
        if (chars[i].strength != kNeutral) {
            ++i;
            continue;
        }
        size_t end = i;
        while (end < chars.size() && chars[end].strength == kNeutral)
            ++end;
        EStrength before = i ? chars[i - 1].strength : paragraph;
        EStrength after = end < chars.size() ? chars[end].strength : paragraph;
        for (size_t j = i; j < end; ++j)
            chars[j].strength = before == after ? before : paragraph;
        i = end;
    }

    // Runs in logical order: a new run where the direction or the letters' script changes.
    std::vector<CDirectionRun> runs;
    for (size_t i = 0; i < chars.size(); ++i) {
        const bool rtl = chars[i].strength == kRight;
        const hb_script_t script =
            isLetterScript(chars[i].script) ? chars[i].script : HB_SCRIPT_COMMON;
        CDirectionRun* run = runs.empty() ? nullptr : &runs.back();
        if (!run || run->rightToLeft != rtl ||
            (script != HB_SCRIPT_COMMON && run->script != 0 && run->script != uint32_t(script))) {
            runs.push_back({chars[i].start, 0, rtl, 0});
            run = &runs.back();
        }
        if (run->script == 0 && script != HB_SCRIPT_COMMON)
            run->script = uint32_t(script);
        const size_t next = i + 1 < chars.size() ? chars[i + 1].start : line.size();
        run->length = next - run->start;
    }

    // Embedding levels, then the usual reordering: from the highest level down to the lowest
    // odd one, reverse every stretch of runs at that level or above.
    std::vector<int> levels(runs.size());
    for (size_t i = 0; i < runs.size(); ++i)
        levels[i] = rtlParagraph ? (runs[i].rightToLeft ? 1 : 2) : (runs[i].rightToLeft ? 1 : 0);
    const int highest = levels.empty() ? 0 : *std::max_element(levels.begin(), levels.end());
    for (int level = highest; level >= 1; --level) {
        for (size_t i = 0; i < runs.size();) {
            if (levels[i] < level) {
                ++i;
                continue;
            }
            size_t end = i;
            while (end < runs.size() && levels[end] >= level)
                ++end;
            std::reverse(runs.begin() + long(i), runs.begin() + long(end));
            std::reverse(levels.begin() + long(i), levels.begin() + long(end));
            i = end;
        }
    }
    return runs;
}

} // namespace tgw

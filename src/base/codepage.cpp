#include "base/codepage.h"

#include <algorithm>
#include <array>
#include <memory>
#include <vector>

namespace tgw {
namespace {

#include "base/cp936_table.inc"

constexpr int kLeadFirst = 0x81;
constexpr int kLeadCount = 0xFE - 0x81 + 1;
constexpr int kTrailCount = 0xFE - 0x40; // 0x40..0xFE without 0x7F

int trailIndex(int b2) {
    return b2 < 0x7F ? b2 - 0x40 : b2 - 0x41;
}
bool isTrail(int b2) {
    return b2 >= 0x40 && b2 <= 0xFE && b2 != 0x7F;
}

struct CTables {
    std::vector<char16_t> decode = std::vector<char16_t>(kLeadCount * kTrailCount, 0);
    std::vector<uint16_t> encode = std::vector<uint16_t>(0x10000, 0xFFFF);

    CTables() {
        // The system converter's answers, generated once (tools/gen_cp936_table.cpp).
        std::vector<uint16_t> unassigned;
        for (int b1 = kLeadFirst; b1 <= 0xFE; ++b1) {
            for (int b2 = 0x40; b2 <= 0xFE; ++b2) {
                if (!isTrail(b2))
                    continue;
                const char16_t u = kCp936Table[(b1 - kLeadFirst) * kTrailCount + trailIndex(b2)];
                if (u != 0)
                    at(b1, b2) = u;
                else if (!userDefined(b1, b2))
                    unassigned.push_back(uint16_t(b1 << 8 | b2));
            }
        }
        // GB18030's private-use assignment: the three user-defined areas first, then the
        // remaining unassigned double-byte codes in ascending order from U+E766.
        char16_t pua = 0xE000;
        for (int b1 = 0xAA; b1 <= 0xAF; ++b1)
            for (int b2 = 0xA1; b2 <= 0xFE; ++b2)
                at(b1, b2) = pua++;
        for (int b1 = 0xF8; b1 <= 0xFE; ++b1)
            for (int b2 = 0xA1; b2 <= 0xFE; ++b2)
                at(b1, b2) = pua++;
        for (int b1 = 0xA1; b1 <= 0xA7; ++b1)
            for (int b2 = 0x40; b2 <= 0xA0; ++b2)
                if (isTrail(b2))
                    at(b1, b2) = pua++;
        pua = 0xE766;
        for (uint16_t code : unassigned)
            at(code >> 8, code & 0xFF) = pua++;

        for (int b1 = 0xFE; b1 >= kLeadFirst; --b1)
            for (int b2 = 0xFE; b2 >= 0x40; --b2)
                if (isTrail(b2) && at(b1, b2) != 0)
                    encode[at(b1, b2)] = uint16_t(b1 << 8 | b2); // lowest code wins
        for (int c = 0; c < 0x80; ++c)
            encode[c] = uint16_t(c);
        encode[0x20AC] = 0x80;
    }

    char16_t& at(int b1, int b2) {
        return decode[(b1 - kLeadFirst) * kTrailCount + trailIndex(b2)];
    }

    static bool userDefined(int b1, int b2) {
        return (b1 >= 0xAA && b1 <= 0xAF && b2 >= 0xA1) || (b1 >= 0xF8 && b2 >= 0xA1) ||
               (b1 >= 0xA1 && b1 <= 0xA7 && b2 < 0xA1);
    }
};

const CTables& tables() {
    static const CTables t;
    return t;
}

} // namespace

uint16_t CAnsiForm::code() const {
    switch (length) {
    case 1:
        return bytes[0];
    case 2:
        return uint16_t(bytes[0] << 8 | bytes[1]);
    default:
        return 0xFFFF;
    }
}

CAnsiForm ansiForm(char16_t c) {
    CAnsiForm form;
    if (c == 0)
        return form;
    uint16_t code = tables().encode[c];
    if (code == 0xFFFF)
        return form;
    if (code < 0x100) {
        form.length = 1;
        form.bytes[0] = uint8_t(code);
    } else {
        form.length = 2;
        form.bytes[0] = uint8_t(code >> 8);
        form.bytes[1] = uint8_t(code);
    }
    return form;
}

char16_t ansiToUnicode(uint8_t b1, uint8_t b2) {
    if (b1 < 0x80)
        return b1;
    if (b1 == 0x80)
        return 0x20AC;
    if (b1 == 0xFF || !isTrail(b2))
        return 0;
    return const_cast<CTables&>(tables()).at(b1, b2);
}

std::string toCp936(std::u16string_view text, bool* lossy) {
    std::string out;
    out.reserve(text.size() * 2);
    bool lost = false;
    for (size_t i = 0; i < text.size(); ++i) {
        char16_t c = text[i];
        if (c >= 0xD800 && c <= 0xDFFF) {
            if (c <= 0xDBFF && i + 1 < text.size() && text[i + 1] >= 0xDC00 &&
                text[i + 1] <= 0xDFFF)
                ++i;
            out.push_back('?');
            lost = true;
            continue;
        }
        CAnsiForm f = ansiForm(c);
        if (c != 0 && f.length == 0) {
            out.push_back('?');
            lost = true;
        } else if (c == 0) {
            out.push_back('\0');
        } else {
            out.append(reinterpret_cast<const char*>(f.bytes), f.length);
        }
    }
    if (lossy)
        *lossy = lost;
    return out;
}

std::u16string fromCp936(std::string_view bytes) {
    std::u16string out;
    out.reserve(bytes.size());
    for (size_t i = 0; i < bytes.size(); ++i) {
        uint8_t b1 = uint8_t(bytes[i]);
        if (b1 <= 0x80) {
            out.push_back(ansiToUnicode(b1));
            continue;
        }
        if (b1 == 0xFF || i + 1 >= bytes.size()) {
            out.push_back(u'\uFFFD');
            continue;
        }
        uint8_t b2 = uint8_t(bytes[i + 1]);
        char16_t u = ansiToUnicode(b1, b2);
        if (u == 0) {
            out.push_back(u'\uFFFD');
            continue; // the trail byte may start the next character
        }
        out.push_back(u);
        ++i;
    }
    return out;
}

} // namespace tgw

#include "base/screen_text.h"

#include <atomic>
#include <cstring>
#include <string>

namespace tgw {
namespace {

std::atomic<CScreenTextTranslator> g_translator{nullptr};

// The conversions of a printf format, each as its flags, width, precision, length and kind
// ("%-5.2f" → "-5.2f"); "%%" takes no argument and is skipped.
std::string conversions(const char* format) {
    std::string out;
    for (const char* p = format; *p; ++p) {
        if (*p != '%')
            continue;
        ++p;
        if (*p == '%')
            continue;
        while (*p && !std::strchr("diouxXeEfFgGaAcspn", *p))
            out += *p++;
        if (!*p)
            break;
        out += *p;
        out += '|';
    }
    return out;
}

} // namespace

void setScreenTextTranslator(CScreenTextTranslator translator) {
    g_translator.store(translator);
}

bool sameConversions(const char* a, const char* b) {
    return conversions(a) == conversions(b);
}

const char* screenText(const char* context, const char* text) {
    CScreenTextTranslator translator = g_translator.load();
    if (!translator)
        return text;
    const char* translated = translator(context, text);
    if (!translated || !*translated || !sameConversions(text, translated))
        return text;
    return translated;
}

} // namespace tgw

#pragma once

// Texts the core shows on a screen — never those it writes into files — are marked so that the
// translation tools collect them and the front end can put them in the user's language:
//
//   TGW_TR(context, text)         the text in the user's language, looked up now
//   TGW_TR_NOOP(context, text)    the text itself, for tables looked up later with screenText()
//
// Texts written in Chinese, the program's own language, use these. A few texts are shared with
// tgw, which speaks English; they are written in English and marked with the _EN forms, which
// the Chinese catalogue translates:
//
//   TGW_TR_EN(context, text), TGW_TR_EN_NOOP(context, text)
//
// Without a translator (tgw, the core's tests) every text stays as written. Contexts begin with
// "tgw::core::".
#define TGW_TR(context, text) ::tgw::screenText(context, text)
#define TGW_TR_NOOP(context, text) text
#define TGW_TR_EN(context, text) ::tgw::screenText(context, text)
#define TGW_TR_EN_NOOP(context, text) text

namespace tgw {

// Returns the translation of `text` in `context` (UTF-8), or null when there is none. The
// returned text must live as long as the program. Called from any thread.
using CScreenTextTranslator = const char* (*)(const char* context, const char* text);

// Installs the translator (null removes it). Set it before any thread asks for texts.
void setScreenTextTranslator(CScreenTextTranslator translator);

// The translation of `text`, or `text` itself when there is none. Many of these texts are
// printf formats: a translation whose conversions differ from the original's in number, order
// or kind is not used, so that a faulty catalogue can never make a format read the wrong
// arguments.
const char* screenText(const char* context, const char* text);

// Whether two printf formats take the same arguments (the same conversions in the same order).
bool sameConversions(const char* a, const char* b);

} // namespace tgw

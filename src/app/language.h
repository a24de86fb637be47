#pragma once

#include "model/profile_store.h"

#include <QString>
#include <QStringList>

#include <string>

class QMenu;
class QWidget;

namespace tgw {

// The user's choice of the interface language, kept in the profile as UILANGUAGE ("zh_CN",
// "en" or "system"); a profile without the key follows the system.
enum class EUiLanguage { System, Chinese, English };

EUiLanguage storedLanguage(const std::string& profilePath);
void storeLanguage(const std::string& profilePath, EUiLanguage choice);

// The language the program speaks for `choice`: "zh_CN" or "en". System takes the first of
// `systemLanguages` (QLocale::uiLanguages(), most preferred first) the program has, and Chinese
// when there is none (a C or POSIX locale).
QString resolveLanguage(EUiLanguage choice, const QStringList& systemLanguages);

// Loads the program's, Qt's and the core's translations for `language` ("zh_CN" or "en") into
// the application, replacing those loaded before. Widgets made afterwards speak it.
void installLanguage(const QString& language);
// The language installed last ("zh_CN" before any).
QString currentLanguage();

// Adds 语言 (Language) with its three choices to `menu`. A choice is stored in the profile at
// `profilePath` and takes effect at the next start, which a message box in the chosen language
// says.
QMenu* addLanguageMenu(QMenu* menu, QWidget* parent,
                       const std::string& profilePath = CProfileStore::defaultPath());

} // namespace tgw

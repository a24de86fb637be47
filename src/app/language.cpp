#include "app/language.h"

#include "app/messages.h"
#include "base/screen_text.h"
#include "model/settings.h"

#include <QActionGroup>
#include <QCoreApplication>
#include <QLibraryInfo>
#include <QLocale>
#include <QMenu>
#include <QMessageBox>
#include <QPushButton>
#include <QTranslator>

#include <map>
#include <memory>
#include <mutex>
#include <set>
#include <utility>

// The catalogues live in a resource file of this static library; the linker keeps them only
// when something asks for them by name.
static void initTranslationResources() {
    Q_INIT_RESOURCE(translations);
}

namespace tgw {
namespace {

const char* const kLanguageKey = "UILANGUAGE";

struct CInstalled {
    QString language = QStringLiteral("zh_CN");
    std::vector<std::unique_ptr<QTranslator>> translators;
};

CInstalled& installed() {
    static CInstalled state;
    return state;
}

// The core asks from any thread, the transfers from their worker; answers are kept for the
// life of the program, as the core expects. They are kept by their text, not by what was asked,
// so that a change of language gives the new language's text.
const char* translateCoreText(const char* context, const char* text) {
    static std::mutex mutex;
    static std::set<std::string> answers;
    const std::string translated = QCoreApplication::translate(context, text).toStdString();
    std::lock_guard lock(mutex);
    return answers.insert(translated).first->c_str();
}

// The program's own catalogue for `language`: for English every text, for Chinese the few
// texts the core shares with tgw and writes in English.
std::unique_ptr<QTranslator> programCatalogue(const QString& language) {
    initTranslationResources();
    auto t = std::make_unique<QTranslator>();
    if (!t->load(QStringLiteral(":/i18n/tessaglyphworks_%1.qm").arg(language)))
        return nullptr;
    return t;
}

// Qt's own texts (standard buttons, file dialogs, context menus) are English in Qt itself;
// Chinese needs Qt's catalogue: the installed one, else the copy built into the program.
std::unique_ptr<QTranslator> qtCatalogue(const QString& language) {
    if (language == QLatin1String("en"))
        return nullptr;
    auto t = std::make_unique<QTranslator>();
    const QString name = QStringLiteral("qtbase_%1").arg(language);
    if (t->load(name, QLibraryInfo::path(QLibraryInfo::TranslationsPath)) ||
        t->load(name, QStringLiteral(":/i18n")))
        return t;
    return nullptr;
}

} // namespace

EUiLanguage storedLanguage(const std::string& profilePath) {
    CProfileStore profile(profilePath);
    if (!profile.load())
        return EUiLanguage::System;
    const std::string value = profile.get(kProfileSection, kLanguageKey).value_or("");
    if (value == "zh_CN")
        return EUiLanguage::Chinese;
    if (value == "en")
        return EUiLanguage::English;
    return EUiLanguage::System;
}

void storeLanguage(const std::string& profilePath, EUiLanguage choice) {
    CProfileStore profile(profilePath);
    // A profile that could not be read is never written over.
    if (!profile.load())
        return;
    const char* value = choice == EUiLanguage::Chinese   ? "zh_CN"
                        : choice == EUiLanguage::English ? "en"
                                                         : "system";
    profile.set(kProfileSection, kLanguageKey, value);
    (void)profile.save(); // as with the other settings, a failed write of the profile is ignored
}

QString resolveLanguage(EUiLanguage choice, const QStringList& systemLanguages) {
    if (choice == EUiLanguage::Chinese)
        return QStringLiteral("zh_CN");
    if (choice == EUiLanguage::English)
        return QStringLiteral("en");
    for (const QString& tag : systemLanguages) {
        // "zh-CN", "zh_TW", "zh"; "en-US", "en"; "C" and the rest are not ours.
        const QString primary = tag.section(QLatin1Char('-'), 0, 0).section(QLatin1Char('_'), 0, 0);
        if (primary.compare(QLatin1String("zh"), Qt::CaseInsensitive) == 0)
            return QStringLiteral("zh_CN");
        if (primary.compare(QLatin1String("en"), Qt::CaseInsensitive) == 0)
            return QStringLiteral("en");
    }
    return QStringLiteral("zh_CN");
}

void installLanguage(const QString& language) {
    CInstalled& state = installed();
    for (const auto& t : state.translators)
        QCoreApplication::removeTranslator(t.get());
    state.translators.clear();
    std::unique_ptr<QTranslator> catalogues[] = {programCatalogue(language), qtCatalogue(language)};
    for (auto& t : catalogues) {
        if (!t)
            continue;
        QCoreApplication::installTranslator(t.get());
        state.translators.push_back(std::move(t));
    }
    state.language = language;
    // Dates, times and numbers of Qt's widgets (the file dialogs' columns) follow as well.
    QLocale::setDefault(QLocale(language));
    setScreenTextTranslator(translateCoreText);
}

QString currentLanguage() {
    return installed().language;
}

QMenu* addLanguageMenu(QMenu* menu, QWidget* parent, const std::string& profilePath) {
    QMenu* languages = menu->addMenu(QCoreApplication::translate("tgw::language", "语言 (&L)"));
    languages->setObjectName("languageMenu");
    auto* group = new QActionGroup(languages);
    const EUiLanguage stored = storedLanguage(profilePath);
    const std::pair<EUiLanguage, QString> choices[] = {
        // Each language is named in itself, so that a user who cannot read the current one
        // still finds their own.
        {EUiLanguage::Chinese, QStringLiteral("中文")},
        {EUiLanguage::English, QStringLiteral("English")},
        {EUiLanguage::System, QCoreApplication::translate("tgw::language", "跟随系统 (&S)")},
    };
    for (const auto& [choice, text] : choices) {
        QAction* a = languages->addAction(text);
        a->setCheckable(true);
        a->setChecked(choice == stored);
        a->setStatusTip(
            QCoreApplication::translate("tgw::language", "选择界面语言，重新启动后生效"));
        group->addAction(a);
        QObject::connect(a, &QAction::triggered, parent, [parent, profilePath, choice] {
            if (storedLanguage(profilePath) == choice)
                return;
            storeLanguage(profilePath, choice);
            const QString next = resolveLanguage(choice, QLocale::system().uiLanguages());
            if (next == currentLanguage())
                return;
            // Said in the language in use, as the rest of the window is, and once more in the
            // language chosen, which the user may read better.
            const char* const notice =
                QT_TRANSLATE_NOOP("tgw::language", "界面语言已更改，重新启动程序后生效。");
            const QString now = QCoreApplication::translate("tgw::language", notice);
            const QString previous = currentLanguage();
            installLanguage(next);
            const QString chosen = QCoreApplication::translate("tgw::language", notice);
            installLanguage(previous);
            showMessage(parent, QMessageBox::Information,
                        QCoreApplication::translate("tgw::language", "Tessaglyphworks 提示"),
                        chosen == now ? now : now + "\n\n" + chosen);
        });
    }
    return languages;
}

} // namespace tgw

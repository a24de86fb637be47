#include "app/help_window.h"
#include "app/language.h"
#include "app/main_frame.h"
#include "app/messages.h"
#include "base/screen_text.h"
#include "model/describe.h"
#include "transfer/io_wait.h"
#include "view/font_list.h"
#include "view/qx_view.h"

#include <QAbstractButton>
#include <QAbstractItemView>
#include <QAction>
#include <QComboBox>
#include <QFileDialog>
#include <QFileSystemModel>
#include <QGroupBox>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QMessageBox>
#include <QRegularExpression>
#include <QStatusBar>
#include <QTemporaryDir>
#include <QTextBrowser>
#include <QtTest>

#include <cerrno>
#include <set>

using namespace tgw;

namespace {

const QRegularExpression kChinese("[\\x{3000}-\\x{303f}\\x{4e00}-\\x{9fff}\\x{ff00}-\\x{ffef}]");

// Words a Chinese caption may hold as they stand: names of encodings, formats and the program.
const std::set<QString> kAllowedLatin = {
    "UNICODE", "MBCS",     "ASCII",   "GB2312",    "UCS",
    "ASM",     "TrueType", "JPEG",    "BigEndian", "Tessaglyphworks",
    "IP",      "MS",       "BIN",     "bin",       "tgx",
    "txt",     "asm",      "English", "TCP",       "UDP"};

// A Chinese-mode text is foreign when it has no Chinese and holds a word of two or more Latin
// letters other than the allowed names (file patterns, template markers and hex aside).
bool foreignInChinese(const QString& caption) {
    QString text = caption;
    if (text.contains(kChinese))
        return false;
    text.remove('&');
    text.remove(QRegularExpression("\\*\\.[A-Za-z*]+|%[A-Z_]+%|0x[0-9A-Fa-f]+"));
    // Paths (folders in a file dialog, serial devices) are the user's system's names.
    text.remove(QRegularExpression("\\S*/\\S*|\\btty\\w*"));
    // Qt's file list writes its dates in the system locale's form, not the program's: with
    // LANG=en_US and a Chinese program the date column reads "8 Dec 2026". A known limit.
    text.remove(QRegularExpression("\\d{1,2} [A-Z][a-z]{2} \\d{4}( \\d\\d:\\d\\d(:\\d\\d)?)?"));
    const QRegularExpression word("[A-Za-z]{2,}");
    for (auto it = word.globalMatch(text); it.hasNext();)
        if (!kAllowedLatin.count(it.next().captured()))
            return true;
    return false;
}

// An English-mode text is foreign when it holds Chinese; the language menu names Chinese in
// Chinese, so that a user who reads only Chinese finds it.
bool foreignInEnglish(const QString& text) {
    return text != QStringLiteral("中文") && text.contains(kChinese);
}

void addActionTexts(const QList<QAction*>& actions, QStringList& out) {
    for (QAction* a : actions) {
        out << a->text() << a->toolTip() << a->statusTip();
        if (a->menu()) {
            out << a->menu()->title();
            addActionTexts(a->menu()->actions(), out);
        }
    }
}

// The texts a user can read in a window: its title, and the captions, buttons, list items,
// headers, tool tips and menu items of the widgets it shows. The contents of editors and the
// names of files and fonts are the user's data and are not collected.
QStringList windowTexts(QWidget* window) {
    QStringList out{window->windowTitle()};
    QList<QWidget*> widgets = window->findChildren<QWidget*>();
    widgets.prepend(window);
    for (QWidget* w : widgets) {
        if (w != window && !w->isVisibleTo(window))
            continue;
        out << w->toolTip();
        addActionTexts(w->actions(), out);
        if (auto* label = qobject_cast<QLabel*>(w))
            out << label->text();
        else if (auto* button = qobject_cast<QAbstractButton*>(w))
            out << button->text();
        else if (auto* group = qobject_cast<QGroupBox*>(w))
            out << group->title();
        else if (auto* line = qobject_cast<QLineEdit*>(w))
            out << line->placeholderText();
        else if (auto* bar = qobject_cast<QMenuBar*>(w))
            addActionTexts(bar->actions(), out);
        if (auto* box = qobject_cast<QComboBox*>(w);
            box && !qobject_cast<CFontList*>(w) && w->objectName() != "presetBox")
            for (int i = 0; i < box->count(); ++i)
                out << box->itemText(i);
        if (auto* header = qobject_cast<QHeaderView*>(w); header && header->model())
            for (int i = 0; i < header->count(); ++i)
                out << header->model()->headerData(i, header->orientation()).toString();
    }
    // The file list's kind and date columns are Qt's words, unlike the names beside them.
    for (auto* view : window->findChildren<QAbstractItemView*>()) {
        auto* model = qobject_cast<QFileSystemModel*>(view->model());
        if (!model || !view->isVisibleTo(window))
            continue;
        for (int row = 0; row < model->rowCount(view->rootIndex()); ++row)
            for (int column : {2, 3})
                out << model->index(row, column, view->rootIndex()).data().toString();
    }
    out.removeAll(QString());
    return out;
}

// Runs `command` and hands every window it opens — dialogs, message boxes, file dialogs,
// modeless windows — to `inspect`, then closes it the way a user declining would.
class CWindowCatcher {
public:
    CWindowCatcher(QWidget* main, std::function<void(QWidget*)> inspect)
        : m_main(main), m_inspect(std::move(inspect)) {
        QObject::connect(&m_timer, &QTimer::timeout, [this] { poll(); });
        m_timer.start(20);
    }

    int run(const std::function<void()>& command) {
        const int before = m_seen;
        command();
        QTest::qWait(200); // modeless windows, and a box a dialog opens once it is shown
        return m_seen - before;
    }

private:
    void poll() {
        if (m_busy)
            return;
        QWidget* w = QApplication::activeModalWidget();
        if (!w)
            for (QWidget* top : QApplication::topLevelWidgets())
                if (top != m_main && top->isVisible() && !qobject_cast<QMenu*>(top) &&
                    top->isWindow() && top->windowType() != Qt::ToolTip)
                    w = top;
        // Marked rather than remembered by address: a new box may take a closed one's place.
        if (!w || w->property("tgwCaught").toBool())
            return;
        m_busy = true;
        w->setProperty("tgwCaught", true);
        ++m_seen;
        if (auto* files = qobject_cast<QFileDialog*>(w)) {
            // Let the file list fill in before its columns are read.
            auto* model = files->findChild<QFileSystemModel*>();
            for (int i = 0; i < 150 && model &&
                            model->rowCount(model->index(files->directory().absolutePath())) == 0;
                 ++i)
                QTest::qWait(20);
        }
        m_inspect(w);
        if (auto* box = qobject_cast<QMessageBox*>(w); box && box->button(QMessageBox::No))
            box->button(QMessageBox::No)->click();
        else if (auto* dialog = qobject_cast<QDialog*>(w))
            dialog->reject();
        else
            w->close();
        m_busy = false;
    }

    QWidget* m_main;
    std::function<void(QWidget*)> m_inspect;
    QTimer m_timer;
    int m_seen = 0;
    bool m_busy = false;
};

} // namespace

class LanguageTest : public QObject {
    Q_OBJECT

private slots:
    void init() { QFile::remove(qEnvironmentVariable("TESSAGLYPHWORKS_PROFILE")); }
    void cleanup() { installLanguage("zh_CN"); }

    void systemLanguageIsTheFirstTheProgramHas() {
        QCOMPARE(resolveLanguage(EUiLanguage::System, {"en-US", "en"}), QString("en"));
        QCOMPARE(resolveLanguage(EUiLanguage::System, {"fr-FR", "en-GB", "zh-CN"}), QString("en"));
        QCOMPARE(resolveLanguage(EUiLanguage::System, {"de", "zh_TW"}), QString("zh_CN"));
        // A C or POSIX locale, or only languages the program lacks: Chinese.
        QCOMPARE(resolveLanguage(EUiLanguage::System, {"C"}), QString("zh_CN"));
        QCOMPARE(resolveLanguage(EUiLanguage::System, {}), QString("zh_CN"));
        QCOMPARE(resolveLanguage(EUiLanguage::System, {"fr-FR", "de"}), QString("zh_CN"));
        QCOMPARE(resolveLanguage(EUiLanguage::Chinese, {"en-US"}), QString("zh_CN"));
        QCOMPARE(resolveLanguage(EUiLanguage::English, {"zh-CN"}), QString("en"));
    }

    void chineseProgramShowsNoEnglish() { walkEveryWindow("zh_CN"); }
    void englishProgramShowsNoChinese() { walkEveryWindow("en"); }

    void coreScreenTextsFollowTheLanguage() {
        installLanguage("en");
        CMainFrame frame;
        frame.view().addCharacters(u"中");
        const QString tip = QString::fromStdString(entryTip(frame.view().list().at(0), false));
        QVERIFY2(tip.startsWith("Character [中]"), qPrintable(tip)); // the character is data
        QVERIFY(!tip.mid(13).contains(kChinese));
        QCOMPARE(QString::fromStdString(errorText(ECONNREFUSED)), QString("Connection refused"));

        installLanguage("zh_CN");
        QCOMPARE(QString::fromStdString(errorText(ECONNREFUSED)), QString("连接被拒绝"));
        QCOMPARE(QString::fromUtf8(screenText("tgw::core::transfer",
                                              "Transfer cancelled after %zu of %zu packets.")),
                 QString("传输已取消，已发送 %zu 包（共 %zu 包）。"));
        // The summary stays exactly what it was.
        const QString summary =
            QString::fromStdString(settingsSummary(frame.view().document().settings(), 1, 0));
        QVERIFY(summary.startsWith("【设置状态】   〖字模数量：1 [0/1]〗"));
    }

    void languageChoiceIsStoredAndAnnouncedInTheNewLanguage() {
        const std::string profile = qEnvironmentVariable("TESSAGLYPHWORKS_PROFILE").toStdString();
        installLanguage("zh_CN");
        { CMainFrame frame; }
        // A profile written without a choice has no language key.
        QVERIFY(!readProfile().contains("UILANGUAGE"));

        CMainFrame frame;
        QMenu* menu = frame.findChild<QMenu*>("languageMenu");
        QVERIFY(menu);
        QCOMPARE(menu->actions().size(), 3);
        QVERIFY(menu->actions().at(2)->isChecked()); // System

        QString title, text, okText;
        CWindowCatcher catcher(&frame, [&](QWidget* w) {
            auto* box = qobject_cast<QMessageBox*>(w);
            QVERIFY(box);
            title = box->windowTitle();
            text = box->text();
            okText = box->button(QMessageBox::Ok)->text();
        });
        QCOMPARE(catcher.run([&] { menu->actions().at(1)->trigger(); }), 1);
        // In the language in use, as the window is, then in the one chosen.
        QCOMPARE(title, QString("Tessaglyphworks 提示"));
        QVERIFY(text.startsWith("界面语言已更改"));
        QVERIFY(text.contains("restart"));
        QVERIFY(okText.contains(kChinese));
        QCOMPARE(storedLanguage(profile), EUiLanguage::English);
        QVERIFY(readProfile().contains("UILANGUAGE=en"));
        // The window keeps its language until the restart.
        QCOMPARE(currentLanguage(), QString("zh_CN"));
        QCOMPARE(frame.menuBar()->actions().first()->text(), QString("文件(&F)"));

        // Back to the language in use: stored, nothing to announce.
        QCOMPARE(catcher.run([&] { menu->actions().at(0)->trigger(); }), 0);
        QCOMPARE(storedLanguage(profile), EUiLanguage::Chinese);
        {
            CMainFrame again; // the settings saved on close keep the choice
        }
        QCOMPARE(storedLanguage(profile), EUiLanguage::Chinese);
    }

private:
    static QString readProfile() {
        QFile f(qEnvironmentVariable("TESSAGLYPHWORKS_PROFILE"));
        f.open(QIODevice::ReadOnly);
        return QString::fromUtf8(f.readAll());
    }

    // Opens the main window and every window its commands open in `language`, and fails on
    // each text of the other language.
    void walkEveryWindow(const QString& language) {
        installLanguage(language);
        auto foreign = language == "en" ? foreignInEnglish : foreignInChinese;
        QStringList bad;
        QString helpSource;
        auto check = [&](QWidget* w) {
            if (auto* help = qobject_cast<CHelpWindow*>(w))
                helpSource = help->findChild<QTextBrowser*>()->source().toString();
            for (const QString& t : windowTexts(w))
                if (foreign(t))
                    bad << QString("%1: %2").arg(w->metaObject()->className(), t);
            // The standard context menu of a text field is Qt's.
            if (auto* line = w->findChild<QLineEdit*>()) {
                std::unique_ptr<QMenu> menu(line->createStandardContextMenu());
                QStringList texts;
                addActionTexts(menu->actions(), texts);
                for (const QString& t : texts)
                    if (!t.isEmpty() && foreign(t))
                        bad << QString("context menu: %1").arg(t);
            }
        };

        QTemporaryDir folder; // the file dialogs open here and list one folder
        QVERIFY(QDir(folder.path()).mkdir("1"));
        const QString previous = QDir::currentPath();
        QDir::setCurrent(folder.path());

        CMainFrame frame;
        frame.show();
        QVERIFY(QTest::qWaitForWindowExposed(&frame));
        frame.view().addCharacters(u"A");
        frame.view().list().at(0).setSelected(true);
        check(&frame);
        QVERIFY(frame.statusBar()->currentMessage().isEmpty() ||
                !foreign(frame.statusBar()->currentMessage()));

        CWindowCatcher catcher(&frame, check);
        const int commands[] = {kCmdOpen,       kCmdSaveAs,     kCmdBuildLibrary,  kCmdAddChars,
                                kCmdAddString,  kCmdAddPicture, kCmdExportLibrary, kCmdPreviewCode,
                                kCmdFont,       kCmdThreshold,  kCmdCodeFormat,    kCmdSerialAll,
                                kCmdNetworkAll, kCmdHelp,       kCmdAbout};
        for (int id : commands) {
            QAction* a = frame.action(id);
            QVERIFY(a && a->isEnabled());
            QVERIFY2(catcher.run([a] { a->trigger(); }) > 0, qPrintable(a->text()));
        }
        // Each kind of message box: notice, warning, Yes/No, Yes/No/Cancel.
        QVERIFY(catcher.run([&] { notice(&frame, "x"); }) == 1);
        QVERIFY(catcher.run([&] { askYesNoCancel(&frame, "x"); }) == 1);
        if (language == "en")
            QVERIFY2(helpSource.endsWith("help_en.html"), qPrintable(helpSource));
        QDir::setCurrent(previous);
        QVERIFY2(bad.isEmpty(), qPrintable(bad.join('\n')));
    }
};

QTEST_MAIN(LanguageTest)
#include "language_test.moc"

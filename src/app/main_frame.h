#pragma once

#include <QMainWindow>

#include "app/transfer_dialog_base.h"
#include "project/glyph_document.h"

#include <QKeySequence>
#include <QList>

#include <array>
#include <map>
#include <memory>
#include <optional>
#include <vector>

class QTemporaryDir;

class QAction;
class QLabel;
class QMenu;
class QSpinBox;
class QToolBar;

namespace tgw {

class CGlyphList;
class CInfoLabel;
class CQxView;
class CRasteriser;

// Command identifiers shared by menu, tool bar and state updates.
enum ECommand : int {
    kCmdNew = 57600,
    kCmdOpen = 57601,
    kCmdSave = 57603,
    kCmdSaveAs = 57604,
    kCmdBuildLibrary = 32798,
    kCmdAddChars = 32795,
    kCmdAddString = 32796,
    kCmdAddPicture = 32797,
    kCmdDeleteSelected = 32835,
    kCmdDeleteAll = 32812,
    kCmdExportCode = 32813,
    kCmdExportLibrary = 32814,
    kCmdSelectAll = 32832,
    kCmdClearSelection = 32834,
    kCmdInvertSelection = 32833,
    kCmdInvert = 32836,
    kCmdShiftUp = 32837,
    kCmdShiftDown = 32838,
    kCmdShiftLeft = 32839,
    kCmdShiftRight = 32840,
    kCmdMirrorHorizontal = 32841,
    kCmdMirrorVertical = 32842,
    kCmdRotate180 = 32843,
    kCmdRotate90 = 32850,
    kCmdRotate270 = 32851,
    kCmdTrimLeft = 32852,
    kCmdTrimRight = 32853,
    kCmdTrimTop = 32854,
    kCmdTrimBottom = 32855,
    kCmdFont = 32793,
    kCmdThreshold = 32799,
    kCmdCodeFormat = 32794,
    kCmdFilterDuplicates = 32801,
    kCmdFilterBlanks = 32802,
    kCmdMouseEdit = 32803,
    kCmdToolBar = 59392,
    kCmdStatusBar = 59393,
    kCmdInfoBar = 32818,
    kCmdCellSizeFirst = 32870, // cell size = id − 32869
    kCmdColorFirst = 32804,    // colour = id − 32804
    kCmdSerialSelected = 32860,
    kCmdSerialAll = 32815,
    kCmdNetworkSelected = 32861,
    kCmdNetworkAll = 32816,
    kCmdHelp = 32800,
    kCmdAbout = 57664,
    kCmdQuit = 57665,
    kCmdPreviewCode = 32900, // the code shown inside the program
    kCmdUndo = 57643,
    kCmdRedo = 57644,
    kCmdAutoFirst = 33000, // the commands of the table that name no id of their own, in order
};

// The single main window: menu, tool bar, information bar, status bar and the matrix view.
// Owns the document, runs the commands against it and observes it.
class CMainFrame : public QMainWindow, private IDocumentObserver {
    Q_OBJECT

public:
    explicit CMainFrame(QWidget* parent = nullptr);
    ~CMainFrame() override;

    CQxView& view() { return *m_view; }
    CGlyphDocument& document() { return *m_document; }
    QAction* action(int id) const;
    // The settings summary as the information bar shows it.
    QString infoText() const;
    // Where "导出代码" writes the code file (inside the program's private temporary folder).
    QString codeFilePath();
    // The project file the document was opened from or last saved to; empty for none.
    QString documentPath() const { return QString::fromStdString(m_document->path()); }
    // Opens the project at `path` in place of the document (no question asked: the caller
    // has asked); a file that cannot be read is reported and leaves the document as it was.
    bool loadProject(const QString& path);
    CInfoLabel* infoLabel() const { return m_infoLabel; }
    // How often the enabled and checked states were refreshed: once a command (tests check).
    size_t commandStateRefreshes() const { return m_commandStateRefreshes; }
    // The status bar's dot line: the entry, row and column under the pointer and the byte and
    // bit the dot lands in; the keyboard cursor's entry when the pointer is over none.
    QLabel* dotLabel() const { return m_dotLabel; }
    QString dotStatusText() const;
    // "最近的项目" in the 文件 menu, filled as it opens.
    QMenu* recentMenu() const { return m_recentMenu; }
    // Opens a project of the recent list (asking to save first); a file no longer there is
    // said in the status bar and leaves the list.
    void openRecent(const QString& path);
    // The window's size at a first start: wide enough for the whole tool bar (at least 900 px),
    // within the screen's free area.
    static QSize firstStartSize(int toolBarWidth, const QRect& available);
    // What the profile keeps of the window's place: the frame's top-left corner (move() puts
    // it back there) and the client area's size (what resize() takes).
    std::optional<std::array<int, 4>> windowPlace() const;

    // One command of the window, a row of the table in main_commands.cpp: its menu item, its
    // shortcuts, its tool tip, whether it is enabled or checked, what it does and the name of
    // the history step it makes all come from here.
    struct CCommand {
        int id = 0;                    // 0: the next of kCmdAutoFirst on
        const char* menu = nullptr;    // the top menu's text, untranslated
        const char* submenu = nullptr; // a submenu of it; nullptr: in the menu itself
        const char* text = nullptr;    // untranslated; also names its history step
        const char* prompt = nullptr;  // the status bar's line
        const char* icon = nullptr;    // :/icons/<icon>.svg; nullptr: none
        QList<QKeySequence> keys = {};
        void (*run)(CMainFrame&, const CCommand&) = nullptr;
        bool (*enabled)(const CGlyphDocument&) = nullptr; // nullptr: always enabled
        bool (*checked)(const CMainFrame&) = nullptr;     // nullptr: not checkable
        // What follows the item in its menu: generated items (the recent projects, the cell
        // sizes, ...).
        void (*after)(CMainFrame&, QMenu*) = nullptr;
        bool separatorBefore = false;
        bool tipIsPrompt = false; // the tool tip says what the prompt says
        // A whole-matrix edit of the selection: on the tool bar among the edits, one group a
        // submenu.
        bool isEdit = false;
        EMatrixEdit edit = EMatrixEdit::Invert;
    };
    // The table, in menu order.
    static const std::vector<CCommand>& commands();
    // The untranslated text of command `id` (what its history steps are named by).
    static const char* commandText(int id);

protected:
    void closeEvent(QCloseEvent* event) override;
    // Files dropped on the window: a project opens, pictures become picture entries, a font
    // file opens the font dialog with it chosen.
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dropEvent(QDropEvent* event) override;

private:
    void buildCommands();
    QAction* addCommand(int id, const QString& text, const QString& prompt,
                        const char* icon = nullptr, const QList<QKeySequence>& keys = {});
    // The generated items of the 文件 and 视图 menus.
    void addRecentMenu(QMenu* menu);
    void addViewChoices(QMenu* menu);
    void buildToolBar();
    void run(int id);
    void showAbout();
    void buildLibrary();
    void addCharacters();
    // The first time entries first..end−1 lost ink to the cell: how to keep it; else empty.
    QString inkHint(size_t first, size_t end);
    void addString();
    void addPicture();
    void addPictureFile(const QString& path);
    void chooseThreshold();
    // The font dialog; with `fontFile`, opened with that file chosen.
    void chooseFont(const QString& fontFile = {});
    void updateDotStatus();
    void fillRecentMenu();
    void rememberRecent(const QString& path);
    // The four send commands: all or the selected entries over a serial port or the network.
    void send(bool selectedOnly, bool network);
    void chooseCodeFormat();
    void exportCode();
    void previewCode();
    void exportLibrary();
    void showHelp();
    void newProject();
    void openProject();
    bool saveProject(bool askForName);
    bool saveTo(const QString& path);
    // Before work would be lost: asks whether to save a modified document. False: cancelled.
    bool maybeSave();
    void updateTitle();
    // Asks before a walk over a list with many entries not yet rendered; false: cancelled.
    bool confirmLargeJob(const CGlyphList& list);
    void updateCommandState();
    void scheduleInfoRefresh();
    void refreshInfo();
    void undo(bool redo);
    // The name of a history step as the edit menu shows it: its command's text.
    QString stepName(const CDocumentStep& step) const;
    void updateHistoryState();
    // A new window takes its last place from the profile, or the first-start size.
    void placeWindow();
    // Shows the written code file inside the program (the viewer's stand-in).
    void showCodeFile(const QString& path);

    // IDocumentObserver
    void historyChanged() override;
    void settingsChanged() override;

    std::unique_ptr<CRasteriser> m_rasteriser;
    std::unique_ptr<CGlyphDocument> m_document;
    CQxView* m_view = nullptr;
    QSpinBox* m_drawLevel = nullptr;      // the level the left button draws on grey entries
    std::vector<QAction*> m_levelActions; // the picker and its label, shown for grey entries
    QToolBar* m_toolBar = nullptr;
    QToolBar* m_infoBar = nullptr;
    CInfoLabel* m_infoLabel = nullptr;
    QLabel* m_dotLabel = nullptr;
    QMenu* m_recentMenu = nullptr;
    std::map<int, QAction*> m_actions;
    std::unique_ptr<QTemporaryDir> m_tempDir; // private folder of the exported code file
    bool m_infoPending = false;
    int m_commandDepth = 0; // commands running (a dialog's event loop may run another)
    size_t m_commandStateRefreshes = 0;
    bool m_inkHintGiven = false;      // the lost-ink hint is given once a session
    CTransferMemory m_transferMemory; // what the send dialogs were last set to
};

} // namespace tgw

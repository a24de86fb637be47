// The window's commands, one row each.
//
// Adding a command: add its row here, in the place its menu item takes. The row gives the menu
// (and submenu) it sits in, its text, prompt, icon and shortcuts, what it does (`run`, which
// calls the document or opens a dialog that does), when it is enabled and whether it is a
// checked choice. The menus, the shortcuts, the enabled and checked states and the name of the
// history step it makes are all made from the row. A row without an id gets one of its own;
// give it an enum id in main_frame.h only when other code or a test must find it. A tool bar
// button is its id in the list of buildToolBar(); a matrix edit (isEdit) is on the tool bar
// among the others by itself. A new matrix edit is thus its row, its EMatrixEdit with the
// core's edit (model/matrix_edits.*) and its name in tgw's table of edits.
//
// Adding an output format: see codegen/output_writers.h; the window's export commands do not
// change.
#include "app/main_frame.h"

#include "app/language.h"
#include "view/qx_view.h"

#include <QApplication>
#include <QStatusBar>
#include <QToolBar>

#include <cstring>

namespace tgw {
namespace {

const char* const kFile = QT_TRANSLATE_NOOP("tgw::CMainFrame", "文件(&F)");
const char* const kEdit = QT_TRANSLATE_NOOP("tgw::CMainFrame", "编辑(&E)");
const char* const kModify = QT_TRANSLATE_NOOP("tgw::CMainFrame", "修改(&M)");
const char* const kSettings = QT_TRANSLATE_NOOP("tgw::CMainFrame", "设置(&C)");
const char* const kView = QT_TRANSLATE_NOOP("tgw::CMainFrame", "视图(&V)");
const char* const kTransfer = QT_TRANSLATE_NOOP("tgw::CMainFrame", "传输(&T)");
const char* const kHelp = QT_TRANSLATE_NOOP("tgw::CMainFrame", "帮助(&H)");
const char* const kMove = QT_TRANSLATE_NOOP("tgw::CMainFrame", "移动");
const char* const kFlip = QT_TRANSLATE_NOOP("tgw::CMainFrame", "翻转");
const char* const kRotate = QT_TRANSLATE_NOOP("tgw::CMainFrame", "旋转");
const char* const kTrim = QT_TRANSLATE_NOOP("tgw::CMainFrame", "修剪");
const char* const kSerial = QT_TRANSLATE_NOOP("tgw::CMainFrame", "串口传输");
const char* const kNetwork = QT_TRANSLATE_NOOP("tgw::CMainFrame", "网络传输");

using K = QKeySequence;

bool anySelected(const CGlyphDocument& d) {
    return d.list().selectedCount() > 0;
}
bool anyEntry(const CGlyphDocument& d) {
    return !d.list().empty();
}

} // namespace

const std::vector<CMainFrame::CCommand>& CMainFrame::commands() {
    using C = CCommand;
    // A matrix edit of the selection; its step is named after its text.
    auto edit = [](int id, EMatrixEdit e, const char* submenu, const char* text, const char* prompt,
                   const char* icon, QList<QKeySequence> keys = {}) {
        return C{.id = id,
                 .menu = kModify,
                 .submenu = submenu,
                 .text = text,
                 .prompt = prompt,
                 .icon = icon,
                 .keys = std::move(keys),
                 .run = [](CMainFrame& f, const C& c) { f.m_view->editSelected(c.edit, c.text); },
                 .tipIsPrompt = submenu == kMove,
                 .isEdit = true,
                 .edit = e};
    };
    static const std::vector<C> table = [&] {
        std::vector<C> t = {
            // 文件
            {.id = kCmdNew,
             .menu = kFile,
             .text = QT_TRANSLATE_NOOP("tgw::CMainFrame", "新建项目 (&N)"),
             .prompt = QT_TRANSLATE_NOOP("tgw::CMainFrame", "建立新的字模项目"),
             .icon = "new",
             .keys = {K::New},
             .run = [](CMainFrame& f, const C&) { f.newProject(); }},
            {.id = kCmdOpen,
             .menu = kFile,
             .text = QT_TRANSLATE_NOOP("tgw::CMainFrame", "打开项目 (&O)..."),
             .prompt = QT_TRANSLATE_NOOP("tgw::CMainFrame", "打开已保存的字模项目"),
             .icon = "open",
             .keys = {K::Open},
             .run = [](CMainFrame& f, const C&) { f.openProject(); }},
            {.id = kCmdSave,
             .menu = kFile,
             .text = QT_TRANSLATE_NOOP("tgw::CMainFrame", "保存项目 (&S)"),
             .prompt = QT_TRANSLATE_NOOP("tgw::CMainFrame", "保存当前字模项目"),
             .icon = "save",
             .keys = {K::Save},
             .run = [](CMainFrame& f, const C&) { f.saveProject(false); }},
            {.id = kCmdSaveAs,
             .menu = kFile,
             .text = QT_TRANSLATE_NOOP("tgw::CMainFrame", "项目另存为 (&A)..."),
             .prompt = QT_TRANSLATE_NOOP("tgw::CMainFrame", "以新的名称保存当前字模项目"),
             .keys = {K::SaveAs},
             .run = [](CMainFrame& f, const C&) { f.saveProject(true); },
             .after = [](CMainFrame& f, QMenu* menu) { f.addRecentMenu(menu); }},
            {.id = kCmdBuildLibrary,
             .menu = kFile,
             .text = QT_TRANSLATE_NOOP("tgw::CMainFrame", "生成字库 (&E)..."),
             .prompt = QT_TRANSLATE_NOOP("tgw::CMainFrame", "生成整套字符的点阵字库"),
             .run = [](CMainFrame& f, const C&) { f.buildLibrary(); },
             .separatorBefore = true},
            {.id = kCmdQuit,
             .menu = kFile,
             .text = QT_TRANSLATE_NOOP("tgw::CMainFrame", "退出 (&X)"),
             .prompt = QT_TRANSLATE_NOOP("tgw::CMainFrame", "退出程序"),
             .keys = {K::Quit},
             .run = [](CMainFrame& f, const C&) { f.close(); },
             .separatorBefore = true},

            // 编辑
            {.id = kCmdUndo,
             .menu = kEdit,
             .text = QT_TRANSLATE_NOOP("tgw::CMainFrame", "撤销 (&U)"),
             .prompt = QT_TRANSLATE_NOOP("tgw::CMainFrame", "撤销上一步操作"),
             .icon = "undo",
             .keys = {K::Undo},
             .run = [](CMainFrame& f, const C&) { f.undo(false); }},
            {.id = kCmdRedo,
             .menu = kEdit,
             .text = QT_TRANSLATE_NOOP("tgw::CMainFrame", "重做 (&R)"),
             .prompt = QT_TRANSLATE_NOOP("tgw::CMainFrame", "重做上一步撤销的操作"),
             .icon = "redo",
             .keys = {K(Qt::CTRL | Qt::Key_Y), K(Qt::CTRL | Qt::SHIFT | Qt::Key_Z)},
             .run = [](CMainFrame& f, const C&) { f.undo(true); }},
            {.id = kCmdAddChars,
             .menu = kEdit,
             .text = QT_TRANSLATE_NOOP("tgw::CMainFrame", "添加单写字符 (&C)..."),
             .prompt = QT_TRANSLATE_NOOP("tgw::CMainFrame", "添加待取模的单写字符"),
             .icon = "add_chars",
             .keys = {K(Qt::Key_Insert)},
             .run = [](CMainFrame& f, const C&) { f.addCharacters(); },
             .separatorBefore = true},
            {.id = kCmdAddString,
             .menu = kEdit,
             .text = QT_TRANSLATE_NOOP("tgw::CMainFrame", "添加连写文字 (&S)..."),
             .prompt = QT_TRANSLATE_NOOP("tgw::CMainFrame", "添加待取模的连写文字"),
             .icon = "add_string",
             .keys = {K(Qt::SHIFT | Qt::Key_Insert)},
             .run = [](CMainFrame& f, const C&) { f.addString(); }},
            {.id = kCmdAddPicture,
             .menu = kEdit,
             .text = QT_TRANSLATE_NOOP("tgw::CMainFrame", "添加图片 (&I)..."),
             .prompt = QT_TRANSLATE_NOOP("tgw::CMainFrame", "添加待取模的图片"),
             .icon = "add_picture",
             .keys = {K(Qt::CTRL | Qt::Key_Insert)},
             .run = [](CMainFrame& f, const C&) { f.addPicture(); }},
            {.id = kCmdDeleteSelected,
             .menu = kEdit,
             .text = QT_TRANSLATE_NOOP("tgw::CMainFrame", "删除选中 (&D)"),
             .prompt = QT_TRANSLATE_NOOP("tgw::CMainFrame", "删除选中的字模"),
             .icon = "delete_selected",
             .keys = {K::Delete},
             .run = [](CMainFrame& f, const C& c) { f.m_view->deleteSelected(c.text); },
             .enabled = anySelected,
             .separatorBefore = true},
            {.id = kCmdDeleteAll,
             .menu = kEdit,
             .text = QT_TRANSLATE_NOOP("tgw::CMainFrame", "删除所有 (&A)"),
             .prompt = QT_TRANSLATE_NOOP("tgw::CMainFrame", "清除所有已取字模"),
             .icon = "delete_all",
             .keys = {K(Qt::SHIFT | Qt::Key_Delete)},
             .run = [](CMainFrame& f, const C& c) { f.m_view->deleteAll(c.text); },
             .enabled = anyEntry},
            {.id = kCmdExportCode,
             .menu = kEdit,
             .text = QT_TRANSLATE_NOOP("tgw::CMainFrame", "导出代码 (&T)..."),
             .prompt = QT_TRANSLATE_NOOP("tgw::CMainFrame", "为正在编辑的字模导出C或ASM点阵代码"),
             .icon = "export_code",
             .keys = {K(Qt::CTRL | Qt::Key_E)},
             .run = [](CMainFrame& f, const C&) { f.exportCode(); },
             .enabled = anyEntry,
             .separatorBefore = true},
            {.id = kCmdPreviewCode,
             .menu = kEdit,
             .text = QT_TRANSLATE_NOOP("tgw::CMainFrame", "预览代码 (&P)..."),
             .prompt = QT_TRANSLATE_NOOP("tgw::CMainFrame", "在程序内查看、复制或另存导出的代码"),
             .keys = {K(Qt::CTRL | Qt::SHIFT | Qt::Key_E)},
             .run = [](CMainFrame& f, const C&) { f.previewCode(); },
             .enabled = anyEntry},
            {.id = kCmdExportLibrary,
             .menu = kEdit,
             .text = QT_TRANSLATE_NOOP("tgw::CMainFrame", "导出字库 (&B)..."),
             .prompt = QT_TRANSLATE_NOOP("tgw::CMainFrame", "将正在编辑的字模导出为二进制点阵字库"),
             .icon = "export_library",
             .keys = {K(Qt::CTRL | Qt::Key_B)},
             .run = [](CMainFrame& f, const C&) { f.exportLibrary(); },
             .enabled = anyEntry},

            // 修改
            {.id = kCmdSelectAll,
             .menu = kModify,
             .text = QT_TRANSLATE_NOOP("tgw::CMainFrame", "全选 (&A)"),
             .prompt = QT_TRANSLATE_NOOP("tgw::CMainFrame", "选中所有字模"),
             .icon = "select_all",
             .keys = {K::SelectAll},
             .run = [](CMainFrame& f, const C&) { f.m_view->selectAll(); }},
            {.id = kCmdClearSelection,
             .menu = kModify,
             .text = QT_TRANSLATE_NOOP("tgw::CMainFrame", "清除选择 (&U)"),
             .prompt = QT_TRANSLATE_NOOP("tgw::CMainFrame", "清除所有字模的选中状态"),
             .icon = "clear_selection",
             .keys = {K(Qt::CTRL | Qt::SHIFT | Qt::Key_A)},
             .run = [](CMainFrame& f, const C&) { f.m_view->clearSelection(); }},
            {.id = kCmdInvertSelection,
             .menu = kModify,
             .text = QT_TRANSLATE_NOOP("tgw::CMainFrame", "反向选择 (&B)"),
             .prompt = QT_TRANSLATE_NOOP("tgw::CMainFrame", "反转所有字模的选中状态"),
             .icon = "invert_selection",
             .keys = {K(Qt::CTRL | Qt::SHIFT | Qt::Key_I)},
             .run = [](CMainFrame& f, const C&) { f.m_view->invertSelection(); }},
        };
        // The edits of the selected matrices, in their menu's order.
        const C edits[] = {
            edit(kCmdInvert, EMatrixEdit::Invert, nullptr,
                 QT_TRANSLATE_NOOP("tgw::CMainFrame", "反色 (&C)"),
                 QT_TRANSLATE_NOOP("tgw::CMainFrame", "反转选中字模的所有点"), "invert",
                 {K(Qt::CTRL | Qt::Key_I)}),
            edit(kCmdShiftUp, EMatrixEdit::ShiftUp, kMove,
                 QT_TRANSLATE_NOOP("tgw::CMainFrame", "上移 (&U)"),
                 QT_TRANSLATE_NOOP("tgw::CMainFrame", "选中字模的点阵上移一行"), "shift_up",
                 {K(Qt::CTRL | Qt::Key_Up)}),
            edit(kCmdShiftDown, EMatrixEdit::ShiftDown, kMove,
                 QT_TRANSLATE_NOOP("tgw::CMainFrame", "下移 (&D)"),
                 QT_TRANSLATE_NOOP("tgw::CMainFrame", "选中字模的点阵下移一行"), "shift_down",
                 {K(Qt::CTRL | Qt::Key_Down)}),
            edit(kCmdShiftLeft, EMatrixEdit::ShiftLeft, kMove,
                 QT_TRANSLATE_NOOP("tgw::CMainFrame", "左移 (&L)"),
                 QT_TRANSLATE_NOOP("tgw::CMainFrame", "选中字模的点阵左移一列"), "shift_left",
                 {K(Qt::CTRL | Qt::Key_Left)}),
            edit(kCmdShiftRight, EMatrixEdit::ShiftRight, kMove,
                 QT_TRANSLATE_NOOP("tgw::CMainFrame", "右移 (&R)"),
                 QT_TRANSLATE_NOOP("tgw::CMainFrame", "选中字模的点阵右移一列"), "shift_right",
                 {K(Qt::CTRL | Qt::Key_Right)}),
            edit(kCmdMirrorHorizontal, EMatrixEdit::MirrorHorizontal, kFlip,
                 QT_TRANSLATE_NOOP("tgw::CMainFrame", "水平翻转 (&H)"),
                 QT_TRANSLATE_NOOP("tgw::CMainFrame", "选中字模左右翻转"), "mirror_h",
                 {K(Qt::CTRL | Qt::Key_H)}),
            edit(kCmdMirrorVertical, EMatrixEdit::MirrorVertical, kFlip,
                 QT_TRANSLATE_NOOP("tgw::CMainFrame", "垂直翻转 (&V)"),
                 QT_TRANSLATE_NOOP("tgw::CMainFrame", "选中字模上下翻转"), "mirror_v",
                 {K(Qt::CTRL | Qt::Key_J)}),
            edit(kCmdRotate90, EMatrixEdit::Rotate90, kRotate,
                 QT_TRANSLATE_NOOP("tgw::CMainFrame", "旋转 &90°"),
                 QT_TRANSLATE_NOOP("tgw::CMainFrame", "选中字模顺时针旋转90度"), "rotate90",
                 {K(Qt::CTRL | Qt::Key_R)}),
            edit(kCmdRotate180, EMatrixEdit::Rotate180, kRotate,
                 QT_TRANSLATE_NOOP("tgw::CMainFrame", "旋转 &180°"),
                 QT_TRANSLATE_NOOP("tgw::CMainFrame", "选中字模旋转180度"), "rotate180"),
            edit(kCmdRotate270, EMatrixEdit::Rotate270, kRotate,
                 QT_TRANSLATE_NOOP("tgw::CMainFrame", "旋转 &270°"),
                 QT_TRANSLATE_NOOP("tgw::CMainFrame", "选中字模顺时针旋转270度"), "rotate270",
                 {K(Qt::CTRL | Qt::SHIFT | Qt::Key_R)}),
            edit(kCmdTrimLeft, EMatrixEdit::TrimLeft, kTrim,
                 QT_TRANSLATE_NOOP("tgw::CMainFrame", "修剪左边空白列 (&L)"),
                 QT_TRANSLATE_NOOP("tgw::CMainFrame", "删除选中字模左边的空白列"), "trim_left"),
            edit(kCmdTrimRight, EMatrixEdit::TrimRight, kTrim,
                 QT_TRANSLATE_NOOP("tgw::CMainFrame", "修剪右边空白列 (&R)"),
                 QT_TRANSLATE_NOOP("tgw::CMainFrame", "删除选中字模右边的空白列"), "trim_right"),
            edit(kCmdTrimTop, EMatrixEdit::TrimTop, kTrim,
                 QT_TRANSLATE_NOOP("tgw::CMainFrame", "修剪上边空白行 (&T)"),
                 QT_TRANSLATE_NOOP("tgw::CMainFrame", "删除选中字模上边的空白行"), "trim_top"),
            edit(kCmdTrimBottom, EMatrixEdit::TrimBottom, kTrim,
                 QT_TRANSLATE_NOOP("tgw::CMainFrame", "修剪下边空白行 (&B)"),
                 QT_TRANSLATE_NOOP("tgw::CMainFrame", "删除选中字模下边的空白行"), "trim_bottom"),
        };
        t.insert(t.end(), std::begin(edits), std::end(edits));
        // The first edit follows a separator.
        t[t.size() - std::size(edits)].separatorBefore = true;

        const C rest[] = {
            // 设置
            {.id = kCmdFont,
             .menu = kSettings,
             .text = QT_TRANSLATE_NOOP("tgw::CMainFrame", "字模字体 (&F)..."),
             .prompt = QT_TRANSLATE_NOOP("tgw::CMainFrame", "设置取模所用的字体与点阵大小"),
             .icon = "font",
             .keys = {K(Qt::CTRL | Qt::Key_F)},
             .run = [](CMainFrame& f, const C&) { f.chooseFont(); }},
            {.id = kCmdThreshold,
             .menu = kSettings,
             .text = QT_TRANSLATE_NOOP("tgw::CMainFrame", "图形取点设定 (&I)..."),
             .prompt = QT_TRANSLATE_NOOP("tgw::CMainFrame", "设置图形取点的亮度阀值"),
             .icon = "threshold",
             .run = [](CMainFrame& f, const C&) { f.chooseThreshold(); }},
            {.id = kCmdCodeFormat,
             .menu = kSettings,
             .text = QT_TRANSLATE_NOOP("tgw::CMainFrame", "代码格式 (&C)..."),
             .prompt = QT_TRANSLATE_NOOP("tgw::CMainFrame", "设置导出代码的格式"),
             .icon = "code_format",
             .run = [](CMainFrame& f, const C&) { f.chooseCodeFormat(); }},
            {.id = kCmdFilterDuplicates,
             .menu = kSettings,
             .text = QT_TRANSLATE_NOOP("tgw::CMainFrame", "过滤重复 (&R)"),
             .prompt = QT_TRANSLATE_NOOP("tgw::CMainFrame", "添加时过滤重复的字符"),
             .run =
                 [](CMainFrame& f, const C&) {
                     f.m_document->changeSettings(
                         [](CSettings& s) { s.filterRedup = !s.filterRedup; });
                 },
             .checked =
                 [](const CMainFrame& f) { return f.m_document->settings().filterRedup != 0; },
             .separatorBefore = true},
            {.id = kCmdFilterBlanks,
             .menu = kSettings,
             .text = QT_TRANSLATE_NOOP("tgw::CMainFrame", "过滤空白 (&S)"),
             .prompt = QT_TRANSLATE_NOOP("tgw::CMainFrame", "添加时过滤空白字符"),
             .run =
                 [](CMainFrame& f, const C&) {
                     f.m_document->changeSettings(
                         [](CSettings& s) { s.filterSpace = !s.filterSpace; });
                 },
             .checked =
                 [](const CMainFrame& f) { return f.m_document->settings().filterSpace != 0; }},
            {.id = kCmdMouseEdit,
             .menu = kSettings,
             .text = QT_TRANSLATE_NOOP("tgw::CMainFrame", "鼠标编辑 (&E)"),
             .prompt = QT_TRANSLATE_NOOP("tgw::CMainFrame", "用鼠标左键画点、右键擦点"),
             .icon = "mouse_edit",
             .keys = {K(Qt::CTRL | Qt::Key_M)},
             .run = [](CMainFrame& f,
                       const C&) { f.m_view->setMouseEdit(!f.m_document->settings().mouseDraw); },
             .checked =
                 [](const CMainFrame& f) { return f.m_document->settings().mouseDraw != 0; }},

            // 视图
            {.id = kCmdToolBar,
             .menu = kView,
             .text = QT_TRANSLATE_NOOP("tgw::CMainFrame", "工具栏 (&T)"),
             .prompt = QT_TRANSLATE_NOOP("tgw::CMainFrame", "显示或隐藏工具栏"),
             .run = [](CMainFrame& f,
                       const C&) { f.m_toolBar->setHidden(!f.m_toolBar->isHidden()); },
             // isHidden(): hidden on purpose, not merely inside a window not shown yet.
             .checked = [](const CMainFrame& f) { return !f.m_toolBar->isHidden(); }},
            {.id = kCmdStatusBar,
             .menu = kView,
             .text = QT_TRANSLATE_NOOP("tgw::CMainFrame", "状态栏 (&S)"),
             .prompt = QT_TRANSLATE_NOOP("tgw::CMainFrame", "显示或隐藏状态栏"),
             .run = [](CMainFrame& f,
                       const C&) { f.statusBar()->setHidden(!f.statusBar()->isHidden()); },
             .checked = [](const CMainFrame& f) { return !f.statusBar()->isHidden(); }},
            {.id = kCmdInfoBar,
             .menu = kView,
             .text = QT_TRANSLATE_NOOP("tgw::CMainFrame", "信息栏 (&I)"),
             .prompt = QT_TRANSLATE_NOOP("tgw::CMainFrame", "显示或隐藏信息栏"),
             .run = [](CMainFrame& f,
                       const C&) { f.m_infoBar->setHidden(!f.m_infoBar->isHidden()); },
             .checked = [](const CMainFrame& f) { return !f.m_infoBar->isHidden(); },
             .after = [](CMainFrame& f, QMenu* menu) { f.addViewChoices(menu); }},

            // 传输
            {.id = kCmdSerialSelected,
             .menu = kTransfer,
             .submenu = kSerial,
             .text = QT_TRANSLATE_NOOP("tgw::CMainFrame", "选中字模 (&S)..."),
             .prompt = QT_TRANSLATE_NOOP("tgw::CMainFrame", "通过串口发送选中字模的点阵数据"),
             .icon = "serial_selected",
             .run = [](CMainFrame& f, const C&) { f.send(true, false); },
             .enabled = anySelected,
             .tipIsPrompt = true},
            {.id = kCmdSerialAll,
             .menu = kTransfer,
             .submenu = kSerial,
             .text = QT_TRANSLATE_NOOP("tgw::CMainFrame", "所有字模 (&A)..."),
             .prompt = QT_TRANSLATE_NOOP("tgw::CMainFrame", "通过串口发送所有字模的点阵数据"),
             .icon = "serial_all",
             .run = [](CMainFrame& f, const C&) { f.send(false, false); },
             .enabled = anyEntry,
             .tipIsPrompt = true},
            {.id = kCmdNetworkSelected,
             .menu = kTransfer,
             .submenu = kNetwork,
             .text = QT_TRANSLATE_NOOP("tgw::CMainFrame", "选中字模 (&S)..."),
             .prompt = QT_TRANSLATE_NOOP("tgw::CMainFrame", "通过网络发送选中字模的点阵数据"),
             .run = [](CMainFrame& f, const C&) { f.send(true, true); },
             .enabled = anySelected,
             .tipIsPrompt = true},
            {.id = kCmdNetworkAll,
             .menu = kTransfer,
             .submenu = kNetwork,
             .text = QT_TRANSLATE_NOOP("tgw::CMainFrame", "所有字模 (&A)..."),
             .prompt = QT_TRANSLATE_NOOP("tgw::CMainFrame", "通过网络发送所有字模的点阵数据"),
             .run = [](CMainFrame& f, const C&) { f.send(false, true); },
             .enabled = anyEntry,
             .tipIsPrompt = true},

            // 帮助
            {.id = kCmdHelp,
             .menu = kHelp,
             .text = QT_TRANSLATE_NOOP("tgw::CMainFrame", "软件说明 (&R)..."),
             .prompt = QT_TRANSLATE_NOOP("tgw::CMainFrame", "显示程序的使用说明"),
             .icon = "help",
             .keys = {K::HelpContents},
             .run = [](CMainFrame& f, const C&) { f.showHelp(); }},
            {.id = kCmdAbout,
             .menu = kHelp,
             .text = QT_TRANSLATE_NOOP("tgw::CMainFrame", "关于 Tessaglyphworks (&A)..."),
             .prompt = QT_TRANSLATE_NOOP("tgw::CMainFrame", "显示程序信息与版本"),
             .icon = "about",
             .run = [](CMainFrame& f, const C&) { f.showAbout(); }},
        };
        t.insert(t.end(), std::begin(rest), std::end(rest));
        int next = kCmdAutoFirst;
        for (C& c : t)
            if (c.id == 0)
                c.id = next++;
        return t;
    }();
    return table;
}

const char* CMainFrame::commandText(int id) {
    for (const CCommand& c : commands())
        if (c.id == id)
            return c.text;
    return nullptr;
}

} // namespace tgw

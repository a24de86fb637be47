#include "app/main_frame.h"

#include "app/add_chars_dialog.h"
#include "app/add_string_dialog.h"
#include "app/code_format_dialog.h"
#include "app/font_dialog.h"
#include "app/help_window.h"
#include "app/info_label.h"
#include "app/language.h"
#include "app/library_dialog.h"
#include "app/messages.h"
#include "app/network_dialog.h"
#include "app/serial_dialog.h"
#include "base/file_name.h"
#include "base/text.h"
#include "codegen/binary_file.h"
#include "codegen/code_text.h"
#include "codegen/output_writers.h"
#include "model/describe.h"
#include "project/project_document.h"
#include "project/project_file.h"
#include "raster/picture_loader.h"
#include "raster/rasteriser.h"
#include "view/byte_order_view.h"
#include "view/code_viewer.h"
#include "view/qx_view.h"

#include <QAction>
#include <QActionGroup>
#include <QApplication>
#include <QCloseEvent>
#include <QDir>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFile>
#include <QFileInfo>
#include <QIcon>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QMessageBox>
#include <QMimeData>
#include <QRegularExpression>
#include <QScreen>
#include <QSpinBox>
#include <QStatusBar>
#include <QTemporaryDir>
#include <QTimer>
#include <QToolBar>
#include <QUrl>

#include <cstring>
#include <set>

// The icons live in a resource file of this static library; the linker keeps them only when
// something asks for them by name.
static void initResources() {
    Q_INIT_RESOURCE(app);
}

namespace tgw {
namespace {

// Commands whose work arrives with later parts of the program: present, but disabled.
const char* const kSendIndexQuestion =
    QT_TRANSLATE_NOOP("tgw::CMainFrame", "传输的数据是否需要包含字模索引表？\n\n索引表包含如下内容 "
                                         "[数值均为BigEndian]：\n①、字库内包含的字模数量；"
                                         "\n②、各字模的编码、宽度、高度以及偏移量值。\n");

// The picture files the program reads, upper and lower case (file names on this system are
// case-sensitive, the extension test of the loader is not).
QString patterns(std::initializer_list<const char*> extensions) {
    QStringList out;
    for (const char* e : extensions)
        out << QString("*.%1").arg(e).toUpper() << QString("*.%1").arg(e).toLower();
    return out.join(' ');
}

const std::initializer_list<const char*> kPictureExtensions = {
    "bmp", "dib", "jpg", "jpeg", "ico", "exe", "dll", "png", "gif", "pnm", "pbm", "pgm", "ppm"};

bool isPictureFileName(const QString& name) {
    const QString suffix = QFileInfo(name).suffix().toLower();
    return std::any_of(kPictureExtensions.begin(), kPictureExtensions.end(),
                       [&](const char* e) { return suffix == QLatin1String(e); });
}

bool isProjectFileName(const QString& name) {
    return QFileInfo(name).suffix().compare("tgx", Qt::CaseInsensitive) == 0;
}

QString pictureFilter() {
    return QStringList{CMainFrame::tr("所有支持的图形文件 (%1)").arg(patterns(kPictureExtensions)),
                       CMainFrame::tr("位图文件 (%1)").arg(patterns({"bmp", "dib"})),
                       CMainFrame::tr("JPEG文件 (%1)").arg(patterns({"jpg", "jpeg"})),
                       CMainFrame::tr("图标文件 (%1)").arg(patterns({"ico"})),
                       CMainFrame::tr("程序文件 (%1)").arg(patterns({"exe", "dll"})),
                       CMainFrame::tr("其它图形文件 (%1)")
                           .arg(patterns({"png", "gif", "pnm", "pbm", "pgm", "ppm"})),
                       CMainFrame::tr("所有文件 (*)")}
        .join(";;");
}

const char* const kProjectFilter =
    QT_TRANSLATE_NOOP("tgw::CMainFrame", "项目文件 (*.tgx);;所有文件 (*.*)");

const char* const kLargeJobQuestion =
    QT_TRANSLATE_NOOP("tgw::CMainFrame", "因字模量多，所以本次操作可能耗时较长，是否继续？");
const char* const kIndexQuestion = QT_TRANSLATE_NOOP(
    "tgw::CMainFrame", "导出的字库文件头部是否需要写入索引表？\r\n\r\n索引表包含如下内容 "
                       "[BigEndian]：\r\n①、字库内包含的字模数量；"
                       "\r\n②、各字模的编码、宽度、高度以及偏移量值。\r\n");

// Shows the wait cursor while it lives.
struct CWaitCursor {
    CWaitCursor() { QApplication::setOverrideCursor(Qt::WaitCursor); }
    ~CWaitCursor() { QApplication::restoreOverrideCursor(); }
};

// A menu text without its mnemonic and ellipsis: "旋转 &90°" → "旋转 90°", "字模字体 (&F)..." →
// "字模字体".
QString plainText(QString text) {
    static const QRegularExpression mnemonic(R"(\s*\(&.\))");
    return text.remove(mnemonic).remove("...").remove('&').trimmed();
}

const int kCellSizes[] = {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 12, 16, 20};

const char* const kColorNames[] = {QT_TRANSLATE_NOOP("tgw::CMainFrame", "蓝色 (&B)"),
                                   QT_TRANSLATE_NOOP("tgw::CMainFrame", "绿色 (&G)"),
                                   QT_TRANSLATE_NOOP("tgw::CMainFrame", "红色 (&R)"),
                                   QT_TRANSLATE_NOOP("tgw::CMainFrame", "青色 (&C)"),
                                   QT_TRANSLATE_NOOP("tgw::CMainFrame", "紫色 (&P)"),
                                   QT_TRANSLATE_NOOP("tgw::CMainFrame", "黄色 (&Y)"),
                                   QT_TRANSLATE_NOOP("tgw::CMainFrame", "白色 (&W)")};

} // namespace

CMainFrame::CMainFrame(QWidget* parent) : QMainWindow(parent) {
    initResources();
    setWindowTitle(tr("无标题 - Tessaglyphworks"));
    // The installed program icon when there is one, else the built-in small one.
    setWindowIcon(QIcon::fromTheme("tessaglyphworks", QIcon(":/icons/app.svg")));
    m_rasteriser = std::make_unique<CRasteriser>();
    m_document = std::make_unique<CGlyphDocument>(*m_rasteriser);
    if (Status loaded = m_document->loadProfile(CProfileStore::defaultPath(), systemGuiFont());
        !loaded)
        std::fprintf(stderr, "tessaglyphworks: %s; starting with the default settings\n",
                     loaded.error().c_str());
    m_view = new CQxView(this, m_document.get());
    setCentralWidget(m_view);
    buildCommands();
    connect(m_view, &CQxView::stateChanged, this, [this] {
        if (!m_commandDepth)
            updateCommandState();
        scheduleInfoRefresh();
    });
    m_document->addObserver(this);
    // An empty status line (a prompt just left) reads "就绪".
    connect(statusBar(), &QStatusBar::messageChanged, this, [this](const QString& message) {
        if (message.isEmpty())
            statusBar()->showMessage(tr("就绪"));
    });
    // A bar hidden or shown from the bars' own context menu keeps the 视图 menu's marks true.
    for (QToolBar* bar : {m_toolBar, m_infoBar})
        connect(bar, &QToolBar::visibilityChanged, this, [this] {
            if (!m_commandDepth)
                updateCommandState();
        });
    m_dotLabel = new QLabel(statusBar());
    m_dotLabel->setObjectName("dotLabel");
    m_dotLabel->setToolTip(tr("指针下的点：字模序号、行、列，以及按当前取点方式与字节排列它所在的"
                              "字节 (从 0 起) 与位 (7 为最高位)"));
    statusBar()->addPermanentWidget(m_dotLabel);
    connect(m_view, &CQxView::pointerMoved, this, &CMainFrame::updateDotStatus);
    connect(m_view, &CQxView::stateChanged, this, &CMainFrame::updateDotStatus);
    setAcceptDrops(true);
    updateCommandState();
    updateHistoryState();
    refreshInfo();
    statusBar()->showMessage(tr("就绪"));
    placeWindow();
    // The keyboard starts in the view: arrows move its cursor, Space selects.
    m_view->setFocus();
}

QSize CMainFrame::firstStartSize(int toolBarWidth, const QRect& available) {
    // The tool bar's own width plus the window frame and the bar's handle and margins.
    const int width = std::max(900, toolBarWidth + 40);
    return {std::min(width, available.width()), std::min(680, available.height())};
}

void CMainFrame::placeWindow() {
    const QRect available = screen()->availableGeometry();
    const auto& rect = m_document->settings().windowRect;
    if (!rect) {
        resize(firstStartSize(m_toolBar->sizeHint().width(), available));
        return;
    }
    const QRect last((*rect)[0], (*rect)[1], (*rect)[2], (*rect)[3]);
    resize(last.size().boundedTo(available.size()));
    // Only a place on a screen that is still there: a monitor unplugged since must not leave
    // the window out of sight.
    for (QScreen* s : QGuiApplication::screens()) {
        if (s->availableGeometry().intersects(QRect(last.topLeft(), QSize(last.width(), 40)))) {
            move(last.topLeft());
            break;
        }
    }
}

std::optional<std::array<int, 4>> CMainFrame::windowPlace() const {
    const QRect client = isMaximized() || isFullScreen() ? normalGeometry() : geometry();
    if (!client.isValid())
        return std::nullopt;
    // The frame's offset from the client area, as the window manager draws it now.
    const QPoint frameOffset = geometry().topLeft() - frameGeometry().topLeft();
    const QPoint corner = client.topLeft() - frameOffset;
    return std::array<int, 4>{corner.x(), corner.y(), client.width(), client.height()};
}

CMainFrame::~CMainFrame() {
    m_document->removeObserver(this);
    // The view shows the document: it goes before the document does.
    delete m_view;
    m_view = nullptr;
    if (Status saved = m_document->saveProfile(); !saved)
        std::fprintf(stderr, "tessaglyphworks: %s\n", saved.error().c_str());
}

QAction* CMainFrame::action(int id) const {
    auto it = m_actions.find(id);
    return it == m_actions.end() ? nullptr : it->second;
}

QAction* CMainFrame::addCommand(int id, const QString& text, const QString& prompt,
                                const char* icon, const QList<QKeySequence>& keys) {
    auto* a = new QAction(text, this);
    a->setData(id);
    a->setStatusTip(prompt);
    a->setToolTip(QString(text).remove('&').remove("..."));
    if (icon)
        a->setIcon(QIcon(QString(":/icons/%1.svg").arg(icon)));
    if (!keys.isEmpty())
        a->setShortcuts(keys);
    connect(a, &QAction::triggered, this, [this, id] { run(id); });
    m_actions[id] = a;
    return a;
}

void CMainFrame::buildCommands() {
    m_toolBar = addToolBar(tr("工具栏"));
    m_toolBar->setObjectName("toolbar");
    m_toolBar->setIconSize(QSize(16, 16));
    addToolBarBreak();
    m_infoBar = addToolBar(tr("信息栏"));
    m_infoBar->setObjectName("infobar");
    m_infoBar->setMovable(false);
    m_infoLabel = new CInfoLabel(m_infoBar);
    m_infoBar->addWidget(m_infoLabel);

    // The menus in the table's order, each made when its first command comes.
    const char* menuText = nullptr;
    const char* submenuText = nullptr;
    QMenu* menu = nullptr;
    QMenu* submenu = nullptr;
    for (const CCommand& c : commands()) {
        if (!menuText || std::strcmp(c.menu, menuText) != 0) {
            menu = menuBar()->addMenu(tr(c.menu));
            menuText = c.menu;
            submenuText = nullptr;
        }
        if (c.separatorBefore)
            menu->addSeparator();
        if (c.submenu && (!submenuText || std::strcmp(c.submenu, submenuText) != 0)) {
            submenu = menu->addMenu(tr(c.submenu));
            submenuText = c.submenu;
        } else if (!c.submenu) {
            submenuText = nullptr;
        }
        QAction* a = addCommand(c.id, tr(c.text), tr(c.prompt), c.icon, c.keys);
        a->setCheckable(c.checked != nullptr);
        // Tool tips that name what the command acts on where its menu text leaves that to the
        // menu it sits in.
        if (c.tipIsPrompt)
            a->setToolTip(a->statusTip());
        (c.submenu ? submenu : menu)->addAction(a);
        if (c.after)
            c.after(*this, menu);
    }
    // No hover tip of the view stays over an open menu.
    for (QMenu* m : menuBar()->findChildren<QMenu*>())
        connect(m, &QMenu::aboutToShow, this, [this] { m_view->dropTip(); });
    buildToolBar();
    // What the history calls a stroke of the mouse.
    m_view->setStrokeLabel(commandText(kCmdMouseEdit));
}

void CMainFrame::addRecentMenu(QMenu* menu) {
    m_recentMenu = menu->addMenu(tr("最近的项目 (&R)"));
    connect(m_recentMenu, &QMenu::aboutToShow, this, &CMainFrame::fillRecentMenu);
    fillRecentMenu();
}

void CMainFrame::addViewChoices(QMenu* viewMenu) {
    QMenu* cells = viewMenu->addMenu(tr("单元大小"));
    auto* cellGroup = new QActionGroup(this);
    for (int cell : kCellSizes) {
        QString text = cell <= 9    ? tr("&%n 像素", nullptr, cell)
                       : cell == 10 ? tr("1&0 像素")
                                    : tr("%n 像素", nullptr, cell);
        QAction* a = addCommand(kCmdCellSizeFirst + cell - 1, text,
                                tr("每个点阵单元显示为 %n 像素", nullptr, cell));
        a->setCheckable(true);
        a->setActionGroup(cellGroup);
        cells->addAction(a);
    }
    QMenu* colors = viewMenu->addMenu(tr("字模色调"));
    auto* colorGroup = new QActionGroup(this);
    for (int c = 0; c < 7; ++c) {
        QAction* a =
            addCommand(kCmdColorFirst + c, tr(kColorNames[c]), tr("设置字模点阵的显示颜色"));
        a->setCheckable(true);
        a->setActionGroup(colorGroup);
        colors->addAction(a);
    }
    addLanguageMenu(viewMenu, this);
}

void CMainFrame::buildToolBar() {
    // The tool bar, in its order; the edits come from the table, a group a submenu.
    constexpr int kEditsOnBar = -1;
    const int bar[] = {kCmdNew,
                       kCmdOpen,
                       kCmdSave,
                       0,
                       kCmdUndo,
                       kCmdRedo,
                       0,
                       kCmdAddChars,
                       kCmdAddString,
                       kCmdAddPicture,
                       kCmdDeleteSelected,
                       kCmdDeleteAll,
                       0,
                       kCmdExportCode,
                       kCmdExportLibrary,
                       0,
                       kCmdFont,
                       kCmdThreshold,
                       kCmdCodeFormat,
                       0,
                       kCmdSelectAll,
                       kCmdClearSelection,
                       kCmdInvertSelection,
                       0,
                       kCmdMouseEdit,
                       kEditsOnBar,
                       0,
                       kCmdSerialSelected,
                       kCmdSerialAll,
                       0,
                       kCmdHelp,
                       kCmdAbout};
    for (int id : bar) {
        if (id == kEditsOnBar) {
            const CCommand* previous = nullptr;
            for (const CCommand& c : commands()) {
                if (!c.isEdit)
                    continue;
                const char* group = previous ? previous->submenu : c.submenu;
                if ((c.submenu == nullptr) != (group == nullptr) ||
                    (c.submenu && group && std::strcmp(c.submenu, group) != 0))
                    m_toolBar->addSeparator();
                previous = &c;
                m_toolBar->addAction(action(c.id));
            }
        } else if (id) {
            m_toolBar->addAction(action(id));
        } else {
            m_toolBar->addSeparator();
        }
    }
    // The level the left button draws, shown while a grey entry is selected.
    auto* levelLabel = new QLabel(tr(" 灰度级 "), m_toolBar);
    m_drawLevel = new QSpinBox(m_toolBar);
    m_drawLevel->setObjectName("drawLevel");
    m_drawLevel->setRange(1, 255);
    m_drawLevel->setValue(255);
    m_drawLevel->setAccessibleName(tr("画点灰度级"));
    m_drawLevel->setToolTip(tr("鼠标左键在灰度字模上画出的灰度级 (右键清除)"));
    connect(m_drawLevel, &QSpinBox::valueChanged, this,
            [this](int level) { m_view->setDrawLevel(level); });
    // Beside the mouse-editing switch, where drawing is chosen.
    const QList<QAction*> actions = m_toolBar->actions();
    const qsizetype pen = actions.indexOf(action(kCmdMouseEdit));
    QAction* before = pen >= 0 && pen + 1 < actions.size() ? actions[pen + 1] : nullptr;
    m_levelActions = {m_toolBar->insertWidget(before, levelLabel),
                      m_toolBar->insertWidget(before, m_drawLevel)};
    for (QAction* a : m_levelActions)
        a->setVisible(false);
}

void CMainFrame::run(int id) {
    // A command may open a dialog: no hover tip of the view stays over it.
    m_view->dropTip();
    if (id >= kCmdCellSizeFirst && id < kCmdCellSizeFirst + 20) {
        m_view->setCellSize(id - kCmdCellSizeFirst + 1);
        return;
    }
    if (id >= kCmdColorFirst && id < kCmdColorFirst + 7) {
        m_view->setColorScheme(id - kCmdColorFirst);
        return;
    }
    // The notices the command causes refresh the bars once, when it is done.
    ++m_commandDepth;
    for (const CCommand& c : commands())
        if (c.id == id && c.run) {
            c.run(*this, c);
            break;
        }
    --m_commandDepth;
    updateCommandState();
}

void CMainFrame::buildLibrary() {
    // The builder works on its own list: the document is never touched by a build.
    CLibraryDialog dialog(m_document->settings(), this);
    if (dialog.exec() == QDialog::Accepted && !dialog.resultText().isEmpty())
        statusBar()->showMessage(dialog.resultText());
}

void CMainFrame::showAbout() {
    // The program's own version; the project files name the format they follow in their
    // program_version attribute, which other readers of the format expect.
    QMessageBox::about(
        this, tr("关于 Tessaglyphworks"),
        tr("Tessaglyphworks %1\n\n点阵字模的生成、编辑、导出与传输。\n\n"
           "项目文件格式版本 %2 (program_version)")
            .arg(QApplication::applicationVersion(), QString::fromLatin1(kProjectProgramVersion)));
}

void CMainFrame::addCharacters() {
    CAddCharsDialog dialog(this);
    if (dialog.exec() != QDialog::Accepted)
        return;
    const std::u16string text = dialog.text().toStdU16String();
    const CSettings& s = m_document->settings();
    CGlyphList& list = m_view->list();
    // The characters the duplicate filter will leave out because the list has them already.
    size_t existing = 0;
    if (s.filterRedup) {
        std::set<char16_t> held, counted;
        for (size_t i = 0; i < list.size(); ++i)
            if (list.at(i).isCharacter())
                held.insert(static_cast<const CCharEntry&>(list.at(i)).code());
        for (char16_t c : text)
            if (c != 0 && !(s.filterSpace && isWhiteSpace(c)) && held.count(c) &&
                counted.insert(c).second)
                ++existing;
    }
    const size_t first = list.size();
    const size_t added = m_view->addCharacters(text, commandText(kCmdAddChars));
    QStringList said;
    if (existing)
        said << tr("%n 个字符已存在，未添加", nullptr, int(existing));
    // The built-in GB2312 dot fonts hold only the double-byte characters.
    if (s.fontType == kFontGb2312_12 || s.fontType == kFontGb2312_16) {
        int ascii = 0;
        for (size_t i = first; i < first + added; ++i)
            if (list.at(i).isCharacter() &&
                static_cast<const CCharEntry&>(list.at(i)).code() < 0x80)
                ++ascii;
        if (ascii)
            said << tr("GB2312 点阵字库不含 ASCII 字符，%n 个字模为空白；请选用 ASCII "
                       "点阵字库或系统字体",
                       nullptr, ascii);
    }
    if (const QString cut = inkHint(first, first + added); !cut.isEmpty())
        said << cut;
    if (!said.isEmpty())
        statusBar()->showMessage(said.join(tr("；")));
}

QString CMainFrame::inkHint(size_t first, size_t end) {
    if (m_inkHintGiven)
        return {};
    // Rendering a few new entries here costs little; a long list is checked by its first ones.
    CGlyphList& list = m_view->list();
    for (size_t i = first; i < end && i < first + 256 && i < list.size(); ++i) {
        CGlyphEntry& e = list.at(i);
        if (e.ensureRendered() && e.inkLoss().sides()) {
            m_inkHintGiven = true;
            return tr("字形超出字模的点已被截去 (字模带红边)：在“字模字体”中选“适应单元”"
                      "或设纵向偏移可保留全部的点");
        }
    }
    return {};
}

void CMainFrame::addString() {
    CAddStringDialog dialog(this);
    if (dialog.exec() != QDialog::Accepted || dialog.text().isEmpty())
        return;
    const std::u16string text = dialog.text().toStdU16String();
    CGlyphList& list = m_view->list();
    if (!list.empty() && m_document->settings().filterRedup && list.hasString(text)) {
        notice(this, tr("重复过滤功能已开启，不能重复添加同一字串！"));
        return;
    }
    CWaitCursor wait;
    const size_t first = list.size();
    m_view->addEntry(std::make_unique<CStringEntry>(m_view->rasteriser(), text,
                                                    dialog.rightToLeft(),
                                                    m_document->settings().font()),
                     commandText(kCmdAddString));
    if (const QString cut = inkHint(first, list.size()); !cut.isEmpty())
        statusBar()->showMessage(cut);
}

void CMainFrame::addPicture() {
    const QString path = chooseOpenFile(this, tr("指定图形文件..."), pictureFilter());
    if (!path.isEmpty())
        addPictureFile(path);
}

void CMainFrame::addPictureFile(const QString& path) {
    // The name as the file system has it (bytes, not necessarily UTF-8), kept losslessly.
    const std::u16string name = fileNameToText(QFile::encodeName(path).toStdString());
    CGlyphList& list = m_view->list();
    if (!list.empty() && m_document->settings().filterRedup && list.hasPicture(name)) {
        notice(this, tr("重复过滤功能已开启，不能重复添加同一图片！"));
        return;
    }
    CWaitCursor wait;
    m_view->addEntry(std::make_unique<CPictureEntry>(m_view->rasteriser(), name,
                                                     m_document->settings().pictureOptions()),
                     commandText(kCmdAddPicture));
}

void CMainFrame::chooseThreshold() {
    const CSettings& settings = m_document->settings();
    CThresholdDialog dialog(settings.pictureOptions(), int(settings.width), int(settings.height),
                            this);
    // The preview shows the first selected picture, else the first picture.
    const CGlyphList& list = m_view->list();
    const CPictureEntry* shown = nullptr;
    for (size_t i = 0; i < list.size(); ++i)
        if (list.at(i).isPicture() && (!shown || list.at(i).selected())) {
            const bool first = shown == nullptr;
            shown = static_cast<const CPictureEntry*>(&list.at(i));
            if (!first || shown->selected())
                break;
        }
    if (shown) {
        CDecodedPicture picture = loadPicture(shown->path());
        if (picture.ok())
            dialog.setPreviewPicture(std::move(picture.image));
    }
    if (dialog.exec() != QDialog::Accepted)
        return;
    m_document->changeSettings([&](CSettings& s) { s.setPictureOptions(dialog.options()); });
    CWaitCursor wait;
    if (m_document->applyPictureOptions(settings.pictureOptions(), commandText(kCmdThreshold)))
        m_view->flushLayout();
}

void CMainFrame::send(bool selectedOnly, bool network) {
    CGlyphList& list = m_view->list();
    if (list.empty())
        return;
    std::vector<CGlyphEntry*> entries;
    size_t unrendered = 0;
    for (size_t i = 0; i < list.size(); ++i) {
        CGlyphEntry& e = list.at(i);
        if (selectedOnly && !e.selected())
            continue;
        entries.push_back(&e);
        unrendered += !e.hasDots();
    }
    if (entries.empty())
        return;
    if (entries.size() > 1000 && unrendered >= 1000 && !askYesNo(this, tr(kLargeJobQuestion)))
        return;
    const auto answer = askYesNoCancel(this, tr(kSendIndexQuestion));
    if (answer == QMessageBox::Cancel)
        return;
    // The data goes to the dialog in memory: no temporary file to race for or to leave behind.
    CStringOutput data;
    Status encoded;
    {
        CWaitCursor wait;
        encoded = writeBinaryFile(entries, CEncodingOptions::fromSettings(m_document->settings()),
                                  answer == QMessageBox::Yes, data);
    }
    if (!encoded) {
        warning(this, QString::fromStdString(encoded.error()));
        return;
    }
    if (network) {
        CNetworkDialog dialog(std::move(data).data(), m_transferMemory, this);
        dialog.exec();
    } else {
        CSerialDialog dialog(std::move(data).data(), m_transferMemory, this);
        dialog.exec();
    }
}

void CMainFrame::chooseFont(const QString& fontFile) {
    CFontDialog dialog(m_document->settings(), this);
    if (!fontFile.isEmpty())
        dialog.chooseFile(fontFile);
    // The preview draws the selected characters, as the font will draw them on OK.
    std::u16string selected;
    const CGlyphList& list = m_view->list();
    for (size_t i = 0; i < list.size(); ++i)
        if (list.at(i).selected() && list.at(i).isCharacter())
            selected += static_cast<const CCharEntry&>(list.at(i)).code();
    if (!selected.empty())
        dialog.setPreviewText(selected);
    if (dialog.exec() != QDialog::Accepted)
        return;
    m_document->changeSettings([&](CSettings& s) { dialog.apply(s); });
    const CSettings& s = m_document->settings();
    CWaitCursor wait;
    // Fit moves a bitmap font's characters as it does when they are added.
    m_document->applyFont(m_view->fittedFont(s.font(), selected), s.halfWidth,
                          commandText(kCmdFont));
    m_view->flushLayout();
}

void CMainFrame::chooseCodeFormat() {
    CCodeFormatDialog dialog(m_document->settings(), this);
    // The drawing shows the first selected glyph, when it is small enough to read.
    const CGlyphList& list = m_view->list();
    for (size_t i = 0; i < list.size(); ++i)
        if (list.at(i).selected() && list.at(i).hasDots()) {
            const CDotMatrix& m = list.at(i).matrix();
            if (m.width() <= CByteOrderView::kMaxShown && m.height() <= CByteOrderView::kMaxShown)
                dialog.setSample(m);
            break;
        }
    if (dialog.exec() != QDialog::Accepted)
        return;
    // The writers take their options from the settings each time they run.
    m_document->changeSettings([&](CSettings& s) { dialog.apply(s); });
}

bool CMainFrame::confirmLargeJob(const CGlyphList& list) {
    return !list.isLargeJob() || askYesNo(this, tr(kLargeJobQuestion));
}

QString CMainFrame::codeFilePath() {
    if (!m_tempDir)
        m_tempDir = std::make_unique<QTemporaryDir>(QDir::tempPath() + "/tessaglyphworks-XXXXXX");
    if (!m_tempDir->isValid())
        return {};
    return m_tempDir->filePath(
        QString("QXCode.TEMPORARY.%1").arg(m_document->settings().language ? "asm" : "c"));
}

void CMainFrame::exportCode() {
    CGlyphList& list = m_view->list();
    if (list.empty())
        return;
    const QString path = codeFilePath();
    if (!confirmLargeJob(list))
        return;
    Status written = path.isEmpty() ? Status(failure("no private temporary folder")) : Status();
    if (written) {
        CWaitCursor wait;
        written = saveList(*findWriter(m_document->settings().language ? "asm" : "c"), list,
                           CEncodingOptions::fromSettings(m_document->settings()), {},
                           path.toStdString());
    }
    if (!written) {
        warning(this, tr("文件打开失败，请检查！\n\n") + QString::fromStdString(written.error()));
        return;
    }
    statusBar()->showMessage(writtenText(list.size(), QFileInfo(path).size(), path));
    const QString viewer = QString::fromStdU16String(m_document->settings().codeBrowser);
    if (CCodeFormatDialog::isBuiltInViewer(viewer)) {
        showCodeFile(path);
        return;
    }
    if (!startViewer(viewer, path)) {
        statusBar()->showMessage(
            tr("无法启动代码查看程序“%1”，已在程序内显示代码。").arg(viewer.trimmed()));
        showCodeFile(path);
    }
}

void CMainFrame::showCodeFile(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        warning(this, tr("文件打开失败，请检查！\n\n") + file.errorString());
        return;
    }
    const QByteArray bytes = file.readAll();
    // Not modal, as an outside viewer would be: the user may keep it open beside the window.
    auto* viewer = new CCodeViewer(bytes.toStdString(), QFileInfo(path).suffix(), this,
                                   m_document->settings().codeEncoding == kCodeEncodingUtf8);
    viewer->setAttribute(Qt::WA_DeleteOnClose);
    viewer->show();
}

void CMainFrame::previewCode() {
    CGlyphList& list = m_view->list();
    if (list.empty() || !confirmLargeJob(list))
        return;
    Result<std::string> code = [&] {
        CWaitCursor wait;
        return codeText(list, CEncodingOptions::fromSettings(m_document->settings()));
    }();
    if (!code) {
        warning(this, QString::fromStdString(code.error()));
        return;
    }
    CCodeViewer viewer(std::move(*code), m_document->settings().language ? "asm" : "c", this,
                       m_document->settings().codeEncoding == kCodeEncodingUtf8);
    viewer.exec();
}

void CMainFrame::exportLibrary() {
    CGlyphList& list = m_view->list();
    if (list.empty())
        return;
    const COutputWriter& writer = *findWriter("bin");
    const QString path =
        chooseSaveFile(this, tr("保存至..."), writerSaveFilter(writer), writer.extension);
    if (path.isEmpty() || !confirmLargeJob(list))
        return;
    const auto answer = askYesNoCancel(this, QString(tr(kIndexQuestion)).replace("\r\n", "\n"));
    if (answer == QMessageBox::Cancel)
        return;
    Status written;
    {
        CWaitCursor wait;
        CWriterOptions options;
        options.withIndex = answer == QMessageBox::Yes;
        written = saveList(*findWriter("bin"), list,
                           CEncodingOptions::fromSettings(m_document->settings()), options,
                           path.toStdString());
    }
    if (!written) {
        warning(this, tr("文件打开失败，请检查！\n\n") + QString::fromStdString(written.error()));
        return;
    }
    statusBar()->showMessage(writtenText(list.size(), QFileInfo(path).size(), path));
}

void CMainFrame::newProject() {
    if (!maybeSave())
        return;
    m_document->newProject();
    m_view->flushLayout();
}

void CMainFrame::openProject() {
    if (!maybeSave())
        return;
    const QString path = chooseOpenFile(this, tr("打开项目"), tr(kProjectFilter));
    if (!path.isEmpty())
        loadProject(path);
}

bool CMainFrame::loadProject(const QString& path) {
    Status opened;
    {
        CWaitCursor wait;
        opened = m_document->open(path.toStdString());
    }
    if (!opened) {
        notice(this, tr("打开失败，请检查文件是否损坏或由更高版本软件创建！"));
        return false;
    }
    m_view->layout(-1);
    rememberRecent(path);
    return true;
}

bool CMainFrame::saveProject(bool askForName) {
    QString path = documentPath();
    if (askForName || path.isEmpty()) {
        path = chooseSaveFile(this, tr("项目另存为"), tr(kProjectFilter), "tgx");
        if (path.isEmpty())
            return false;
    }
    return saveTo(path);
}

bool CMainFrame::saveTo(const QString& path) {
    if (!m_document->saveNeeded(path.toStdString()))
        return true;
    Status saved;
    {
        CWaitCursor wait;
        saved = m_document->save(path.toStdString());
    }
    if (!saved) {
        showMessage(this, QMessageBox::Warning, tr("提示"), tr("保存项目文件失败，请检查后重试!"));
        return false;
    }
    const CGlyphList& list = m_document->list();
    rememberRecent(path);
    // Saved all the same: the dots are whole, only such a name no longer opens its file.
    if (std::vector<size_t> unstorable = entriesWithUnstorableNames(list); !unstorable.empty())
        warning(this, tr("第 %1 项的文件名不是有效的 UTF-8 编码，项目文件只能以 U+FFFD "
                         "代替其中无法保存的字节。")
                          .arg(qulonglong(unstorable.front() + 1)));
    return true;
}

bool CMainFrame::maybeSave() {
    m_view->finishStroke();
    if (!m_document->modified())
        return true;
    const QString name =
        documentPath().isEmpty() ? tr("无标题") : QFileInfo(documentPath()).fileName();
    switch (askYesNoCancel(this, tr("是否保存对“%1”的修改？").arg(name))) {
    case QMessageBox::Yes:
        return saveProject(false);
    case QMessageBox::No:
        return true;
    default:
        return false;
    }
}

void CMainFrame::rememberRecent(const QString& path) {
    m_document->settings().addRecentFile(
        QFile::encodeName(QFileInfo(path).absoluteFilePath()).toStdString());
}

void CMainFrame::fillRecentMenu() {
    m_recentMenu->clear();
    const std::vector<std::string>& recent = m_document->settings().recentFiles;
    if (recent.empty()) {
        m_recentMenu->addAction(tr("(无)"))->setEnabled(false);
        return;
    }
    for (size_t i = 0; i < recent.size(); ++i) {
        const QString path = QFile::decodeName(QByteArray::fromStdString(recent[i]));
        // "&1 name", the whole path in the status bar.
        QAction* a = m_recentMenu->addAction(
            QString("&%1 %2").arg(i + 1).arg(QFileInfo(path).fileName().replace('&', "&&")));
        a->setStatusTip(path);
        connect(a, &QAction::triggered, this, [this, path] { openRecent(path); });
    }
    m_recentMenu->addSeparator();
    connect(m_recentMenu->addAction(tr("清除列表 (&C)")), &QAction::triggered, this,
            [this] { m_document->settings().recentFiles.clear(); });
}

void CMainFrame::openRecent(const QString& path) {
    if (!QFileInfo(path).isFile()) {
        std::erase(m_document->settings().recentFiles, QFile::encodeName(path).toStdString());
        statusBar()->showMessage(tr("“%1”已不存在，已从最近的项目中去掉").arg(path));
        return;
    }
    if (maybeSave())
        loadProject(path);
}

QString CMainFrame::dotStatusText() const {
    const CQxView::CDotRef dot = m_view->pointerDot();
    const CGlyphList& list = m_view->list();
    const bool pointed = dot.entry >= 0 && size_t(dot.entry) < list.size();
    const long index = pointed ? dot.entry : m_view->cursorEntry();
    if (index < 0 || size_t(index) >= list.size())
        return {};
    const CGlyphEntry& e = list.at(size_t(index));
    QString name = QString::fromStdString(entryLabel(e));
    if (e.isCharacter())
        name = QString(QChar(static_cast<const CCharEntry&>(e).code())) + ' ' + name;
    else if (name.size() > 16)
        name = name.left(15) + QChar(0x2026);
    const QString entry = tr("第 %1 项 %2").arg(index + 1).arg(name);
    if (!pointed)
        return tr("%1  %2x%3 点").arg(entry).arg(e.width()).arg(e.height());
    const std::optional<CDotPlace> place =
        CEncodingOptions::fromSettings(m_document->settings())
            .placeOf(e.width(), e.height(), e.depth(), dot.row, dot.col);
    const QString where = tr("%1  行 %2 列 %3").arg(entry).arg(dot.row).arg(dot.col);
    if (!place)
        return where;
    const QString bit = place->bits == 1
                            ? QString::number(place->bit)
                            : QString("%1-%2").arg(place->bit).arg(place->bit + 1 - place->bits);
    return tr("%1  字节 %2 位 %3").arg(where).arg(place->byte).arg(bit);
}

void CMainFrame::updateDotStatus() {
    m_dotLabel->setText(dotStatusText());
}

void CMainFrame::dragEnterEvent(QDragEnterEvent* event) {
    const QList<QUrl> urls = event->mimeData()->urls();
    if (std::any_of(urls.begin(), urls.end(), [](const QUrl& u) { return u.isLocalFile(); }))
        event->acceptProposedAction();
}

void CMainFrame::dropEvent(QDropEvent* event) {
    QString project, font;
    QStringList pictures, others;
    for (const QUrl& url : event->mimeData()->urls()) {
        if (!url.isLocalFile())
            continue;
        const QString path = url.toLocalFile();
        if (isProjectFileName(path) && project.isEmpty())
            project = path;
        else if (CFontDialog::isFontFileName(path) && font.isEmpty())
            font = path;
        else if (isPictureFileName(path))
            pictures << path;
        else
            others << QFileInfo(path).fileName();
    }
    event->acceptProposedAction();
    // The files are opened after the drop has ended: the questions and the font dialog they
    // may bring are not shown while the dragging program waits for its answer.
    QTimer::singleShot(0, this, [this, project, font, pictures, others] {
        m_view->dropTip();
        // The project first, so that the pictures join it; cancelling the question drops all.
        if (!project.isEmpty() && (!maybeSave() || !loadProject(project)))
            return;
        for (const QString& picture : pictures)
            addPictureFile(picture);
        if (!others.isEmpty())
            statusBar()->showMessage(tr("不能打开的文件：%1").arg(others.join(tr("、"))));
        if (!font.isEmpty())
            chooseFont(font);
        updateCommandState();
    });
}

void CMainFrame::closeEvent(QCloseEvent* event) {
    if (!maybeSave()) {
        event->ignore();
        return;
    }
    // The view saves the settings when it goes; the window's place goes with them: the
    // frame's corner, which move() takes back, and the client's size, which resize() takes.
    if (const std::optional<std::array<int, 4>> r = windowPlace())
        m_document->settings().windowRect = *r;
    event->accept();
}

void CMainFrame::updateTitle() {
    const QString name =
        documentPath().isEmpty() ? tr("无标题") : QFileInfo(documentPath()).fileName();
    setWindowTitle(QString("%1%2 - Tessaglyphworks").arg(name, m_document->modified() ? "*" : ""));
}

void CMainFrame::showHelp() {
    auto* help = new CHelpWindow(this);
    help->setAttribute(Qt::WA_DeleteOnClose);
    help->show();
}

void CMainFrame::updateCommandState() {
    ++m_commandStateRefreshes;
    const CSettings& s = m_document->settings();
    const CGlyphList& list = m_document->list();
    for (const CCommand& c : commands()) {
        QAction* a = action(c.id);
        if (c.enabled)
            a->setEnabled(c.enabled(*m_document));
        if (c.checked)
            a->setChecked(c.checked(*this));
    }
    // The level picker follows the deepest selected entry.
    int top = 1;
    if (list.selectedCount() > 0)
        for (size_t i = 0; i < list.size() && top < 255; ++i)
            if (list.at(i).selected())
                top = std::max(top, int(maxLevelOf(list.at(i).depth())));
    for (QAction* a : m_levelActions)
        a->setVisible(top > 1);
    if (top > 1)
        m_drawLevel->setMaximum(top);
    for (int cell : kCellSizes) {
        QAction* a = action(kCmdCellSizeFirst + cell - 1);
        a->setChecked(cell == s.pointSize);
        a->setEnabled(cell != s.pointSize);
    }
    for (int c = 0; c < 7; ++c) {
        QAction* a = action(kCmdColorFirst + c);
        a->setChecked(c == s.color);
        a->setEnabled(c != s.color);
    }
    updateTitle();
}

QString CMainFrame::infoText() const {
    const CGlyphList& list = m_view->list();
    return QString::fromStdString(
        settingsSummary(m_document->settings(), list.size(), list.selectedCount()));
}

void CMainFrame::scheduleInfoRefresh() {
    // The summary is refreshed at the next idle moment, once for a burst of changes.
    if (m_infoPending)
        return;
    m_infoPending = true;
    QTimer::singleShot(0, this, [this] { refreshInfo(); });
}

void CMainFrame::refreshInfo() {
    m_infoPending = false;
    m_infoLabel->setText(infoText());
}

void CMainFrame::undo(bool redo) {
    m_view->finishStroke();
    CWaitCursor wait;
    if (redo ? m_document->redo() : m_document->undo())
        m_view->flushLayout();
}

QString CMainFrame::stepName(const CDocumentStep& step) const {
    return step.label() ? plainText(tr(step.label())) : QString();
}

void CMainFrame::updateHistoryState() {
    const CDocumentStep* undoStep = m_document->undoStep();
    const CDocumentStep* redoStep = m_document->redoStep();
    QAction* undo = action(kCmdUndo);
    QAction* redo = action(kCmdRedo);
    undo->setEnabled(undoStep);
    redo->setEnabled(redoStep);
    undo->setText(undoStep ? tr("撤销 %1 (&U)").arg(stepName(*undoStep)) : tr("撤销 (&U)"));
    redo->setText(redoStep ? tr("重做 %1 (&R)").arg(stepName(*redoStep)) : tr("重做 (&R)"));
    undo->setToolTip(plainText(undo->text()));
    redo->setToolTip(plainText(redo->text()));
}

void CMainFrame::historyChanged() {
    updateHistoryState();
    updateTitle();
}

void CMainFrame::settingsChanged() {
    if (!m_commandDepth)
        updateCommandState();
    scheduleInfoRefresh();
}

} // namespace tgw

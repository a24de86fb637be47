#include "view/qx_view.h"

#include "model/describe.h"
#include "raster/rasteriser.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QScrollBar>
#include <QStringList>
#include <QToolTip>
#include <QWheelEvent>

#include <algorithm>
#include <climits>
#include <cstdio>
#include <unordered_set>

namespace tgw {
namespace {

// Pixel runs per line of one cell; the shape approximates a disc.
const std::vector<std::vector<int>>& dotShapes() {
    static const std::vector<std::vector<int>> shapes = {
        {},
        {1},
        {2, 2},
        {1, 3, 1},
        {2, 4, 4, 2},
        {3, 5, 5, 5, 3},
        {2, 4, 6, 6, 4, 2},
        {3, 5, 7, 7, 7, 5, 3},
        {2, 6, 6, 8, 8, 6, 6, 2},
        {3, 7, 7, 9, 9, 9, 7, 7, 3},
        {2, 6, 8, 8, 10, 10, 8, 8, 6, 2},
        {},
        {2, 8, 10, 10, 10, 12, 12, 10, 10, 10, 8, 2},
        {},
        {},
        {},
        {6, 8, 12, 12, 14, 16, 16, 16, 16, 16, 16, 14, 12, 12, 8, 6},
        {},
        {},
        {},
        {4, 10, 12, 14, 16, 18, 18, 18, 20, 20, 20, 20, 18, 18, 18, 16, 14, 12, 10, 4},
    };
    return shapes;
}

// Lit and unlit colours of the seven schemes.
const QRgb kLit[7] = {qRgb(0, 0, 160),   qRgb(0, 160, 0),   qRgb(160, 0, 0),    qRgb(0, 160, 160),
                      qRgb(160, 0, 160), qRgb(160, 160, 0), qRgb(160, 160, 160)};
const QRgb kUnlit[7] = {qRgb(0, 0, 24),  qRgb(0, 24, 0),  qRgb(24, 0, 0),  qRgb(0, 24, 24),
                        qRgb(24, 0, 24), qRgb(24, 24, 0), qRgb(24, 24, 24)};

QRgb brighterLit(QRgb c) {
    return qRgb(qRed(c) ? 255 : 0, qGreen(c) ? 255 : 0, qBlue(c) ? 255 : 0);
}
QRgb brighterUnlit(QRgb c) {
    return qRgb(qRed(c) * 3, qGreen(c) * 3, qBlue(c) * 3);
}

} // namespace

// A strip of dot numbers beside the viewport; the view paints it.
class CDotRuler : public QWidget {
public:
    CDotRuler(CQxView* view, Qt::Orientation orientation)
        : QWidget(view), m_view(view), m_orientation(orientation) {
        setAttribute(Qt::WA_OpaquePaintEvent);
        setAttribute(Qt::WA_TransparentForMouseEvents);
    }

protected:
    void paintEvent(QPaintEvent*) override {
        QPainter p(this);
        m_view->paintRuler(p, m_orientation, size());
    }

private:
    CQxView* m_view;
    Qt::Orientation m_orientation;
};

int CQxView::dotRun(int cell, int line) {
    return dotShapes()[size_t(cell)][size_t(line)];
}

bool CQxView::validCellSize(int cell) {
    return cell >= 1 && cell <= 20 && !dotShapes()[size_t(cell)].empty();
}

CQxView::CQxView(QWidget* parent, CGlyphDocument* document)
    : QAbstractScrollArea(parent), m_document(document) {
    if (!m_document) {
        m_ownRasteriser = std::make_unique<CRasteriser>();
        m_ownDocument = std::make_unique<CGlyphDocument>(*m_ownRasteriser);
        // Read, never written: whoever makes a document saves its profile.
        if (Status loaded =
                m_ownDocument->loadProfile(CProfileStore::defaultPath(), systemGuiFont());
            !loaded)
            std::fprintf(stderr, "tessaglyphworks: %s; starting with the default settings\n",
                         loaded.error().c_str());
        m_document = m_ownDocument.get();
    }
    if (!validCellSize(settings().pointSize))
        m_document->settings().pointSize = 4;
    m_shown = shownSettings();
    m_document->addObserver(this);
    setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    viewport()->setMouseTracking(true);
    viewport()->setAttribute(Qt::WA_OpaquePaintEvent);
    setFocusPolicy(Qt::StrongFocus);
    setAccessibleName(tr("字模"));

    m_renderTimer.setInterval(50);
    connect(&m_renderTimer, &QTimer::timeout, this, [this] { renderPending(20); });
    m_renderTimer.start();
    m_tipTimer.setSingleShot(true);
    m_tipTimer.setInterval(500);
    connect(&m_tipTimer, &QTimer::timeout, this, &CQxView::showTip);
    m_tipDelayTimer.setSingleShot(true);
    m_tipDelayTimer.setInterval(1000);
    connect(&m_tipDelayTimer, &QTimer::timeout, this, [this] {
        m_tipDue = true;
        displayTip();
    });
    m_clickTimer.setSingleShot(true);
    connect(&m_clickTimer, &QTimer::timeout, this, [this] { endDrawing(); });
    layout(-1);
    updateRulers();
}

CQxView::~CQxView() {
    m_document->removeObserver(this);
}

// ---- layout ----------------------------------------------------------------------------------

int CQxView::widestEntry() const {
    const int cell = settings().pointSize;
    int widest = 0;
    for (size_t i = 0; i < list().size(); ++i)
        widest = std::max(widest, list().at(i).width() * (cell + 1) - 1);
    return widest;
}

void CQxView::layout(long from) {
    m_layoutRunning = true;
    m_pendingLayout = LONG_MAX;
    const int cell = settings().pointSize;
    const int widest = widestEntry();
    const int clientWidth = viewport()->width();
    const int layoutWidth = std::max(clientWidth, widest);

    if (from >= long(list().size()))
        from = long(list().size()) - 1;
    int x = 0, y = 0, rowHeight = 0;
    size_t start = 0;
    if (layoutWidth != m_layoutWidth || from < 0) {
        m_layoutWidth = layoutWidth;
        m_rowIndex.clear();
    } else {
        // Continue after entry `from`: entries before it keep their places, and so do the
        // row-index marks up to it.
        const QRect r = m_states[&list().at(size_t(from))].rect;
        x = r.right() + 2;
        y = r.top();
        for (long i = from; i >= 0; --i) {
            const QRect ri = m_states[&list().at(size_t(i))].rect;
            if (ri.top() != y)
                break;
            rowHeight = std::max(rowHeight, ri.height());
        }
        start = size_t(from) + 1;
        m_rowIndex.resize(std::min(m_rowIndex.size(), size_t(from) / kRowIndexStep + 1));
    }

    ++m_layoutsRun;
    m_lastLayoutStart = start;
    const QRect visible(horizontalScrollBar()->value(), verticalScrollBar()->value(),
                        viewport()->width(), viewport()->height());
    for (size_t i = start; i < list().size(); ++i) {
        const CGlyphEntry& e = list().at(i);
        const int ew = e.width() * (cell + 1) - 1;
        const int eh = e.height() * (cell + 1) - 1;
        if (x > 0 && x + ew > layoutWidth) {
            y += rowHeight + 1;
            x = 0;
            rowHeight = eh;
        } else {
            rowHeight = std::max(rowHeight, eh);
        }
        CEntryState& s = m_states[&e];
        QRect rect(x, y, ew, eh);
        if (rect != s.rect && rect.intersects(visible))
            viewport()->update();
        s.rect = rect;
        if (i % kRowIndexStep == 0) {
            if (m_rowIndex.size() <= i / kRowIndexStep)
                m_rowIndex.resize(i / kRowIndexStep + 1);
            m_rowIndex[i / kRowIndexStep] = y + eh;
        }
        x += e.width() * (cell + 1);
    }
    m_totalHeight = list().empty() ? 0 : y + rowHeight;
    updateScrollBars(layoutWidth, m_totalHeight);
    m_lastClientWidth = clientWidth;
    m_layoutRunning = false;
    if (!m_tipText.isEmpty())
        showTip();
    viewport()->update();
    setPointer(m_pointer);
}

void CQxView::updateScrollBars(int totalWidth, int totalHeight) {
    const int cell = settings().pointSize;
    QScrollBar* v = verticalScrollBar();
    QScrollBar* h = horizontalScrollBar();
    const QSize client = viewport()->size();
    if (totalHeight <= client.height()) {
        v->setRange(0, 0);
        v->setEnabled(false);
    } else {
        v->setEnabled(true);
        v->setRange(0, totalHeight - client.height());
        v->setPageStep(client.height() * 3 / 4);
        v->setSingleStep(std::max(client.height() / 4, cell + 1));
    }
    h->setRange(0, std::max(0, totalWidth - client.width()));
    h->setPageStep(client.width());
    // The horizontal line is the whole client width: Left/Right turn over a page of columns.
    h->setSingleStep(std::max(client.width(), 1));
}

void CQxView::requestLayout(long from) {
    m_pendingLayout = std::min(m_pendingLayout, from);
    if (m_layoutPosted)
        return;
    m_layoutPosted = true;
    QMetaObject::invokeMethod(
        this, [this] { flushLayout(); }, Qt::QueuedConnection);
}

void CQxView::flushLayout() {
    m_layoutPosted = false;
    if (m_pendingLayout != LONG_MAX)
        layout(m_pendingLayout);
}

QRect CQxView::entryRect(size_t i) const {
    auto it = m_states.find(&list().at(i));
    return it == m_states.end() ? QRect() : it->second.rect;
}

size_t CQxView::firstIndexAtOrBelow(int top) const {
    // The entry after the last indexed entry whose bottom edge is at or above `top`.
    size_t start = 0;
    for (size_t k = 0; k < m_rowIndex.size(); ++k) {
        if (m_rowIndex[k] > top)
            break;
        start = k * kRowIndexStep + 1;
    }
    return std::min(start, list().size());
}

CQxView::CDotRef CQxView::dotAt(QPoint viewportPos) const {
    const long i = hitTest(viewportPos);
    if (i < 0)
        return {};
    const CGlyphEntry& e = list().at(size_t(i));
    const QRect& r = m_states.at(&e).rect;
    const int step = settings().pointSize + 1;
    const QPoint local = viewportPos +
                         QPoint(horizontalScrollBar()->value(), verticalScrollBar()->value()) -
                         r.topLeft();
    return {i, std::min(local.y() / step, e.height() - 1),
            std::min(local.x() / step, e.width() - 1)};
}

long CQxView::hitTest(QPoint viewportPos) const {
    const QPoint p =
        viewportPos + QPoint(horizontalScrollBar()->value(), verticalScrollBar()->value());
    for (size_t i = firstIndexAtOrBelow(verticalScrollBar()->value()); i < list().size(); ++i) {
        const QRect& r = m_states.at(&list().at(i)).rect;
        if (p.y() < r.top())
            break;
        if (r.contains(p))
            return long(i);
    }
    return -1;
}

void CQxView::resizeEvent(QResizeEvent* event) {
    QAbstractScrollArea::resizeEvent(event);
    const int width = viewport()->width();
    updateRulers();
    if (width != m_lastClientWidth && !m_layoutRunning) {
        const int widest = widestEntry();
        if (widest < m_lastClientWidth || widest < width)
            layout(-1);
        else
            updateScrollBars(m_layoutWidth, m_totalHeight);
    }
    m_lastClientWidth = width;
}

// ---- painting --------------------------------------------------------------------------------

namespace {

// The colour table of a dot picture: 0 dark, 1 fully lit, 2 the grid, then the levels between
// dark and lit (grey entries), each blended from the scheme's two colours.
constexpr int kGridIndex = 2;
constexpr int kFirstGreyIndex = 3;
constexpr int kGreyIndices = 256 - kFirstGreyIndex;

// The picture index of a level of a matrix whose highest level is `top`.
uchar levelIndex(unsigned level, unsigned top) {
    if (level == 0)
        return 0;
    if (level >= top)
        return 1;
    const unsigned between = top - 1; // levels 1 … top − 1
    return uchar(kFirstGreyIndex + (between <= unsigned(kGreyIndices)
                                        ? level - 1
                                        : (level - 1) * (kGreyIndices - 1) / (between - 1)));
}

QRgb blend(QRgb from, QRgb to, int k, int n) {
    auto mix = [&](int a, int b) { return a + (b - a) * k / n; };
    return qRgb(mix(qRed(from), qRed(to)), mix(qGreen(from), qGreen(to)),
                mix(qBlue(from), qBlue(to)));
}

} // namespace

void CQxView::applyColors(QImage& picture, bool selected) const {
    const int scheme = std::clamp(settings().color, 0, 6);
    QRgb lit = kLit[scheme], unlit = kUnlit[scheme];
    if (selected) {
        lit = brighterLit(lit);
        unlit = brighterUnlit(unlit);
    }
    if (picture.color(0) == unlit && picture.color(1) == lit)
        return;
    picture.setColor(0, unlit);
    picture.setColor(1, lit);
    // A grey picture's levels: its colour count says how many it has.
    const int greys = picture.colorCount() - kFirstGreyIndex;
    for (int i = 0; i < greys; ++i)
        picture.setColor(kFirstGreyIndex + i, blend(unlit, lit, i + 1, greys + 1));
}

const QImage& CQxView::picture(CGlyphEntry& e, CEntryState& s) {
    s.lastUse = ++m_useClock;
    if (!s.picture.isNull())
        return s.picture;
    const int cell = settings().pointSize;
    const CDotMatrix& m = e.matrix();
    QImage img(m.width() * (cell + 1) - 1, m.height() * (cell + 1) - 1, QImage::Format_Indexed8);
    const unsigned top = m.maxLevel();
    const int greys = m.grey() ? std::min<int>(int(top) - 1, kGreyIndices) : 0;
    img.setColorCount(kFirstGreyIndex + greys);
    img.setColor(kGridIndex, qRgb(0, 0, 0));
    img.fill(kGridIndex);
    for (int r = 0; r < m.height(); ++r) {
        const uint8_t* row = m.row(r);
        for (int i = 0; i < cell; ++i) {
            const int run = dotRun(cell, i);
            uchar* line = img.scanLine(r * (cell + 1) + i);
            for (int c = 0; c < m.width(); ++c)
                std::fill_n(line + c * (cell + 1) + (cell - run) / 2, run, levelIndex(row[c], top));
        }
    }
    s.picture = std::move(img);
    m_pictureBytes += size_t(s.picture.sizeInBytes());
    return s.picture;
}

void CQxView::dropPicture(CEntryState& s) {
    if (s.picture.isNull())
        return;
    m_pictureBytes -= size_t(s.picture.sizeInBytes());
    s.picture = QImage();
}

void CQxView::trimPictureCache() {
    if (m_pictureBytes <= kPictureBudget)
        return;
    // Drop the least recently drawn pictures until three quarters of the budget remain; what
    // is on screen was drawn last and stays.
    std::vector<std::pair<uint64_t, CEntryState*>> held;
    for (auto& [entry, s] : m_states)
        if (!s.picture.isNull())
            held.emplace_back(s.lastUse, &s);
    std::sort(held.begin(), held.end(),
              [](const auto& a, const auto& b) { return a.first < b.first; });
    for (auto& [use, s] : held) {
        if (m_pictureBytes <= kPictureBudget / 4 * 3)
            break;
        dropPicture(*s);
    }
}

void CQxView::drawEntry(QPainter& p, CGlyphEntry& e) {
    CEntryState& s = state(e);
    if (s.renderFailed)
        return;
    if (!e.hasDots()) {
        if (!e.render()) {
            s.renderFailed = true;
            return;
        }
    }
    if (e.width() != e.matrix().width() || e.height() != e.matrix().height())
        return; // laid out at another size: the next layout places it
    QImage& img = const_cast<QImage&>(picture(e, s));
    applyColors(img, e.selected());
    p.drawImage(s.rect.topLeft(), img);
    // A thin red edge on each side where the render cut ink off.
    const uint8_t lost = e.inkLoss().sides();
    if (lost) {
        const QRect& r = s.rect;
        const int t = std::clamp(settings().pointSize / 3, 2, 3);
        const QColor red(220, 0, 0);
        if (lost & kInkTop)
            p.fillRect(QRect(r.left(), r.top(), r.width(), t), red);
        if (lost & kInkBottom)
            p.fillRect(QRect(r.left(), r.bottom() + 1 - t, r.width(), t), red);
        if (lost & kInkLeft)
            p.fillRect(QRect(r.left(), r.top(), t, r.height()), red);
        if (lost & kInkRight)
            p.fillRect(QRect(r.right() + 1 - t, r.top(), t, r.height()), red);
    }
}

QString CQxView::emptyHint() {
    return tr("还没有字模。\n\n按 Insert 添加单写字符，Shift+Insert 添加连写文字，Ctrl+Insert "
              "添加图片；\n在“设置 > 字模字体”(Ctrl+F) 中选择字体与点阵大小。\n\n"
              "方向键移动光标，空格键选中字模。");
}

QString CQxView::lostInkText(const CGlyphEntry& e) {
    const uint8_t lost = e.inkLoss().sides();
    if (!lost)
        return {};
    QStringList sides;
    if (lost & kInkTop)
        sides << tr("上边");
    if (lost & kInkBottom)
        sides << tr("下边");
    if (lost & kInkLeft)
        sides << tr("左边");
    if (lost & kInkRight)
        sides << tr("右边");
    return tr("字形超出字模，%1的点被截去").arg(sides.join(tr("、")));
}

void CQxView::paintArea(QPainter& p, const QRect& visible) {
    p.fillRect(visible, QApplication::palette().color(QPalette::ToolTipBase));
    if (list().empty()) {
        // A first window says how to begin.
        p.setPen(QApplication::palette().color(QPalette::ToolTipText));
        p.drawText(QRect(visible.topLeft(), viewport()->size()).adjusted(20, 20, -20, -20),
                   Qt::AlignCenter | Qt::TextWordWrap, emptyHint());
        return;
    }
    if (!validCellSize(settings().pointSize))
        return;
    for (size_t i = firstIndexAtOrBelow(visible.top()); i < list().size(); ++i) {
        CGlyphEntry& e = list().at(i);
        const QRect& r = m_states[&e].rect;
        if (r.top() >= visible.bottom() + 1)
            break;
        if (r.bottom() >= visible.top() && r.intersects(visible))
            drawEntry(p, e);
    }
    // The keyboard cursor: a dashed amber frame along the inside of its entry while the view
    // has the focus (amber stands out on every dot colour and differs from the red ink mark).
    // (Focus within the window, not hasFocus(): a window that no manager activated still takes
    // the keys.)
    if (window()->focusWidget() == this && m_cursor >= 0 && size_t(m_cursor) < list().size()) {
        const QRect r = m_states[&list().at(size_t(m_cursor))].rect;
        if (r.intersects(visible)) {
            p.save();
            p.setPen(QPen(QColor(255, 190, 0), 2, Qt::DashLine));
            p.setBrush(Qt::NoBrush);
            p.drawRect(QRectF(r).adjusted(1, 1, -1, -1));
            p.restore();
        }
    }
    trimPictureCache();
}

void CQxView::paintEvent(QPaintEvent*) {
    QPainter p(viewport());
    const QPoint origin(horizontalScrollBar()->value(), verticalScrollBar()->value());
    p.translate(-origin);
    paintArea(p, QRect(origin, viewport()->size()));
}

void CQxView::updateEntry(const CGlyphEntry& e) {
    auto it = m_states.find(&e);
    if (it == m_states.end())
        return;
    viewport()->update(
        it->second.rect.translated(-horizontalScrollBar()->value(), -verticalScrollBar()->value()));
}

void CQxView::scrollContentsBy(int, int) {
    viewport()->update();
    setPointer(m_pointer);
    for (QWidget* ruler : {m_topRuler, m_leftRuler})
        if (ruler)
            ruler->update();
    if (!m_tipText.isEmpty())
        showTip();
}

// ---- list changes ----------------------------------------------------------------------------

void CQxView::entriesInserted(size_t first, size_t) {
    requestLayout(long(first) - 1);
    emit stateChanged();
}

void CQxView::entriesRemoved(size_t lowest) {
    std::unordered_set<const CGlyphEntry*> present;
    for (size_t i = 0; i < list().size(); ++i)
        present.insert(&list().at(i));
    for (auto it = m_states.begin(); it != m_states.end();) {
        if (!present.count(it->first)) {
            dropPicture(it->second);
            if (m_target == it->first)
                endDrawing();
            it = m_states.erase(it);
        } else {
            ++it;
        }
    }
    m_renderCursor = 0;
    if (m_cursor >= long(list().size()))
        m_cursor = long(list().size()) - 1;
    m_anchor = -1;
    requestLayout(long(lowest) - 1);
    emit stateChanged();
}

void CQxView::entryResized(CGlyphEntry& entry) {
    dropPicture(state(entry));
    auto i = list().indexOf(entry);
    if (i)
        requestLayout(long(*i) - 1);
}

void CQxView::dotsChanged(CGlyphEntry& entry) {
    if (m_drawingDot)
        return;
    CEntryState& s = state(entry);
    dropPicture(s);
    s.renderFailed = false;
    updateEntry(entry);
}

CQxView::CShown CQxView::shownSettings() const {
    return {settings().pointSize, settings().color, settings().mouseDraw != 0};
}

void CQxView::settingsChanged() {
    if (!validCellSize(settings().pointSize))
        m_document->settings().pointSize = m_shown.cell;
    const CShown now = shownSettings();
    const CShown was = std::exchange(m_shown, now);
    if (now.mouseEdit != was.mouseEdit) {
        m_document->entries().setMouseEdit(now.mouseEdit);
        if (!now.mouseEdit)
            endDrawing();
    }
    if (now.cell != was.cell) {
        for (auto& [entry, s] : m_states)
            dropPicture(s);
        updateRulers();
        layout(-1);
    } else if (now.color != was.color) {
        viewport()->update(); // pictures take the new colours when drawn
    }
}

void CQxView::entriesChanged(size_t first, size_t last) {
    for (size_t i = first; i <= last && i < list().size(); ++i) {
        auto it = m_states.find(&list().at(i));
        if (it == m_states.end())
            continue;
        dropPicture(it->second);
        it->second.renderFailed = false;
    }
    // Places move only when a size changed; the list then tells entryResized() of the first
    // entry that did, and the layout runs again from there.
    viewport()->update();
    emit stateChanged();
}

// ---- commands --------------------------------------------------------------------------------

CFontSettings CQxView::fittedFont(CFontSettings font, std::u16string_view text) const {
    // A bitmap font cannot be scaled to fit the cell: the characters drawn together move by
    // the offset that keeps their ink inside it.
    if (auto* r = dynamic_cast<CRasteriser*>(&m_document->rasteriser()); r && font.fitCell)
        if (Result<int> offset = r->fitOffset(font, text); offset)
            font.offset += *offset;
    return font;
}

size_t CQxView::addCharacters(const std::u16string& text, const char* label) {
    CAddOptions add;
    add.filterDuplicates = settings().filterRedup;
    add.filterBlanks = settings().filterSpace;
    add.halfWidth = settings().halfWidth;
    add.mouseEdit = settings().mouseDraw;
    const long before = long(list().size()) - 1;
    size_t added = m_document->addCharacters(text, fittedFont(settings().font(), text), add, label);
    if (added) {
        layout(before);
        scrollToEnd();
    }
    return added;
}

void CQxView::addEntry(std::unique_ptr<CGlyphEntry> entry, const char* label) {
    const long before = long(list().size()) - 1;
    entry->setMouseEdit(settings().mouseDraw);
    if (!entry->render())
        m_states[entry.get()].renderFailed = true;
    const EStepKind kind = entry->isPicture() ? EStepKind::AddPicture : EStepKind::AddString;
    m_document->append(std::move(entry), kind, label);
    layout(before);
    scrollToEnd();
}

void CQxView::scrollToEnd() {
    verticalScrollBar()->setValue(verticalScrollBar()->maximum());
}

void CQxView::editSelected(EMatrixEdit edit, const char* label) {
    m_document->editSelected(edit, label);
    flushLayout();
    viewport()->update();
    emit stateChanged();
}

void CQxView::setCellSize(int cell) {
    if (!validCellSize(cell) || cell == settings().pointSize)
        return;
    m_document->changeSettings([&](CSettings& s) { s.pointSize = cell; });
}

void CQxView::zoomAt(QPoint viewportPos, int steps) {
    int cell = settings().pointSize;
    for (int dir = steps > 0 ? 1 : -1; steps != 0; steps -= dir) {
        int next = cell + dir;
        while (next >= 1 && next <= 20 && !validCellSize(next))
            next += dir;
        if (!validCellSize(next))
            break;
        cell = next;
    }
    const CDotRef dot = dotAt(viewportPos);
    // The rulers that come or go with the size move the viewport: the pointer stays where it
    // is on the screen.
    const QPoint global = viewport()->mapToGlobal(viewportPos);
    setCellSize(cell);
    viewportPos = viewport()->mapFromGlobal(global);
    if (dot.entry < 0 || size_t(dot.entry) >= list().size())
        return;
    // The dot's centre goes back under the pointer.
    const QRect r = m_states[&list().at(size_t(dot.entry))].rect;
    const QPoint centre(r.left() + dot.col * (cell + 1) + cell / 2,
                        r.top() + dot.row * (cell + 1) + cell / 2);
    horizontalScrollBar()->setValue(centre.x() - viewportPos.x());
    verticalScrollBar()->setValue(centre.y() - viewportPos.y());
    setPointer(viewportPos);
}

void CQxView::wheelEvent(QWheelEvent* event) {
    if (!(event->modifiers() & Qt::ControlModifier)) {
        m_wheelRest = 0;
        QAbstractScrollArea::wheelEvent(event);
        return;
    }
    // A touchpad sends small angles: they add up to whole steps of 120 (one notch).
    m_wheelRest += event->angleDelta().y();
    const int steps = m_wheelRest / 120;
    m_wheelRest -= steps * 120;
    if (steps != 0)
        zoomAt(event->position().toPoint(), steps);
    event->accept();
}

bool CQxView::rulersShown() const {
    return m_topRuler && !m_topRuler->isHidden();
}

long CQxView::rulerEntry() const {
    if (list().empty())
        return -1;
    if (m_pointerDot.entry >= 0 && size_t(m_pointerDot.entry) < list().size())
        return m_pointerDot.entry;
    if (m_cursor >= 0 && size_t(m_cursor) < list().size())
        return m_cursor;
    return long(std::min(firstIndexAtOrBelow(verticalScrollBar()->value()), list().size() - 1));
}

void CQxView::updateRulers() {
    const bool show = validCellSize(settings().pointSize) && settings().pointSize >= kRulerCellSize;
    if (show && !m_topRuler) {
        m_topRuler = new CDotRuler(this, Qt::Horizontal);
        m_leftRuler = new CDotRuler(this, Qt::Vertical);
        m_topRuler->setObjectName("topRuler");
        m_leftRuler->setObjectName("leftRuler");
        QFont small = font();
        small.setPointSizeF(small.pointSizeF() * 0.85);
        m_topRuler->setFont(small);
        m_leftRuler->setFont(small);
    }
    if (!m_topRuler)
        return;
    const QFontMetrics fm(m_topRuler->font());
    const int top = show ? fm.height() + 4 : 0;
    const int left = show ? fm.horizontalAdvance("0000") + 6 : 0;
    const QMargins margins(left, top, 0, 0);
    if (viewportMargins() != margins)
        setViewportMargins(margins);
    m_topRuler->setVisible(show);
    m_leftRuler->setVisible(show);
    if (!show)
        return;
    const QRect v = viewport()->geometry();
    m_topRuler->setGeometry(v.left() - left, v.top() - top, v.width() + left, top);
    m_leftRuler->setGeometry(v.left() - left, v.top(), left, v.height());
    m_topRuler->update();
    m_leftRuler->update();
}

void CQxView::paintRuler(QPainter& p, Qt::Orientation orientation, const QSize& size) {
    const QPalette& pal = palette();
    p.fillRect(QRect(QPoint(0, 0), size), pal.color(QPalette::Window));
    p.setPen(pal.color(QPalette::Mid));
    const bool across = orientation == Qt::Horizontal;
    if (across)
        p.drawLine(0, size.height() - 1, size.width(), size.height() - 1);
    else
        p.drawLine(size.width() - 1, 0, size.width() - 1, size.height());
    const long i = rulerEntry();
    if (i < 0)
        return;
    const CGlyphEntry& e = list().at(size_t(i));
    const QRect r = m_states[&e].rect;
    const int step = settings().pointSize + 1;
    const int dots = across ? e.width() : e.height();
    // The top ruler starts above the left ruler's strip: its 0 is the viewport's left edge.
    const int origin = across ? r.left() - horizontalScrollBar()->value() + viewportMargins().left()
                              : r.top() - verticalScrollBar()->value();
    if (across) // nothing over the corner above the left ruler
        p.setClipRect(QRect(viewportMargins().left(), 0, size.width(), size.height()));
    const int pointed =
        m_pointerDot.entry == i ? (across ? m_pointerDot.col : m_pointerDot.row) : -1;
    // Every dot gets a tick; numbers as often as they fit: every 1, 2, 5, 10, 20, 50 … dots.
    const QFontMetrics fm(p.font());
    const int need =
        across ? fm.horizontalAdvance(QString::number(std::max(dots - 1, 0))) + 4 : fm.height();
    int every = 1000;
    for (int n : {1, 2, 5, 10, 20, 50, 100, 200, 500})
        if (n * step >= need) {
            every = n;
            break;
        }
    const int length = across ? size.width() : size.height();
    const int first = std::max(0, (-origin) / step - 1);
    for (int k = first; k < dots; ++k) {
        const int at = origin + k * step;
        if (at > length)
            break;
        const QRect cellRect = across ? QRect(at, 0, step - 1, size.height() - 1)
                                      : QRect(0, at, size.width() - 1, step - 1);
        if (k == pointed)
            p.fillRect(cellRect, pal.color(QPalette::Highlight));
        p.setPen(k == pointed ? pal.color(QPalette::HighlightedText) : pal.color(QPalette::Mid));
        const int mid = at + (step - 1) / 2;
        if (across)
            p.drawLine(mid, size.height() - 4, mid, size.height() - 2);
        else
            p.drawLine(size.width() - 4, mid, size.width() - 2, mid);
        if (k % every != 0 && k != pointed)
            continue;
        p.setPen(k == pointed ? pal.color(QPalette::HighlightedText)
                              : pal.color(QPalette::WindowText));
        const QString number = QString::number(k);
        if (across)
            p.drawText(QRect(mid - 40, 0, 80, size.height() - 3), Qt::AlignCenter, number);
        else
            p.drawText(QRect(0, mid - fm.height(), size.width() - 5, 2 * fm.height()),
                       Qt::AlignRight | Qt::AlignVCenter, number);
    }
}

void CQxView::setPointer(QPoint viewportPos) {
    m_pointer = viewportPos;
    const CDotRef dot = viewportPos.x() < 0 ? CDotRef{} : dotAt(viewportPos);
    if (dot == m_pointerDot)
        return;
    m_pointerDot = dot;
    for (QWidget* ruler : {m_topRuler, m_leftRuler})
        if (ruler)
            ruler->update();
    emit pointerMoved();
}

void CQxView::setColorScheme(int color) {
    if (color < 0 || color > 6 || color == settings().color)
        return;
    m_document->changeSettings([&](CSettings& s) { s.color = color; });
}

void CQxView::setMouseEdit(bool on) {
    m_document->changeSettings([&](CSettings& s) { s.mouseDraw = on; });
}

void CQxView::selectAll() {
    list().selectAll();
    viewport()->update();
    emit stateChanged();
}

void CQxView::clearSelection() {
    list().clearSelection();
    viewport()->update();
    emit stateChanged();
}

void CQxView::invertSelection() {
    list().invertSelection();
    viewport()->update();
    emit stateChanged();
}

void CQxView::deleteSelected(const char* label) {
    if (m_document->deleteSelected(label))
        flushLayout();
}

void CQxView::deleteAll(const char* label) {
    m_document->deleteAll(label);
    flushLayout();
}

// ---- background rendering --------------------------------------------------------------------

int CQxView::renderPending(int budgetMs) {
    if (m_rendering)
        return 0;
    m_rendering = true;
    QElapsedTimer clock;
    clock.start();
    int rendered = 0;
    // The timer yields to the user: a tick renders for a few milliseconds at most, then
    // returns to the event loop, and the next tick goes on from the cursor.
    if (m_renderCursor >= list().size())
        m_renderCursor = 0;
    while (m_renderCursor < list().size() && clock.elapsed() < budgetMs) {
        CGlyphEntry& e = list().at(m_renderCursor++);
        if (e.hasDots())
            continue;
        CEntryState& s = state(e);
        if (s.renderFailed)
            continue;
        if (!e.render())
            s.renderFailed = true;
        ++rendered;
    }
    m_rendering = false;
    return rendered;
}

// ---- mouse -----------------------------------------------------------------------------------

void CQxView::mouseDoubleClickEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton)
        return;
    const long i = hitTest(event->position().toPoint());
    if (i < 0)
        return;
    // The click before this one lit or cleared a dot of this entry: it is taken back.
    if (m_target && m_target == &list().at(size_t(i)) && m_clickDot.changes == 1) {
        m_clickTimer.stop();
        m_target->setDotLevel(m_clickDot.row, m_clickDot.col, m_clickDot.before);
        m_clickDot.changes = 0;
    }
    endDrawing();
    m_cursor = i;
    ESelect mode = ESelect::Replace;
    if (event->modifiers() & Qt::ShiftModifier)
        mode = ESelect::Clear;
    else if (event->modifiers() & Qt::ControlModifier)
        mode = ESelect::Add;
    list().select(size_t(i), mode);
    viewport()->update();
    emit stateChanged();
}

void CQxView::mousePressEvent(QMouseEvent* event) {
    if ((event->button() != Qt::LeftButton && event->button() != Qt::RightButton) ||
        (event->modifiers() & Qt::ShiftModifier))
        return;
    const long i = hitTest(event->position().toPoint());
    CGlyphEntry* hit = i < 0 ? nullptr : &list().at(size_t(i));
    if (hit != m_target)
        endDrawing();
    else
        m_clickTimer.stop(); // the same stroke goes on
    if (i >= 0 && i != m_cursor) {
        updateCursorFrame();
        m_cursor = i;
        m_anchor = -1;
        updateCursorFrame();
    }
    if (hit && settings().mouseDraw && hit->selected() && hit != m_target) {
        m_target = hit;
        m_clickDot = {};
        m_document->beginStroke(size_t(i), m_strokeLabel);
    }
    if (!m_target)
        return;
    m_drawMode = event->button() == Qt::LeftButton ? 1 : 2;
    applyDraw(m_drawMode, event->position().toPoint() +
                              QPoint(horizontalScrollBar()->value(), verticalScrollBar()->value()));
    viewport()->grabMouse();
}

void CQxView::mouseMoveEvent(QMouseEvent* event) {
    const QPoint pos = event->position().toPoint();
    setPointer(pos);
    if (pos != m_lastMouse) {
        m_lastMouse = pos;
        m_tipText.clear();
        m_tipDue = false;
        QToolTip::hideText();
        m_tipTimer.start();
        m_tipDelayTimer.start();
    }
    if (!m_target || !(event->buttons() & (Qt::LeftButton | Qt::RightButton)))
        return;
    const QPoint p = pos + QPoint(horizontalScrollBar()->value(), verticalScrollBar()->value());
    if (state(*m_target).rect.contains(p))
        applyDraw(event->buttons() & Qt::LeftButton ? 1 : 2, p);
}

void CQxView::mouseReleaseEvent(QMouseEvent*) {
    // A stroke of one dot may be the first click of a double-click: it ends when the time for
    // a second click has passed, or with the next thing the user does.
    if (m_target && m_clickDot.changes == 1) {
        viewport()->releaseMouse();
        m_drawMode = 0;
        m_clickTimer.start(QApplication::doubleClickInterval());
        return;
    }
    endDrawing();
}

void CQxView::focusInEvent(QFocusEvent* event) {
    if (m_cursor < 0 && !list().empty())
        m_cursor = std::min(long(firstIndexAtOrBelow(verticalScrollBar()->value())),
                            long(list().size()) - 1);
    updateCursorFrame();
    QAbstractScrollArea::focusInEvent(event);
}

void CQxView::focusOutEvent(QFocusEvent* event) {
    endDrawing();
    dropTip();
    updateCursorFrame();
    QAbstractScrollArea::focusOutEvent(event);
}

void CQxView::leaveEvent(QEvent* event) {
    dropTip();
    setPointer({-1, -1});
    QAbstractScrollArea::leaveEvent(event);
}

void CQxView::dropTip() {
    m_tipTimer.stop();
    m_tipDelayTimer.stop();
    m_tipDue = false;
    m_tipText.clear();
    m_lastMouse = QPoint(-1, -1);
    QToolTip::hideText();
}

void CQxView::endDrawing() {
    m_clickTimer.stop();
    if (m_target) {
        viewport()->releaseMouse();
        m_document->endStroke();
    }
    m_target = nullptr;
    m_drawMode = 0;
}

void CQxView::applyDraw(int mode, QPoint layoutPos) {
    CGlyphEntry& e = *m_target;
    if (!e.mouseEdit() || !e.selected() || mode != m_drawMode || !e.ensureRendered())
        return;
    CEntryState& s = state(e);
    const int cell = settings().pointSize;
    const QPoint local = layoutPos - s.rect.topLeft();
    const int col = local.x() / (cell + 1), row = local.y() / (cell + 1);
    // The left button lights a dot (a grey entry's to the chosen level), the right one clears it.
    const CDotMatrix& m = e.matrix();
    const uint8_t level = mode != 1  ? 0
                          : m.grey() ? uint8_t(std::clamp<int>(m_drawLevel, 1, m.maxLevel()))
                                     : 1;
    const uint8_t before = m.contains(row, col) ? m.level(row, col) : 0;
    m_drawingDot = true;
    const bool changed = e.setDotLevel(row, col, level);
    m_drawingDot = false;
    if (!changed)
        return;
    if (m_clickDot.changes++ == 0)
        m_clickDot = {row, col, before, 1};
    // Only the changed cell is repainted, in the cached picture and on screen.
    if (!s.picture.isNull()) {
        const uchar index = levelIndex(level, m.maxLevel());
        for (int i = 0; i < cell; ++i) {
            const int run = dotRun(cell, i);
            uchar* line = s.picture.scanLine(row * (cell + 1) + i);
            std::fill_n(line + col * (cell + 1) + (cell - run) / 2, run, index);
        }
    }
    const QRect dot(s.rect.left() + col * (cell + 1), s.rect.top() + row * (cell + 1), cell, cell);
    viewport()->update(
        dot.translated(-horizontalScrollBar()->value(), -verticalScrollBar()->value()));
}

// ---- tip and keyboard ------------------------------------------------------------------------

bool CQxView::viewportEvent(QEvent* event) {
    // The hover tip is ours (on its timer); the framework's own tool-tip request is ignored.
    if (event->type() == QEvent::ToolTip)
        return true;
    return QAbstractScrollArea::viewportEvent(event);
}

void CQxView::showTip() {
    m_tipTimer.stop();
    const long i = m_lastMouse.x() < 0 ? -1 : hitTest(m_lastMouse);
    if (i < 0) {
        m_tipText.clear();
        QToolTip::hideText();
        return;
    }
    const CGlyphEntry& e = list().at(size_t(i));
    m_tipText = QString::fromStdString(entryTip(e, settings().useUnicode));
    // The warning goes right under the entry's first line.
    if (const QString lost = lostInkText(e); !lost.isEmpty()) {
        const qsizetype end = m_tipText.indexOf("\r\n");
        m_tipText.insert(end < 0 ? m_tipText.size() : end, "\r\n" + lost);
    }
    if (m_tipDue)
        displayTip();
}

void CQxView::displayTip() {
    // Only over the view of the active window: never over a menu or a dialog opened since.
    if (m_tipText.isEmpty() || !isActiveWindow() || QApplication::activePopupWidget() ||
        QApplication::activeModalWidget() || !viewport()->underMouse()) {
        QToolTip::hideText();
        return;
    }
    // Dark blue on the tip background; "pre" keeps the lines and the doubled spaces of the
    // usage text, and never wraps a long face name.
    QString text = m_tipText;
    text.replace("\r\n", "\n");
    const QString html =
        "<p style='white-space:pre; color:#000060'>" + text.toHtmlEscaped() + "</p>";
    QToolTip::showText(viewport()->mapToGlobal(m_lastMouse), html, viewport());
}

long CQxView::entryInNextRow(long from, int direction) const {
    if (from < 0 || size_t(from) >= list().size())
        return -1;
    const QRect here = m_states.at(&list().at(size_t(from))).rect;
    const int centre = here.center().x();
    long best = -1;
    int bestDistance = INT_MAX;
    int rowTop = INT_MIN;
    for (long i = from + direction; i >= 0 && size_t(i) < list().size(); i += direction) {
        const QRect r = m_states.at(&list().at(size_t(i))).rect;
        if (r.top() == here.top())
            continue;
        if (rowTop == INT_MIN)
            rowTop = r.top();
        else if (r.top() != rowTop)
            break; // past the adjacent row
        const int distance = std::abs(r.center().x() - centre);
        if (distance < bestDistance) {
            bestDistance = distance;
            best = i;
        }
    }
    return best;
}

void CQxView::setCursorEntry(long index) {
    if (index >= long(list().size()))
        index = long(list().size()) - 1;
    updateCursorFrame();
    const bool moved = m_cursor != index;
    m_cursor = index;
    updateCursorFrame();
    if (moved) {
        for (QWidget* ruler : {m_topRuler, m_leftRuler})
            if (ruler)
                ruler->update();
        emit pointerMoved();
    }
    if (m_cursor < 0)
        return;
    const QRect r = m_states[&list().at(size_t(m_cursor))].rect;
    QScrollBar* v = verticalScrollBar();
    QScrollBar* h = horizontalScrollBar();
    if (r.top() < v->value())
        v->setValue(r.top());
    else if (r.bottom() >= v->value() + viewport()->height())
        v->setValue(std::min(r.top(), r.bottom() + 1 - viewport()->height()));
    if (r.left() < h->value())
        h->setValue(r.left());
    else if (r.right() >= h->value() + viewport()->width())
        h->setValue(std::min(r.left(), r.right() + 1 - viewport()->width()));
}

void CQxView::updateCursorFrame() {
    if (m_cursor < 0 || size_t(m_cursor) >= list().size())
        return;
    auto it = m_states.find(&list().at(size_t(m_cursor)));
    if (it == m_states.end())
        return;
    viewport()->update(
        it->second.rect.adjusted(-1, -1, 1, 1)
            .translated(-horizontalScrollBar()->value(), -verticalScrollBar()->value()));
}

void CQxView::moveCursor(long to, bool extend) {
    if (to < 0 || size_t(to) >= list().size())
        return;
    const long from = m_cursor;
    setCursorEntry(to);
    if (!extend) {
        m_anchor = -1;
        return;
    }
    if (m_anchor < 0)
        m_anchor = from < 0 ? to : from;
    for (long i = std::min(m_anchor, to); i <= std::max(m_anchor, to); ++i)
        if (!list().at(size_t(i)).selected())
            list().select(size_t(i), ESelect::Add);
    viewport()->update();
    emit stateChanged();
}

void CQxView::keyPressEvent(QKeyEvent* event) {
    QScrollBar* v = verticalScrollBar();
    const bool vOn = v->isEnabled() && v->maximum() > 0;
    const Qt::KeyboardModifiers mods = event->modifiers() & ~Qt::KeypadModifier;
    const bool extend = mods == Qt::ShiftModifier;
    const long last = long(list().size()) - 1;
    if (last >= 0 && (mods == Qt::NoModifier || extend)) {
        const long at = m_cursor < 0 ? -1 : std::min(m_cursor, last);
        switch (event->key()) {
        case Qt::Key_Left:
            moveCursor(at < 0 ? 0 : std::max(0L, at - 1), extend);
            return;
        case Qt::Key_Right:
            moveCursor(at < 0 ? 0 : std::min(last, at + 1), extend);
            return;
        case Qt::Key_Up:
            moveCursor(at < 0 ? 0 : entryInNextRow(at, -1), extend);
            return;
        case Qt::Key_Down:
            moveCursor(at < 0 ? 0 : entryInNextRow(at, +1), extend);
            return;
        case Qt::Key_Home:
            moveCursor(0, extend);
            return;
        case Qt::Key_End:
            moveCursor(last, extend);
            return;
        case Qt::Key_Space:
            if (!extend) {
                const long i = at < 0 ? 0 : at;
                setCursorEntry(i);
                list().select(size_t(i),
                              list().at(size_t(i)).selected() ? ESelect::Clear : ESelect::Add);
                m_anchor = i;
                viewport()->update();
                emit stateChanged();
                return;
            }
            break;
        default:
            break;
        }
    }
    switch (event->key()) {
    case Qt::Key_PageUp:
        if (vOn)
            v->setValue(v->value() - v->pageStep());
        break;
    case Qt::Key_PageDown:
        if (vOn)
            v->setValue(v->value() + v->pageStep());
        break;
    case Qt::Key_Home:
        if (vOn)
            v->setValue(0);
        break;
    case Qt::Key_End:
        if (vOn)
            v->setValue(v->maximum());
        break;
    default:
        QAbstractScrollArea::keyPressEvent(event);
    }
}

} // namespace tgw

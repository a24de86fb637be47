#pragma once

#include "model/glyph_list.h"
#include "model/matrix_edits.h"
#include "model/settings.h"
#include "project/glyph_document.h"
#include "raster/rasteriser.h"

#include <QAbstractScrollArea>
#include <QImage>
#include <QTimer>

#include <cstdint>
#include <memory>
#include <string>
#include <unordered_map>
#include <vector>

namespace tgw {

// The magnified matrix view: every entry of a document's glyph list, dot by dot, laid out left
// to right in rows like words in a paragraph, drawn with the document's settings (cell size,
// colours). Shows the document it is given, which must outlive it, or else a document of its
// own that reads the profile and never writes it.
class CQxView : public QAbstractScrollArea, private IDocumentObserver {
    Q_OBJECT

public:
    // Only the layout's lower rows are indexed: every 77th entry's bottom edge.
    static constexpr size_t kRowIndexStep = 77;
    // Cached pictures are dropped, least recently drawn first, beyond this many bytes.
    static constexpr size_t kPictureBudget = 48u << 20;

    explicit CQxView(QWidget* parent = nullptr, CGlyphDocument* document = nullptr);
    ~CQxView() override;

    CGlyphDocument& document() { return *m_document; }
    CGlyphList& list() { return m_document->entries(); }
    const CGlyphList& list() const { return m_document->list(); }
    const CSettings& settings() const { return m_document->settings(); }
    IRasteriser& rasteriser() { return m_document->rasteriser(); }

    // Places the entries after index `from` (−1: all), sets the scroll sizes and repaints.
    void layout(long from);
    // Runs any layout that entry changes asked for; the event loop does this on its own.
    void flushLayout();
    // How many layouts have run, and the first entry the last one placed: a change lays out
    // only from the first entry whose size it changed (tests and benchmarks check this).
    size_t layoutsRun() const { return m_layoutsRun; }
    size_t lastLayoutStart() const { return m_lastLayoutStart; }
    // The place of entry `i` in layout coordinates.
    QRect entryRect(size_t i) const;
    // The entry under a point of the viewport, or −1.
    long hitTest(QPoint viewportPos) const;
    // A dot of an entry; entry −1 for none.
    struct CDotRef {
        long entry = -1;
        int row = 0, col = 0;
        bool operator==(const CDotRef&) const = default;
    };
    // The dot under a point of the viewport (the grid line after a dot counts as that dot).
    CDotRef dotAt(QPoint viewportPos) const;
    // The dot under the mouse pointer, as last seen over the viewport.
    CDotRef pointerDot() const { return m_pointerDot; }

    // The add-characters command: the text through the list's filters, then lay out from the
    // entry before the first new one and scroll to the end. Returns how many were added.
    // `font`, moved as a bitmap font with fit on must be to keep the ink of `text` in its
    // cells (unchanged otherwise).
    CFontSettings fittedFont(CFontSettings font, std::u16string_view text) const;
    // `label` names the history step (see CDocumentStep), as for the other commands here.
    size_t addCharacters(const std::u16string& text, const char* label = nullptr);

    // The add-string and add-picture commands: renders the entry, appends it with the
    // mouse-edit flag of the settings, lays out and scrolls to the end.
    void addEntry(std::unique_ptr<CGlyphEntry> entry, const char* label = nullptr);

    void editSelected(EMatrixEdit edit, const char* label = nullptr);
    void setCellSize(int cell);
    // Ctrl+wheel: the next larger (+1) or smaller (−1) cell size, keeping the dot under
    // `viewportPos` there as far as the scroll range allows.
    void zoomAt(QPoint viewportPos, int steps);
    // Rulers of dot numbers along the top and left of the view, from this cell size up.
    static constexpr int kRulerCellSize = 8;
    bool rulersShown() const;
    // The entry the rulers number: under the pointer, else the keyboard cursor's, else the
    // first one in sight; −1 for none.
    long rulerEntry() const;
    void setColorScheme(int color);
    // The level the left button draws on grey entries (kept within each entry's highest; one-bit
    // entries are drawn lit whatever it is).
    void setDrawLevel(int level) { m_drawLevel = level; }
    int drawLevel() const { return m_drawLevel; }
    void setMouseEdit(bool on);
    void selectAll();
    void clearSelection();
    void invertSelection();
    void deleteSelected(const char* label = nullptr);
    void deleteAll(const char* label = nullptr);
    // What the history calls a mouse stroke (see CDocumentStep).
    void setStrokeLabel(const char* label) { m_strokeLabel = label; }
    void scrollToEnd();
    // Ends a mouse stroke in progress, so that it becomes its own history step.
    void finishStroke() { endDrawing(); }

    // The keyboard cursor: the entry the arrows move over and Space selects; −1 for none.
    long cursorEntry() const { return m_cursor; }
    void setCursorEntry(long index);
    // Hides the hover tip and forgets the pointer's place (a menu or a dialog opens).
    void dropTip();

    // Renders entries without dots for at most `budgetMs`; returns how many it rendered.
    int renderPending(int budgetMs);
    // The text of the hover tip as last set (empty when there is no entry under the cursor).
    QString tipText() const { return m_tipText; }
    // The tip's line for an entry whose render cut ink off at its sides; empty when none.
    static QString lostInkText(const CGlyphEntry& entry);
    // What the empty view says of how to begin.
    static QString emptyHint();
    // Draws the part of the layout inside `visible` (layout coordinates) with `painter`.
    void paintArea(QPainter& painter, const QRect& visible);
    size_t cachedPictureBytes() const { return m_pictureBytes; }

    // The dot shape of a cell: the pixel-run length of line `line` of a cell `cell` wide.
    static int dotRun(int cell, int line);
    static bool validCellSize(int cell);

signals:
    // The selection, the list or a setting changed: the window refreshes its bars.
    void stateChanged();
    // The dot under the pointer or the keyboard cursor's entry changed.
    void pointerMoved();

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;
    void leaveEvent(QEvent* event) override;
    void scrollContentsBy(int dx, int dy) override;
    bool viewportEvent(QEvent* event) override;

private:
    struct CEntryState {
        QRect rect;
        QImage picture; // absent until first drawn
        uint64_t lastUse = 0;
        bool renderFailed = false;
    };

    // IGlyphListObserver
    void entriesInserted(size_t first, size_t count) override;
    void entriesRemoved(size_t lowest) override;
    void entryResized(CGlyphEntry& entry) override;
    void dotsChanged(CGlyphEntry& entry) override;
    void entriesChanged(size_t first, size_t last) override;
    // IDocumentObserver: the cell size, colours and mouse editing are followed.
    void settingsChanged() override;
    struct CShown {
        int cell = 0;
        int color = 0;
        bool mouseEdit = false;
    };
    CShown shownSettings() const;

    CEntryState& state(const CGlyphEntry& e) { return m_states[&e]; }
    void requestLayout(long from);
    void dropPicture(CEntryState& s);
    const QImage& picture(CGlyphEntry& e, CEntryState& s);
    void trimPictureCache();
    void applyColors(QImage& picture, bool selected) const;
    void drawEntry(QPainter& p, CGlyphEntry& e);
    void updateEntry(const CGlyphEntry& e);
    size_t firstIndexAtOrBelow(int top) const;
    int widestEntry() const;
    void updateScrollBars(int totalWidth, int totalHeight);
    void applyDraw(int mode, QPoint layoutPos);
    void endDrawing();
    // Sets the tip text for the entry under the cursor; shows it once the delay has passed.
    void showTip();
    void displayTip();
    // The entry above (−1) or below (+1) the cursor, nearest to it across; −1 when none.
    long entryInNextRow(long from, int direction) const;
    // Moves the cursor for an arrow key; with `extend` the entries passed are selected too.
    void moveCursor(long to, bool extend);
    void updateCursorFrame();
    // Shows, hides and places the rulers for the cell size.
    void updateRulers();
    void setPointer(QPoint viewportPos);
    friend class CDotRuler;
    void paintRuler(QPainter& p, Qt::Orientation orientation, const QSize& size);

    CShown m_shown; // the settings as last drawn
    const char* m_strokeLabel = nullptr;
    std::unique_ptr<CRasteriser> m_ownRasteriser; // only for a document of its own
    std::unique_ptr<CGlyphDocument> m_ownDocument;
    CGlyphDocument* m_document;
    std::unordered_map<const CGlyphEntry*, CEntryState> m_states;
    std::vector<int> m_rowIndex; // bottom edge of entries 0, 77, 154, …
    int m_layoutWidth = -1;
    int m_lastClientWidth = -1;
    int m_totalHeight = 0;
    bool m_layoutRunning = false;
    long m_pendingLayout = LONG_MAX;
    bool m_layoutPosted = false;
    size_t m_layoutsRun = 0;
    size_t m_lastLayoutStart = 0;
    size_t m_pictureBytes = 0;
    uint64_t m_useClock = 0;

    CGlyphEntry* m_target = nullptr; // the entry being drawn on
    int m_drawMode = 0;              // 1 set dots, 2 clear dots
    int m_drawLevel = 255;           // the level the left button draws on grey entries
    bool m_drawingDot = false;       // a dot change that repaints only its own cell

    size_t m_renderCursor = 0;
    bool m_rendering = false;
    QTimer m_renderTimer;
    QTimer m_tipTimer;      // 500 ms after a move: the tip text is looked up
    QTimer m_tipDelayTimer; // 1000 ms after a move: the tip appears
    bool m_tipDue = false;  // the cursor has rested long enough for the tip to show
    QPoint m_lastMouse{-1, -1};
    QString m_tipText;

    long m_cursor = -1; // the keyboard cursor's entry
    long m_anchor = -1; // where a Shift+arrow selection began
    // A click on a selected entry lights its dot at once; a double-click that follows takes
    // the dot back, so that double-clicking only selects.
    struct CClickDot {
        int row = 0, col = 0;
        uint8_t before = 0; // the dot's level before the click
        int changes = 0;    // dots this stroke changed
    } m_clickDot;
    QTimer m_clickTimer; // the stroke of a single click stays open for a double-click

    QPoint m_pointer{-1, -1}; // where the pointer is over the viewport; (−1, −1) away
    CDotRef m_pointerDot;
    int m_wheelRest = 0; // Ctrl+wheel angle not yet a whole step
    QWidget* m_topRuler = nullptr;
    QWidget* m_leftRuler = nullptr;
};

} // namespace tgw

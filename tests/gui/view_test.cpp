#include "view/qx_view.h"

#include <QFile>
#include <QLabel>
#include <QMouseEvent>
#include <QScrollBar>
#include <QTemporaryDir>
#include <QToolTip>
#include <QtTest>

using namespace tgw;

namespace {

// Mouse events with the buttons held stated explicitly, as a real drag delivers them.
void send(QWidget* w, QEvent::Type type, QPoint pos, Qt::MouseButton button, Qt::MouseButtons held,
          Qt::KeyboardModifiers mods = Qt::NoModifier) {
    QMouseEvent e(type, QPointF(pos), w->mapToGlobal(QPointF(pos)), button, held, mods);
    QApplication::sendEvent(w, &e);
}

} // namespace

class ViewTest : public QObject {
    Q_OBJECT

    std::unique_ptr<CQxView> view;

    // A view of 8 × 16 built-in glyphs at cell 4, 600 pixels wide.
    void make(const std::u16string& text, int cell = 4) {
        view = std::make_unique<CQxView>();
        CSettings& s = view->document().settings();
        s.fontType = kFontAscii8x16;
        s.width = 8;
        s.height = 16;
        s.filterSpace = 0;
        s.filterRedup = 0;
        view->setCellSize(cell);
        view->resize(600, 400);
        view->show();
        QVERIFY(QTest::qWaitForWindowExposed(view.get()));
        view->addCharacters(text);
        view->flushLayout();
    }
    QPoint centre(size_t i) {
        return view->entryRect(i).center() -
               QPoint(view->horizontalScrollBar()->value(), view->verticalScrollBar()->value());
    }
    // The viewport position of dot (row, col) of entry i.
    QPoint dot(size_t i, int row, int col) {
        int cell = view->document().settings().pointSize;
        return view->entryRect(i).topLeft() +
               QPoint(col * (cell + 1) + cell / 2, row * (cell + 1) + cell / 2) -
               QPoint(view->horizontalScrollBar()->value(), view->verticalScrollBar()->value());
    }

private slots:
    void init() { QFile::remove(qEnvironmentVariable("TESSAGLYPHWORKS_PROFILE")); }
    void cleanup() { view.reset(); }

    void layoutPlacesEntriesLikeWords() {
        make(u"ABC");
        // Two entries of width w at cell s are w × (s + 1) apart; each is w × (s + 1) − 1 wide.
        QCOMPARE(view->entryRect(0), QRect(0, 0, 39, 79));
        QCOMPARE(view->entryRect(1).topLeft(), QPoint(40, 0));
        QCOMPARE(view->entryRect(2).topLeft(), QPoint(80, 0));
        // A narrow window wraps: the next row starts one pixel below the tallest entry.
        view->resize(100, 400);
        view->layout(-1);
        QCOMPARE(view->entryRect(2).topLeft(), QPoint(0, 80));
        // Cell size 1: a dot is a pixel.
        view->setCellSize(1);
        QCOMPARE(view->entryRect(1), QRect(16, 0, 15, 31));
    }

    void doubleClickSelectsWithCtrlAndShift() {
        make(u"ABC");
        QTest::mouseDClick(view->viewport(), Qt::LeftButton, Qt::NoModifier, centre(0));
        QTest::mouseDClick(view->viewport(), Qt::LeftButton, Qt::ControlModifier, centre(2));
        QCOMPARE(view->list().selectedCount(), size_t(2));
        QVERIFY(view->list().at(0).selected() && view->list().at(2).selected());
        QTest::mouseDClick(view->viewport(), Qt::LeftButton, Qt::ShiftModifier, centre(1));
        QCOMPARE(view->list().selectedCount(), size_t(2)); // Shift on an unselected one: no change
        QTest::mouseDClick(view->viewport(), Qt::LeftButton, Qt::ShiftModifier, centre(0));
        QVERIFY(!view->list().at(0).selected());
        QTest::mouseDClick(view->viewport(), Qt::LeftButton, Qt::NoModifier, centre(1));
        QCOMPARE(view->list().selectedCount(), size_t(1));
        QVERIFY(view->list().at(1).selected());
    }

    void drawingNeedsMouseEditingAndASelectedEntry() {
        make(u" ");
        CGlyphEntry& e = view->list().at(0);
        QVERIFY(e.ensureRendered());
        QWidget* vp = view->viewport();
        // Mouse editing off: a click changes nothing.
        view->list().select(0, ESelect::Replace);
        send(vp, QEvent::MouseButtonPress, dot(0, 2, 3), Qt::LeftButton, Qt::LeftButton);
        send(vp, QEvent::MouseButtonRelease, dot(0, 2, 3), Qt::LeftButton, Qt::NoButton);
        QCOMPARE(e.litCount(), 0);
        // On, but the entry is not selected: nothing.
        view->setMouseEdit(true);
        view->list().clearSelection();
        send(vp, QEvent::MouseButtonPress, dot(0, 2, 3), Qt::LeftButton, Qt::LeftButton);
        send(vp, QEvent::MouseButtonRelease, dot(0, 2, 3), Qt::LeftButton, Qt::NoButton);
        QCOMPARE(e.litCount(), 0);
        // Shift-click never starts drawing.
        view->list().select(0, ESelect::Replace);
        send(vp, QEvent::MouseButtonPress, dot(0, 2, 3), Qt::LeftButton, Qt::LeftButton,
             Qt::ShiftModifier);
        send(vp, QEvent::MouseButtonRelease, dot(0, 2, 3), Qt::LeftButton, Qt::NoButton);
        QCOMPARE(e.litCount(), 0);
        // Selected and editing on: the left button sets, a drag goes on setting.
        view->document().clearHistory();
        send(vp, QEvent::MouseButtonPress, dot(0, 2, 3), Qt::LeftButton, Qt::LeftButton);
        send(vp, QEvent::MouseMove, dot(0, 3, 3), Qt::NoButton, Qt::LeftButton);
        send(vp, QEvent::MouseButtonRelease, dot(0, 3, 3), Qt::LeftButton, Qt::NoButton);
        QVERIFY(e.matrix().lit(2, 3) && e.matrix().lit(3, 3));
        QCOMPARE(e.litCount(), 2);
        QVERIFY(view->document().modified());
        // The right button clears.
        send(vp, QEvent::MouseButtonPress, dot(0, 2, 3), Qt::RightButton, Qt::RightButton);
        send(vp, QEvent::MouseButtonRelease, dot(0, 2, 3), Qt::RightButton, Qt::NoButton);
        QCOMPARE(e.litCount(), 1);
    }

    // A grey entry takes the chosen level (within its highest), the right button clears it,
    // the picture shows the level between the scheme's dark and lit colours, and a one-bit
    // entry is still drawn lit.
    void drawingAGreyEntrySetsTheChosenLevel() {
        make(u" ");
        view->document().settings().depth = 4;
        view->addCharacters(u"\u3000"); // another blank, now at 4 bits a dot
        view->flushLayout();
        CGlyphEntry& grey = view->list().at(1);
        QVERIFY(grey.ensureRendered());
        QCOMPARE(grey.matrix().depth(), 4);
        view->setMouseEdit(true);
        view->list().select(1, ESelect::Replace);
        QWidget* vp = view->viewport();
        view->setDrawLevel(6);
        send(vp, QEvent::MouseButtonPress, dot(1, 2, 3), Qt::LeftButton, Qt::LeftButton);
        send(vp, QEvent::MouseButtonRelease, dot(1, 2, 3), Qt::LeftButton, Qt::NoButton);
        QCOMPARE(int(grey.matrix().level(2, 3)), 6);
        view->setDrawLevel(200);
        send(vp, QEvent::MouseButtonPress, dot(1, 4, 4), Qt::LeftButton, Qt::LeftButton);
        send(vp, QEvent::MouseButtonRelease, dot(1, 4, 4), Qt::LeftButton, Qt::NoButton);
        QCOMPARE(int(grey.matrix().level(4, 4)), 15);
        view->repaint();
        const QImage shown = view->viewport()->grab().toImage();
        const QRgb mid = shown.pixel(dot(1, 2, 3)), full = shown.pixel(dot(1, 4, 4)),
                   dark = shown.pixel(dot(1, 0, 0));
        QVERIFY(mid != full && mid != dark);
        QVERIFY(qGreen(mid) + qBlue(mid) + qRed(mid) > qGreen(dark) + qBlue(dark) + qRed(dark));
        send(vp, QEvent::MouseButtonPress, dot(1, 2, 3), Qt::RightButton, Qt::RightButton);
        send(vp, QEvent::MouseButtonRelease, dot(1, 2, 3), Qt::RightButton, Qt::NoButton);
        QCOMPARE(int(grey.matrix().level(2, 3)), 0);
        // The one-bit entry beside it: lit is 1 whatever level is chosen.
        CGlyphEntry& one = view->list().at(0);
        QVERIFY(one.ensureRendered());
        view->list().select(0, ESelect::Replace);
        view->setDrawLevel(6);
        send(vp, QEvent::MouseButtonPress, dot(0, 1, 1), Qt::LeftButton, Qt::LeftButton);
        send(vp, QEvent::MouseButtonRelease, dot(0, 1, 1), Qt::LeftButton, Qt::NoButton);
        QCOMPARE(int(one.matrix().level(1, 1)), 1);
    }

    void draggingOutsideTheTargetChangesNothing() {
        make(u"  ");
        view->setMouseEdit(true);
        view->list().selectAll();
        CGlyphEntry& a = view->list().at(0);
        CGlyphEntry& b = view->list().at(1);
        QVERIFY(a.ensureRendered() && b.ensureRendered());
        QWidget* vp = view->viewport();
        send(vp, QEvent::MouseButtonPress, dot(0, 0, 0), Qt::LeftButton, Qt::LeftButton);
        send(vp, QEvent::MouseMove, dot(1, 0, 0), Qt::NoButton,
             Qt::LeftButton); // over the neighbour
        send(vp, QEvent::MouseMove, dot(0, 5, 5), Qt::NoButton, Qt::LeftButton); // back in
        send(vp, QEvent::MouseButtonRelease, dot(0, 5, 5), Qt::LeftButton, Qt::NoButton);
        QCOMPARE(b.litCount(), 0);
        QCOMPARE(a.litCount(), 2);
    }

    void rotationOfANonSquareEntryLaysOutAgain() {
        make(u"AB");
        view->list().select(0, ESelect::Replace);
        QCOMPARE(view->entryRect(1).left(), 40);
        view->editSelected(EMatrixEdit::Rotate90);
        view->flushLayout();
        QCOMPARE(view->list().at(0).width(), 16);
        QCOMPARE(view->entryRect(0).size(), QSize(79, 39));
        QCOMPARE(view->entryRect(1).left(), 80);
    }

    void trimmingAnEmptyMatrixDoesNothing() {
        make(u" ");
        view->list().selectAll();
        view->document().clearHistory();
        view->editSelected(EMatrixEdit::TrimLeft);
        QCOMPARE(view->list().at(0).width(), 8);
        QVERIFY(!view->document().modified());
    }

    void backgroundRenderingFillsEveryEntry() {
        std::u16string many;
        for (char16_t c = 33; c < 127; ++c)
            many.push_back(c);
        make(many);
        QVERIFY(QTest::qWaitFor([&] { return view->list().unrenderedCount() == 0; }, 5000));
    }

    void hoverTipDescribesTheEntry() {
        make(u"A");
        send(view->viewport(), QEvent::MouseMove, centre(0), Qt::NoButton, Qt::NoButton);
        QVERIFY(QTest::qWaitFor([&] { return !view->tipText().isEmpty(); }, 2000));
        QVERIFY(view->tipText().startsWith(
            "字符 [A][0x41][ASCII 8x16点阵字库][8x16]\r\n统计 [点数=128 亮点="));
        send(view->viewport(), QEvent::MouseMove, QPoint(590, 390), Qt::NoButton, Qt::NoButton);
        QTest::qWait(600);
        QVERIFY(view->tipText().isEmpty());
    }

    void inkCutOffIsMarkedInRedAndInTheTip() {
        view = std::make_unique<CQxView>();
        CSettings& s = view->document().settings();
        s.fontType = kFontTrueType;
        s.faceName = u"DejaVu Sans";
        s.width = 12;
        s.height = 12; // the descender of 'g' falls below the cell; 'A' fits
        view->setCellSize(4);
        view->resize(600, 400);
        view->show();
        QVERIFY(QTest::qWaitForWindowExposed(view.get()));
        view->addCharacters(u"gA");
        view->flushLayout();
        QVERIFY(QTest::qWaitFor([&] { return view->list().unrenderedCount() == 0; }, 5000));
        view->viewport()->repaint();
        const QImage shot = view->viewport()->grab().toImage();
        const auto red = [&](QPoint p) {
            const QColor c = shot.pixelColor(p);
            return c.red() > 200 && c.green() < 40 && c.blue() < 40;
        };
        const QRect g = view->entryRect(0), a = view->entryRect(1);
        QVERIFY(red(QPoint(g.center().x(), g.bottom())));
        QVERIFY(!red(QPoint(g.center().x(), g.top())));
        QVERIFY(!red(QPoint(a.center().x(), a.bottom())));

        send(view->viewport(), QEvent::MouseMove, centre(0), Qt::NoButton, Qt::NoButton);
        QVERIFY(QTest::qWaitFor([&] { return !view->tipText().isEmpty(); }, 2000));
        QVERIFY(view->tipText().contains("]\r\n字形超出字模，下边的点被截去\r\n统计 ["));
        send(view->viewport(), QEvent::MouseMove, centre(1), Qt::NoButton, Qt::NoButton);
        QVERIFY(QTest::qWaitFor([&] { return view->tipText().startsWith("字符 [A]"); }, 2000));
        QVERIFY(!view->tipText().contains("字形超出字模"));
    }

    void aBitmapFontFitsItsCellByMovingTheCharactersAdded() {
        // 12 pixels, ascent 12 and descent 3: the 12-row 'H' keeps a row below the baseline.
        const QString bdf = TGW_TEST_FONTS "/clip12.bdf";
        view = std::make_unique<CQxView>();
        CSettings& s = view->document().settings();
        s.fontType = kFontTrueType;
        s.fontFile = bdf.toStdString();
        s.width = 8;
        s.height = 12;
        s.filterRedup = 0;
        view->resize(600, 400);
        view->show();
        view->addCharacters(u"H");
        QVERIFY(view->list().at(0).ensureRendered());
        QCOMPARE(view->list().at(0).inkLoss().sides(), uint8_t(kInkBottom));
        s.fitCell = 1;
        view->addCharacters(u"HI");
        const CGlyphEntry& fitted = view->list().at(1);
        QVERIFY(const_cast<CGlyphEntry&>(fitted).ensureRendered());
        QVERIFY(!fitted.inkLoss().any());
        for (int c = 0; c < 8; ++c)
            QVERIFY(fitted.matrix().lit(11, c) && fitted.matrix().lit(0, 0));
    }

    void hoverTipIsDarkBlueAndWaitsItsDelay() {
        make(u"A");
        view->show();
        QElapsedTimer clock;
        clock.start();
        send(view->viewport(), QEvent::MouseMove, centre(0), Qt::NoButton, Qt::NoButton);
        QVERIFY(QTest::qWaitFor([] { return QToolTip::isVisible(); }, 5000));
        // The text is looked up after 500 ms, the tip appears after the full second (timers
        // may fire a little early, never half a second early).
        QVERIFY2(clock.elapsed() >= 900, qPrintable(QString::number(clock.elapsed())));
        QLabel* tip = nullptr;
        for (QWidget* w : QApplication::topLevelWidgets())
            if (w->inherits("QTipLabel") && w->isVisible())
                tip = qobject_cast<QLabel*>(w);
        QVERIFY(tip);
        QVERIFY2(tip->text().contains("color:#000060"), qPrintable(tip->text()));
        QVERIFY(tip->text().contains("[CTRL  键]"));
    }

    // The view changes the document's settings; the document keeps them in its profile.
    void cellSizeAndColourSurviveInTheProfile() {
        const std::string path = CProfileStore::defaultPath();
        CRasteriser r;
        {
            CGlyphDocument doc(r);
            QVERIFY(doc.loadProfile(path));
            CQxView shown(nullptr, &doc);
            shown.setCellSize(12);
            shown.setColorScheme(2);
            QVERIFY(doc.saveProfile());
        }
        CGlyphDocument again(r);
        QVERIFY(again.loadProfile(path));
        QCOMPARE(again.settings().pointSize, 12);
        QCOMPARE(again.settings().color, 2);
    }

    // A profile the document cannot read (here: over the size limit) gives the defaults and is
    // never written over, even after settings changed.
    void anUnreadableProfileIsNeverSaved() {
        const QString path = qEnvironmentVariable("TESSAGLYPHWORKS_PROFILE");
        QByteArray huge = "[Tessaglyphworks]\nPOINTSIZE=12\n[Mine]\nKEY=1\n";
        huge += QByteArray(int(kMaxProfileBytes), ';');
        {
            QFile f(path);
            QVERIFY(f.open(QIODevice::WriteOnly));
            f.write(huge);
        }
        {
            CRasteriser r;
            CGlyphDocument doc(r);
            QVERIFY(!doc.loadProfile(path.toStdString()));
            CQxView unreadable(nullptr, &doc);
            QCOMPARE(unreadable.settings().pointSize, 4);
            unreadable.setCellSize(12);
            QVERIFY(doc.saveProfile()); // nothing to do
        }
        QFile f(path);
        QVERIFY(f.open(QIODevice::ReadOnly));
        QVERIFY(f.readAll() == huge);
    }

    void keyboardScrollsAndPicturesStayBounded() {
        std::u16string many;
        for (char16_t c = 0x4E00; c < 0x4E00 + 3000; ++c)
            many.push_back(c);
        make(many, 20);
        view->document().settings().fontType = kFontGb2312_16;
        QScrollBar* v = view->verticalScrollBar();
        QVERIFY(v->isEnabled());
        QTest::keyClick(view.get(), Qt::Key_End);
        QCOMPARE(v->value(), v->maximum());
        QTest::keyClick(view.get(), Qt::Key_Home);
        QCOMPARE(v->value(), 0);
        QTest::keyClick(view.get(), Qt::Key_PageDown);
        QCOMPARE(v->value(), v->pageStep());
        // Page through the whole document: the picture cache stays within its budget.
        for (int y = 0; y <= v->maximum(); y += v->pageStep()) {
            v->setValue(y);
            view->viewport()->repaint();
        }
        QVERIFY(view->cachedPictureBytes() <= CQxView::kPictureBudget);
    }
};

QTEST_MAIN(ViewTest)
#include "view_test.moc"

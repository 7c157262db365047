// The slim bar as a user meets it over a long page: where its thumb stands at the top and at the
// end, how long it is, and that dragging the thumb, pressing the track and turning the wheel over
// it scroll the page.
#include <QScrollArea>
#include <QScrollBar>
#include <QWheelEvent>

#include "tests/ui/ViewTest.hpp"
#include "ui/look/Theme.hpp"
#include "ui/widgets/SlimScrollBar.hpp"

namespace velmora::testing {
namespace {

class SlimScrollBarTest : public ViewTest {
  protected:
    static constexpr QSize viewSize{200, 300};
    // The bar is 8 wide; its track keeps 2 from its ends and 1 from its sides.
    static constexpr int barWidth = 8;
    static constexpr int endMargin = 2;
    static constexpr int sideMargin = 1;
    static constexpr int shortestThumb = 24;

    QScrollArea area;

    // A page `height` tall in the area, which shows the slim bar over it.
    QScrollBar& showPage(int height) {
        auto* page = new QWidget;
        page->setFixedSize(viewSize.width(), height);
        area.setFrameShape(QFrame::NoFrame);
        area.setWidget(page);
        useSlimScrollBars(area);
        showOnPaper(area, viewSize);
        settle();
        QScrollBar* bar = shownScrollBar(area);
        EXPECT_NE(bar, area.verticalScrollBar());
        return *bar;
    }
    int scrolled() const { return area.verticalScrollBar()->value(); }

    // The rows of the bar's middle column that the thumb covers, as drawn: [first, last].
    std::pair<int, int> thumbRows(const QScrollBar& bar) {
        const QImage shot = screenshot(area, QStringLiteral("slim-bar"));
        const int x = bar.geometry().center().x();
        int first = -1;
        int last = -1;
        for (int y = bar.y(); y < bar.y() + bar.height(); ++y) {
            if (shot.pixelColor(x, y) != Theme::paper()) {
                first = first < 0 ? y - bar.y() : first;
                last = y - bar.y();
            }
        }
        return {first, last};
    }
    QPoint thumbCentre(const QScrollBar& bar) {
        const auto [first, last] = thumbRows(bar);
        return {barWidth / 2, (first + last) / 2};
    }
};

TEST_F(SlimScrollBarTest, TheThumbStandsInsideTheTrackAtTheTopAndTheEndAsLongAsThePagesShare) {
    QScrollBar& bar = showPage(3 * viewSize.height());
    EXPECT_EQ(bar.geometry(), QRect(viewSize.width() - barWidth, 0, barWidth, viewSize.height()))
        << "over the page's right edge, as tall as the view";
    const int track = viewSize.height() - 2 * endMargin;
    const auto [top, bottom] = thumbRows(bar);
    EXPECT_EQ(top, endMargin);
    EXPECT_EQ(bottom - top + 1, track / 3) << "a third of the track for a third of the page";

    // Only the thumb is drawn: the track beside and around it shows the page.
    const QImage shot = area.grab().toImage();
    for (const int x : {bar.x(), bar.x() + barWidth - 1}) {
        EXPECT_EQ(shot.pixelColor(x, bar.height() / 6), Theme::paper()) << x;
    }
    EXPECT_NE(shot.pixelColor(bar.x() + sideMargin, bar.height() / 6), Theme::paper());
    EXPECT_EQ(shot.pixelColor(bar.x() + barWidth / 2, bar.height() / 2), Theme::paper());

    area.verticalScrollBar()->setValue(area.verticalScrollBar()->maximum());
    const auto [endTop, endBottom] = thumbRows(bar);
    EXPECT_EQ(endBottom, viewSize.height() - 1 - endMargin);
    EXPECT_EQ(endBottom - endTop + 1, track / 3);
}

TEST_F(SlimScrollBarTest, AVeryLongPageStillGetsAThumbLongEnoughToGrab) {
    QScrollBar& bar = showPage(1000 * viewSize.height());
    const auto [top, bottom] = thumbRows(bar);
    EXPECT_EQ(top, endMargin);
    EXPECT_EQ(bottom - top + 1, shortestThumb);
}

TEST_F(SlimScrollBarTest, DraggingTheThumbPressingTheTrackAndTheWheelScrollThePage) {
    QScrollBar& bar = showPage(3 * viewSize.height());
    const int page = viewSize.height();

    // Pressed below the thumb: one page down; above it: back up.
    const QPoint below(barWidth / 2, bar.height() - endMargin - 1);
    QTest::mouseClick(&bar, Qt::LeftButton, {}, below);
    EXPECT_EQ(scrolled(), page);
    QTest::mouseClick(&bar, Qt::LeftButton, {}, QPoint(barWidth / 2, endMargin));
    EXPECT_EQ(scrolled(), 0);

    // The thumb dragged down by half the track's free room: half the way down the page.
    const int track = bar.height() - 2 * endMargin;
    const int room = track - track / 3;
    const QPoint grip = thumbCentre(bar);
    QTest::mousePress(&bar, Qt::LeftButton, {}, grip);
    QTest::mouseMove(&bar, grip + QPoint(0, room / 2));
    QTest::mouseRelease(&bar, Qt::LeftButton, {}, grip + QPoint(0, room / 2));
    EXPECT_NEAR(scrolled(), area.verticalScrollBar()->maximum() / 2, page / 100);
    const auto [top, bottom] = thumbRows(bar);
    EXPECT_EQ(top, endMargin + room / 2) << "the thumb stays under the pointer";

    // The wheel over the bar scrolls as over the page.
    area.verticalScrollBar()->setValue(0);
    const QPointF at(barWidth / 2.0, bar.height() / 2.0);
    QWheelEvent wheel(at, bar.mapToGlobal(at), QPoint(), QPoint(0, -120), Qt::NoButton,
                      Qt::NoModifier, Qt::NoScrollPhase, false);
    QApplication::sendEvent(&bar, &wheel);
    EXPECT_GT(scrolled(), 0);
}

}  // namespace
}  // namespace velmora::testing

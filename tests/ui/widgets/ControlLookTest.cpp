// How the small controls look and where they take clicks: the accent slider with its round knob,
// the time field's capsule, the stepper's arrows, and a strip that shows it scrolls.
#include <QAbstractButton>
#include <QPainter>
#include <QScrollBar>
#include <QSignalSpy>
#include <QStyleOptionSlider>

#include "tests/ui/ViewTest.hpp"
#include "ui/look/Fonts.hpp"
#include "ui/look/Theme.hpp"
#include "ui/widgets/DoubleSlider.hpp"
#include "ui/widgets/Stepper.hpp"
#include "ui/widgets/TimeField.hpp"
#include "ui/widgets/WheelStrip.hpp"

namespace velmora::testing {
namespace {

using ControlLook = ViewTest;

TEST_F(ControlLook, TheSliderIsAnAccentTrackUpToARoundWhiteKnobWithNoBoxAroundIt) {
    DoubleSlider slider(0, 100, 1);
    slider.setDoubleValue(50);
    showOnPaper(slider, QSize(240, 16));
    slider.clearFocus();
    const QImage shot = slider.grab().toImage();
    EXPECT_TRUE(shot.save(test::artefactPath(QStringLiteral("look-slider.png"))));
    QStyleOptionSlider option;
    option.initFrom(&slider);
    option.orientation = Qt::Horizontal;
    option.minimum = slider.minimum();
    option.maximum = slider.maximum();
    option.sliderPosition = slider.sliderPosition();
    option.sliderValue = slider.value();
    const QRect handle = slider.style()->subControlRect(QStyle::CC_Slider, &option,
                                                        QStyle::SC_SliderHandle, &slider);
    const int middle = slider.height() / 2;
    const int knob = handle.center().x();
    EXPECT_EQ(shot.pixelColor(knob, middle), Theme::card()) << "a white knob";
    EXPECT_EQ(shot.pixelColor(knob / 2, middle), Theme::accent()) << "accent up to the knob";
    const QColor beyond = shot.pixelColor((knob + slider.width()) / 2, middle);
    EXPECT_FALSE(test::near(beyond, Theme::accent(), 40)) << "not beyond it";
    EXPECT_LT(beyond.lightness(), Theme::paper().lightness()) << "but still a track";
    // Round, not a box: the knob's square corners are paper.
    EXPECT_EQ(shot.pixelColor(knob - 5, middle - 5), Theme::paper());
    // Nothing outlines the track: just above and below it is the paper.
    for (const int x : {knob / 2, (knob + slider.width()) / 2}) {
        EXPECT_EQ(shot.pixelColor(x, middle - 3), Theme::paper()) << x;
        EXPECT_EQ(shot.pixelColor(x, middle + 3), Theme::paper()) << x;
    }
}

TEST_F(ControlLook, TheTimeFieldIsACapsuleAsTallAsTheFormsPills) {
    QWidget page;
    auto* field = new TimeField(&page);
    field->setDesignFont(DesignFont::inter(12.5));
    field->move(10, 10);
    showOnPaper(page, QSize(200, 60));
    const qreal pillHeight = 2 * 7 + DesignFont::inter(12.5).lineSpacing();
    EXPECT_NEAR(field->height(), pillHeight, 1);
    const QImage shot = page.grab().toImage().copy(field->geometry());
    EXPECT_TRUE(shot.save(test::artefactPath(QStringLiteral("look-time-field.png"))));
    // A corner rounded by half the height leaves its corner square to what lies behind.
    EXPECT_EQ(shot.pixelColor(3, 3), Theme::paper());
    EXPECT_EQ(shot.pixelColor(shot.width() - 4, shot.height() - 4), Theme::paper());
    EXPECT_EQ(shot.pixelColor(shot.width() / 2, 2), Theme::card()) << "the middle is the field";
}

// On a screen scaled by one and a half the outline falls on half pixels: the editor inside the
// capsule, which reaches into the outline's last device row, must not paint over it, so the
// outline reads the same below the time as above it.
TEST_F(ControlLook, TheTimeFieldsOutlineRunsUnbrokenUnderItsTextOnAScaledScreen) {
    constexpr qreal kScale = 1.5;
    QWidget page;
    auto* field = new TimeField(&page);
    field->setTime(QTime(9, 41));
    showOnPaper(page, QSize(200, 60));
    QImage shot((QSizeF(field->size()) * kScale).toSize(), QImage::Format_ARGB32_Premultiplied);
    shot.setDevicePixelRatio(kScale);
    shot.fill(Theme::paper());
    field->render(&shot);
    EXPECT_TRUE(shot.save(test::artefactPath(QStringLiteral("look-time-field-scaled.png"))));
    const int middle = shot.width() / 2;
    for (int row = 0; row < 2; ++row) {
        EXPECT_EQ(shot.pixelColor(middle, shot.height() - 1 - row), shot.pixelColor(middle, row))
            << "row " << row << " from the edge";
    }
}

// Each arrow takes clicks over at least 16 × 16 pixels, beyond the half it draws.
TEST_F(ControlLook, TheStepperArrowsTakeClicksOverAtLeastSixteenPixels) {
    Stepper threshold(5, 80, 5);
    threshold.setValue(20);
    showOnPaper(threshold);
    QSignalSpy changes(&threshold, &Stepper::valueChanged);
    for (QAbstractButton* arrow : {&threshold.upButton(), &threshold.downButton()}) {
        EXPECT_GE(arrow->width(), 16);
        EXPECT_GE(arrow->height(), 16);
    }
    // At the outer edges of the pair, away from the drawn halves.
    QTest::mouseClick(&threshold.upButton(), Qt::LeftButton, {}, QPoint(1, 1));
    EXPECT_EQ(threshold.value(), 25);
    QAbstractButton& down = threshold.downButton();
    QTest::mouseClick(&down, Qt::LeftButton, {}, QPoint(down.width() - 2, down.height() - 2));
    EXPECT_EQ(threshold.value(), 20);
    EXPECT_EQ(changes.size(), 2);
    // The drawn halves meet where the two hit areas do.
    const QImage shot = threshold.grab().toImage();
    const QPoint seam = down.mapTo(&threshold, QPoint(down.width() / 2, 0));
    EXPECT_NE(shot.pixelColor(seam.x(), seam.y() - 1), Theme::paper());
    EXPECT_NE(shot.pixelColor(seam), Theme::paper());
}

class Square : public QWidget {
  public:
    Square() { setFixedSize(30, 30); }

  protected:
    void paintEvent(QPaintEvent* /*event*/) override {
        QPainter(this).fillRect(rect(), Theme::ink());
    }
};

// Twelve 30-wide items 7 apart need 437 pixels: at 434 the gaps close up and all show; at 300
// they cannot, and a fade shows at each edge they go on past.
TEST_F(ControlLook, AStripClosesUpToFitAndOtherwiseShowsAndScrollsToWhatIsPastItsEdges) {
    WheelStrip strip;
    strip.row().setSpacing(7);
    strip.setLeastSpacing(4);
    std::vector<Square*> items;
    for (int i = 0; i < 12; ++i) {
        items.push_back(new Square);
        strip.row().addWidget(items.back());
    }
    strip.row().addStretch(1);
    showOnPaper(strip, QSize(434, 30));
    settle();
    EXPECT_EQ(strip.horizontalScrollBar()->maximum(), 0);
    EXPECT_LE(items.back()->geometry().right(), strip.viewport()->width() - 1) << "the last shows";
    EXPECT_GE(strip.row().spacing(), 4);
    EXPECT_FALSE(strip.cue(WheelStrip::Edge::trailing).isVisible());

    strip.resize(300, 30);
    settle();
    EXPECT_EQ(strip.row().spacing(), 4) << "never closer than the least gap";
    QWidget& trailing = strip.cue(WheelStrip::Edge::trailing);
    QWidget& leading = strip.cue(WheelStrip::Edge::leading);
    ASSERT_TRUE(trailing.isVisible());
    EXPECT_FALSE(leading.isVisible());
    EXPECT_EQ(trailing.geometry().right(), strip.viewport()->geometry().right());
    const QImage shot = strip.grab().toImage();
    EXPECT_TRUE(shot.save(test::artefactPath(QStringLiteral("look-strip-cue.png"))));
    EXPECT_EQ(shot.pixelColor(shot.width() - 1, 2), Theme::paper()) << "the fade meets the paper";
    // Only a picture: what lies beneath the fade still takes the click.
    const QWidget* beneath = strip.childAt(trailing.geometry().center());
    EXPECT_NE(std::find(items.begin(), items.end(), beneath), items.end());

    // Scrolled to the end, the cues swap sides.
    strip.horizontalScrollBar()->setValue(strip.horizontalScrollBar()->maximum());
    EXPECT_FALSE(trailing.isVisible());
    EXPECT_TRUE(leading.isVisible());
    EXPECT_EQ(leading.geometry().left(), strip.viewport()->geometry().left());
}

}  // namespace
}  // namespace velmora::testing

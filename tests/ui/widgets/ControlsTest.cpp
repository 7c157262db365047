// The controls Qt lacks, driven as a user drives them: the switch, the double slider's write
// discipline, the wheel strip, the stepper, the menu pill, the time field, plain-text labels, card
// shadows, and what accessibility tools read of each.
#include <QHBoxLayout>
#include <QLineEdit>
#include <QMenu>
#include <QPainter>
#include <QScrollBar>
#include <QSignalSpy>
#include <QStyle>
#include <QStyleOptionSlider>
#include <QTextDocument>
#include <QVBoxLayout>
#include <QWheelEvent>

#include "tests/ui/Ratio.hpp"
#include "tests/ui/ViewTest.hpp"
#include "ui/look/Theme.hpp"
#include "ui/sync/InteractionHold.hpp"
#include "ui/widgets/Card.hpp"
#include "ui/widgets/DoubleSlider.hpp"
#include "ui/widgets/Hairline.hpp"
#include "ui/widgets/Logomark.hpp"
#include "ui/widgets/MenuPill.hpp"
#include "ui/widgets/Stepper.hpp"
#include "ui/widgets/Switch.hpp"
#include "ui/widgets/SymbolView.hpp"
#include "ui/widgets/Text.hpp"
#include "ui/widgets/TextLabel.hpp"
#include "ui/widgets/TimeField.hpp"
#include "ui/widgets/WheelStrip.hpp"

namespace velmora::testing {
namespace {

class Controls : public ViewTest {
  protected:
    // A slider alone in `page`, a row of `size` on paper, as a list shows it.
    static DoubleSlider* sliderOnPaper(QWidget& page, double min, double max, double step,
                                       QSize size) {
        auto* slider = new DoubleSlider(min, max, step);
        (new QVBoxLayout(&page))->addWidget(slider);
        showOnPaper(page, size);
        return slider;
    }
};

// Sends one wheel notch (down) to `widget`'s centre; returns whether the widget took it.
bool wheel(QWidget* widget) {
    const QPointF at = QRectF(widget->rect()).center();
    QWheelEvent event(at, widget->mapToGlobal(at), QPoint(), QPoint(0, -120), Qt::NoButton,
                      Qt::NoModifier, Qt::NoScrollPhase, false);
    QApplication::sendEvent(widget, &event);
    return event.isAccepted();
}

QPoint knobCentre(const QSlider& slider) {
    QStyleOptionSlider option;
    option.initFrom(&slider);
    option.orientation = slider.orientation();
    option.minimum = slider.minimum();
    option.maximum = slider.maximum();
    option.sliderPosition = slider.sliderPosition();
    option.sliderValue = slider.value();
    return slider.style()
        ->subControlRect(QStyle::CC_Slider, &option, QStyle::SC_SliderHandle, &slider)
        .center();
}

TEST_F(Controls, TheSwitchShowsWhatItIsToldNotWhatIsClickedAndIsDrawnSmallerThanItsHint) {
    Switch toggle;
    toggle.setAccessibleName(QStringLiteral("Show hidden files"));
    showOnPaper(toggle);
    QSignalSpy clicks(&toggle, &Switch::clicked);
    click(&toggle);
    EXPECT_EQ(clicks.size(), 1);
    EXPECT_FALSE(toggle.isOn()) << "the model answers, at the next sync";
    EXPECT_EQ(accessible(&toggle), "CheckBox 'Show hidden files' off");
    screenshot(toggle, QStringLiteral("widget-switch-off"));
    toggle.setOn(true);
    EXPECT_EQ(accessible(&toggle), "CheckBox 'Show hidden files' on");
    screenshot(toggle, QStringLiteral("widget-switch-on"));

    EXPECT_EQ(toggle.sizeHint(), QSize(38, 22));
    const QImage drawn = toggle.grab().toImage();
    const QRgb background = drawn.pixel(0, 0);
    int top = drawn.height(), bottom = -1;
    for (int y = 0; y < drawn.height(); ++y) {
        for (int x = 0; x < drawn.width(); ++x) {
            if (drawn.pixel(x, y) != background) {
                top = std::min(top, y);
                bottom = std::max(bottom, y);
            }
        }
    }
    // 22 × 0.82 = 18.04 rows, centred, so 20 rows are touched with their antialiased edges.
    EXPECT_EQ(bottom - top + 1, 20);
    EXPECT_EQ(QColor(drawn.pixel(8, 11)), Theme::accent()) << "the on track";
}

TEST_F(Controls, TheSliderWritesOncePerReleaseKeyStepAndGrooveClickAndNeverFromTheWheel) {
    QWidget page;
    DoubleSlider* slider = sliderOnPaper(page, 16, 128, 1, QSize(300, 60));
    slider->setDoubleValue(48);
    QSignalSpy commits(slider, &DoubleSlider::committed);
    const auto committed = [&] {
        std::vector<double> values;
        for (const QList<QVariant>& call : commits) {
            values.push_back(call[0].toDouble());
        }
        commits.clear();
        return values;
    };
    EXPECT_EQ(slider->doubleValue(), 48);
    EXPECT_TRUE(committed().empty()) << "setting a value writes nothing";

    // Press the knob, drag it to the right end, release.
    const QPoint knob = knobCentre(*slider);
    QTest::mousePress(slider, Qt::LeftButton, {}, knob);
    EXPECT_TRUE(InteractionHold::activeIn(*slider)) << "lists wait while the knob is held";
    for (int x = knob.x(); x <= slider->width(); x += 10) {
        QTest::mouseMove(slider, QPoint(x, knob.y()));
    }
    EXPECT_TRUE(committed().empty()) << "nothing while dragging";
    QTest::mouseRelease(slider, Qt::LeftButton, {}, QPoint(slider->width() - 1, knob.y()));
    EXPECT_EQ(committed(), std::vector<double>{128}) << "once, with the final value";
    EXPECT_FALSE(InteractionHold::activeIn(*slider));

    click(slider);  // on the groove's middle: the knob jumps there, once
    const std::vector<double> jumped = committed();
    ASSERT_EQ(jumped.size(), 1u);
    EXPECT_NEAR(jumped[0], 72, 6);
    QTest::keyClick(slider, Qt::Key_Right);
    QTest::keyClick(slider, Qt::Key_Right);
    EXPECT_EQ(committed(), (std::vector<double>{jumped[0] + 1, jumped[0] + 2}));
    screenshot(page, QStringLiteral("widget-slider"));

    slider->clearFocus();
    EXPECT_FALSE(wheel(slider)) << "the page scrolls instead";
    slider->setFocus();
    EXPECT_TRUE(wheel(slider));
    EXPECT_EQ(committed().size(), 1u) << "a focused wheel step writes like a key step";

    DoubleSlider fine(0, 1, 0.05);
    fine.setDoubleValue(0.35);
    EXPECT_NEAR(fine.doubleValue(), 0.35, 1e-9);
    fine.setDoubleValue(std::nan(""));
    EXPECT_EQ(fine.doubleValue(), 0) << "a value that is no number shows the minimum";
}

TEST_F(Controls, AGrooveClickBesideTheNearestStepStillWritesTheValueItShows) {
    // Mouse tracking: seven positions over a wide row, so most clicks fall between two steps.
    QWidget page;
    DoubleSlider* slider = sliderOnPaper(page, 0, 3, 0.5, QSize(500, 60));
    QSignalSpy commits(slider, &DoubleSlider::committed);
    const int y = slider->height() / 2;
    std::vector<double> shown, written;
    for (int x = 4; x < slider->width() - 4; x += 9) {
        slider->setDoubleValue(x < slider->width() / 2 ? 3 : 0);  // the knob far from the click
        commits.clear();
        QTest::mouseClick(slider, Qt::LeftButton, {}, QPoint(x, y));
        shown.push_back(slider->doubleValue());
        written.push_back(commits.size() == 1 ? commits[0][0].toDouble() : -1);
    }
    EXPECT_EQ(written, shown) << "each click writes once, the value the knob shows";
    EXPECT_FALSE(InteractionHold::activeIn(*slider));

    // The press holds the knob, so dragging on from a groove click moves it further.
    slider->setDoubleValue(0);
    commits.clear();
    const QPoint start(slider->width() / 3 + 7, y);
    QTest::mousePress(slider, Qt::LeftButton, {}, start);
    EXPECT_TRUE(slider->isSliderDown());
    for (int x = start.x(); x <= slider->width(); x += 10) {
        QTest::mouseMove(slider, QPoint(x, y));
    }
    QTest::mouseRelease(slider, Qt::LeftButton, {}, QPoint(slider->width() - 1, y));
    ASSERT_EQ(commits.size(), 1);
    EXPECT_EQ(commits[0][0].toDouble(), 3);
}

TEST_F(Controls, TheStripScrollsSidewaysWithTheWheelOnlyWhenItOverflows) {
    WheelStrip strip;
    for (int i = 0; i < 12; ++i) {
        auto* item = new QWidget;
        item->setFixedSize(60, 20);
        strip.row().addWidget(item);
    }
    showOnPaper(strip, QSize(200, 20));
    EXPECT_TRUE(wheel(strip.viewport()));
    EXPECT_GT(strip.horizontalScrollBar()->value(), 0);

    WheelStrip fits;
    fits.row().addWidget(new QWidget);
    showOnPaper(fits, QSize(200, 20));
    EXPECT_FALSE(wheel(fits.viewport())) << "left to the page";
}

TEST_F(Controls, TheStepperMovesInStepsWithinItsRangeAndOnlyClicksSignal) {
    Stepper threshold(5, 80, 5);
    threshold.setFormat([](int value) { return QString::number(value) + QLatin1Char('%'); });
    threshold.setValue(75);
    showOnPaper(threshold);
    QSignalSpy changes(&threshold, &Stepper::valueChanged);
    click(&threshold.upButton());
    click(&threshold.upButton());
    EXPECT_EQ(threshold.value(), 80);
    EXPECT_EQ(changes.size(), 1) << "the end of the range is not a change";
    screenshot(threshold, QStringLiteral("widget-stepper"));
    EXPECT_FALSE(threshold.upButton().isEnabled());
    EXPECT_EQ(find<TextLabel>(threshold, QString())->text(), QStringLiteral("80%"));
    threshold.setValue(2);
    EXPECT_EQ(threshold.value(), 5);
    EXPECT_FALSE(threshold.downButton().isEnabled());
    EXPECT_EQ(changes.size(), 1);
}

TEST_F(Controls, TheMenuPillShowsItemsLiterallyAndHoldsListsWhileItsMenuIsOpen) {
    MenuPill pill;
    pill.setObjectName(QStringLiteral("pill"));
    pill.setLabel(QStringLiteral("Photo & Video"), "app.fill");
    std::string chosen;
    pill.addItem(QStringLiteral("Photo & Video"), "app.fill", [&] { chosen = "photo"; });
    pill.addItem(QStringLiteral("<b>x</b>"), "", [&] { chosen = "x"; });
    showOnPaper(pill);
    screenshot(pill, QStringLiteral("widget-menu-pill"));
    click(&pill);
    EXPECT_TRUE(pill.menu().isVisible());
    EXPECT_TRUE(InteractionHold::activeIn(pill));
    const QList<QAction*> items = pill.menu().actions();
    ASSERT_EQ(items.size(), 2);
    EXPECT_EQ(items[0]->text(), QStringLiteral("Photo && Video")) << "no mnemonic eats the &";
    items[1]->trigger();
    pill.menu().hide();
    EXPECT_EQ(chosen, "x");
    EXPECT_FALSE(InteractionHold::activeIn(pill));
    EXPECT_EQ(accessible(&pill), "Button 'Photo & Video'");
}

TEST_F(Controls, LabelsAndTipsShowDataAsWrittenAndDecorationsAreHidden) {
    QWidget page;
    auto* layout = new QVBoxLayout(&page);
    auto* title = new TextLabel(DesignFont::inter(12.5, FontWeight::medium), Theme::ink());
    title->setText(QStringLiteral("<b>x</b> & A&B"));
    auto* summary = new TextLabel(DesignFont::inter(11), Theme::secondary());
    summary->setLineLimit(0);
    summary->setText(
        QStringLiteral("Shows the full path of the current folder at the bottom of "
                       "every Finder window, so you always know where you are."));
    auto* logo = new Logomark(17, 0);
    auto* icon = new SymbolView("star", 11.5, Theme::accent());
    for (QWidget* widget : std::initializer_list<QWidget*>{title, summary, logo, icon}) {
        layout->addWidget(widget);
    }
    showOnPaper(page, QSize(180, 200));
    EXPECT_EQ(title->shownLines(), std::vector<QString>{QStringLiteral("<b>x</b> & A&B")});
    EXPECT_EQ(accessible(title), "StaticText '<b>x</b> & A&B'");
    EXPECT_GE(summary->shownLines().size(), 3u);
    EXPECT_GE(summary->height(), summary->heightForWidth(summary->width()))
        << "a wrapped label gets the height its lines need";
    EXPECT_GT(summary->heightForWidth(100), summary->heightForWidth(300));
    title->resize(40, title->height());
    EXPECT_TRUE(title->shownLines()[0].endsWith(QChar(0x2026)));
    screenshot(page, QStringLiteral("widget-labels"));
    EXPECT_EQ(accessible(logo), "NoRole '' hidden");
    EXPECT_EQ(accessible(icon), "NoRole '' hidden");

    for (const QString& tip :
         {QStringLiteral("<b>Desk</b> & Co"), QStringLiteral("<b>x</b>").repeated(20)}) {
        QTextDocument shown;
        shown.setHtml(plainToolTip(tip));
        EXPECT_EQ(shown.toPlainText(), tip) << "markup in the text is shown as written";
    }
    EXPECT_EQ(mnemonicSafe(QStringLiteral("A&B && C")), QStringLiteral("A&&B &&&& C"));
}

// Layouts ask a wrapped label for its lines at its natural width and at the width it is given,
// in turn: each answer is the text's own at that width, whatever was asked before.
TEST_F(Controls, AWrappedLabelsLinesFollowTheWidthAskedWhateverWasAskedBefore) {
    TextLabel label(DesignFont::inter(10.5), Theme::secondary());
    label.setLineLimit(2);
    label.setText(QStringLiteral("Build a scene \u2014 switch your whole Mac with one click."));
    const int natural = label.sizeHint().width();
    const std::vector<QString> whole{label.text()};
    const std::vector<QString> wrapped{QStringLiteral("Build a scene \u2014 switch your"),
                                       QStringLiteral("whole Mac with one click.")};
    for (int turn = 0; turn < 2; ++turn) {
        EXPECT_EQ(label.linesAt(natural), whole) << turn;
        EXPECT_EQ(label.linesAt(171), wrapped) << turn;
        EXPECT_EQ(label.heightForWidth(natural) * 2, label.heightForWidth(171)) << turn;
    }
    label.setText(QStringLiteral("Plugged in?\nKeep it awake."));
    EXPECT_EQ(label.linesAt(171), std::vector<QString>({QStringLiteral("Plugged in?"),
                                                        QStringLiteral("Keep it awake.")}))
        << "a line break breaks the line even where the text would fit";
    label.setText(QStringLiteral("Short"));
    EXPECT_EQ(label.linesAt(171), std::vector<QString>{QStringLiteral("Short")})
        << "a new text is not shown with the lines of the one before";
}

// The logo keeps the spiral it stroked: what it shows must be the spiral of its wind now, exactly
// as stroked afresh.
TEST_F(Controls, TheLogoShowsTheSpiralOfItsWindNowAsIfStrokedAfresh) {
    QWidget page;
    auto* logo = new Logomark(26, 0, &page);
    showOnPaper(page, QSize(60, 60));
    const auto afresh = [&](qreal wind) {
        QImage image(logo->size(), QImage::Format_ARGB32_Premultiplied);
        image.fill(Qt::transparent);
        QPainter painter(&image);
        Logomark::paint(painter, QRectF(logo->rect()).center(), 26, wind);
        return image;
    };
    const auto shown = [&] {
        return logo->grab().toImage().convertToFormat(QImage::Format_ARGB32_Premultiplied);
    };
    EXPECT_EQ(shown(), afresh(0));
    EXPECT_EQ(shown(), afresh(0)) << "drawn again from what it kept";
    logo->setWind(1);
    EXPECT_EQ(shown(), afresh(1));
    EXPECT_NE(afresh(1), afresh(0));
    logo->setWind(0);
    EXPECT_EQ(shown(), afresh(0));
}

// Every hairline of a page has one weight on a screen of any ratio, as many device pixels as a
// point holds whole, and a line along a panel's edge meets what stands beside the panel: at 1.25
// a plain fill drew the rows of a list one pixel or two as their places fell, and the sidebar's
// edge two pixels.
TEST_F(Controls, HairlinesHaveOneWeightAtEveryRatioAndAnEdgeLineMeetsItsNeighbour) {
    // A panel whose right edge is a hairline, against the page beside it.
    class Panel : public QWidget {
      protected:
        void paintEvent(QPaintEvent* /*event*/) override {
            QPainter painter(this);
            painter.fillRect(rect(), Qt::white);
            paintHairline(painter, QRect(width() - 1, 0, 1, height()), Theme::hairline(),
                          LineSide::trailing);
        }
    };
    const int rows[] = {10, 13, 17, 22, 30, 41};
    for (const qreal ratio : test::kRatios) {
        QWidget page;
        for (const int y : rows) {
            auto* line = new Hairline(&page);
            line->setGeometry(10, y, 100, 1);
        }
        auto* panel = new Panel;
        panel->setParent(&page);
        panel->setGeometry(0, 50, 83, 20);
        test::moveToRatio(page, ratio);
        showOnPaper(page, QSize(140, 80));
        const QImage shot = page.grab().toImage();
        const int weight = std::max(1, static_cast<int>(std::floor(ratio)));
        const auto isLine = [&](int x, int y) {
            return shot.pixelColor(x, y).rgb() == Theme::hairline().rgb();
        };
        const int across = qRound(60 * ratio);
        int lines = 0;
        for (int y = 0; y < qRound(48 * ratio); ++y) {
            if (isLine(across, y) && (y == 0 || !isLine(across, y - 1))) {
                int thick = 0;
                while (isLine(across, y + thick)) {
                    ++thick;
                }
                EXPECT_EQ(thick, weight) << "ratio " << ratio << " row " << y;
                ++lines;
            }
        }
        EXPECT_EQ(lines, static_cast<int>(std::size(rows))) << "ratio " << ratio;
        const int down = qRound(60 * ratio);
        int edge = 0;
        int x = 0;
        while (!isLine(x, down)) {
            EXPECT_EQ(shot.pixelColor(x, down).rgb(), QColor(Qt::white).rgb()) << x;
            ++x;
        }
        while (isLine(x + edge, down)) {
            ++edge;
        }
        EXPECT_EQ(edge, weight) << "ratio " << ratio;
        EXPECT_EQ(shot.pixelColor(x + edge, down), page.palette().color(QPalette::Window))
            << "no gap between the edge and the page beside it, ratio " << ratio;
    }
}

TEST_F(Controls, ACanvasPaintsTheSoftShadowOfItsCardsBelowThemAndNoneForAHiddenCard) {
    CardCanvas canvas;
    auto* layout = new QVBoxLayout(&canvas);
    layout->setContentsMargins(20, 20, 20, 20);
    auto* card = new Card;
    card->setFixedSize(120, 60);
    layout->addWidget(card);
    showOnPaper(canvas);
    const QPoint below(card->geometry().center().x(), card->geometry().bottom() + 2);
    const QPoint far(card->geometry().center().x(), card->geometry().bottom() + 10);
    QImage drawn = canvas.grab().toImage();
    EXPECT_EQ(QColor(drawn.pixel(card->geometry().center())), Theme::card());
    EXPECT_LT(qGray(drawn.pixel(below)), qGray(Theme::paper().rgb())) << "a shadow under it";
    EXPECT_EQ(QColor(drawn.pixel(far)), Theme::paper()) << "and soft: gone a little further";
    card->hide();
    settle();
    drawn = canvas.grab().toImage();
    EXPECT_EQ(QColor(drawn.pixel(below)), Theme::paper());
}

// English hours and minutes whatever the locale; the wheel turns it only while it has focus, so a
// page scrolling under the pointer never changes the time.
TEST_F(Controls, TheTimeFieldReadsTwelveHourEnglishTimeAndTakesTheWheelOnlyWithFocus) {
    const QLocale before;
    QLocale::setDefault(QLocale(QLocale::Korean, QLocale::SouthKorea));
    QWidget page;
    auto* column = new QVBoxLayout(&page);
    auto* other = new QLineEdit;
    auto* field = new TimeField;
    column->addWidget(other);
    column->addWidget(field);
    QLocale::setDefault(before);
    field->setTime(QTime(0, 5));
    showOnPaper(page);
    QApplication::setActiveWindow(&page);
    EXPECT_EQ(field->text(), QStringLiteral("12:05 AM"));
    field->setTime(QTime(23, 59));
    EXPECT_EQ(field->text(), QStringLiteral("11:59 PM"));

    other->setFocus();
    QSignalSpy changes(field, &QTimeEdit::timeChanged);
    EXPECT_FALSE(wheel(field)) << "the page scrolls instead";
    EXPECT_EQ(changes.size(), 0);
    click(field);
    ASSERT_TRUE(field->hasFocus());
    EXPECT_TRUE(wheel(field));
    EXPECT_EQ(changes.size(), 1);
}

// Typed as a user types it, once Tab has brought the focus to the field: the hour, the colon
// that moves on to the minutes, and the minutes.
TEST_F(Controls, ATimeTypedIntoTheFieldIsItsTime) {
    QWidget page;
    auto* column = new QVBoxLayout(&page);
    auto* before = new QLineEdit;
    auto* field = new TimeField;
    column->addWidget(before);
    column->addWidget(field);
    field->setTime(QTime(9, 41));
    showOnPaper(page);
    QApplication::setActiveWindow(&page);
    before->setFocus();
    QSignalSpy changes(field, &QTimeEdit::timeChanged);
    QTest::keyClick(before, Qt::Key_Tab);
    ASSERT_TRUE(field->hasFocus());
    QTest::keyClicks(field, QStringLiteral("7:05"));
    QTest::keyClick(field, Qt::Key_Return);
    EXPECT_EQ(field->time(), QTime(7, 5));
    EXPECT_EQ(field->text(), QStringLiteral("7:05 AM"));
    EXPECT_FALSE(changes.isEmpty());
}

}  // namespace
}  // namespace velmora::testing

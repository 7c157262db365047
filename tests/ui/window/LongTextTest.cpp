// A stored text far longer than any screen (a scene named with 10 MB, as damaged or hostile data
// can hold): measured and drawn in time bounded by what fits, and stored back unchanged.
#include <QElapsedTimer>
#include <QTextDocument>

#include "tests/ui/window/WindowTest.hpp"
#include "ui/look/Fonts.hpp"
#include "ui/widgets/Text.hpp"
#include "ui/widgets/TextLabel.hpp"
#include "ui/window/PageBlocks.hpp"
#include "ui/window/RuleRow.hpp"
#include "ui/window/ScenesSection.hpp"
#include "ui/window/SearchPage.hpp"

namespace velmora::testing {
namespace {

using LongText = WindowTest;

constexpr std::size_t kTenMegabytes = 10'000'000;
// Far above the few milliseconds the window needs, far below the seconds that measuring the
// whole text took.
constexpr qint64 kResponsiveMs = 5000;

TEST_F(LongText, ATenMegabyteSceneNameShowsElidedAtOnceAndIsStoredBackUnchanged) {
    std::string name;
    while (name.size() < kTenMegabytes) {
        name += "Evening at the desk, \u00E9t\u00E9 ";
    }
    putData(AppModel::Keys::setups,
            Setup::encodeList({velmora::Setup{"S1", name, "moon.fill", {}, {}, {}, false}}));
    completeOnboarding();

    QElapsedTimer timer;
    timer.start();
    open();
    auto* row = find<SceneRow>(*window, sceneNames::row("S1"));
    ASSERT_NE(row, nullptr);
    const QImage drawn = window->grab().toImage();
    const QString shown = row->shownName();
    const QSize hint = row->sizeHint();
    EXPECT_LT(timer.elapsed(), kResponsiveMs);

    EXPECT_FALSE(drawn.isNull());
    EXPECT_TRUE(shown.startsWith(QStringLiteral("Evening at the desk")))
        << shown.left(100).toStdString();
    EXPECT_TRUE(shown.endsWith(QStringLiteral("\u2026")));
    EXPECT_LE(shown.size(), DesignFont::longestLine + 1);
    EXPECT_GT(hint.width(), row->width()) << "it asks for more room than it has";
    QTextDocument tip;
    tip.setHtml(row->toolTip());
    EXPECT_LE(tip.toPlainText().size(), DesignFont::longestLine + 1);
    EXPECT_TRUE(tip.toPlainText().startsWith(QStringLiteral("Switch to \u201CEvening")));

    model->saveSetup("Other", "moon.fill");
    const auto stored = Setup::decodeList(storedData(AppModel::Keys::setups));
    ASSERT_TRUE(stored.ok());
    ASSERT_EQ(stored.value().size(), 2U);
    EXPECT_TRUE(stored.value()[0].name == name) << "the whole name, byte for byte";
}

// Only characters that draw nothing could make the visible part fit: it is still shown cut. A
// character outside the basic plane is never split, and each elision keeps its own end.
TEST_F(LongText, TheVisiblePartKeepsWholeCharactersAndTheEndsEachElisionShows) {
    const QString face = QStringLiteral("\U0001F600");
    const QString faces = face.repeated(DesignFont::longestLine);
    EXPECT_EQ(DesignFont::visiblePart(faces).size(), DesignFont::longestLine);
    EXPECT_EQ(DesignFont::visiblePart(QStringLiteral("a") + faces).size(),
              DesignFont::longestLine - 1)
        << "the cut would fall inside a character";
    const QString text = QStringLiteral("head") + QString(DesignFont::longestLine * 2, u'x') +
                         QStringLiteral("tail");
    EXPECT_TRUE(DesignFont::visiblePart(text, Qt::ElideLeft).endsWith(QStringLiteral("tail")));
    const QString middle = DesignFont::visiblePart(text, Qt::ElideMiddle);
    EXPECT_TRUE(middle.startsWith(QStringLiteral("head")) &&
                middle.endsWith(QStringLiteral("tail")));

    const QString invisible(DesignFont::longestLine * 2, QChar(0x200B));  // zero-width spaces
    const DesignFont& font = DesignFont::inter(13);
    EXPECT_TRUE(font.elided(invisible, 500).endsWith(QStringLiteral("\u2026")));
    EXPECT_EQ(mnemonicSafe(QString(kTenMegabytes, u'&')).size(), 2 * DesignFont::longestLine + 1);
    EXPECT_EQ(font.lines(QString(kTenMegabytes, u'w'), 100, 2).size(), 2U);
}

// The same name wraps in full in an automation's row: its start is shown, cut with "…", and the
// page opens at once instead of laying out ten megabytes into a row hundreds of thousands of
// points tall.
TEST_F(LongText, ARuleToASceneWithATenMegabyteNameShowsItsStartCutAndOpensAtOnce) {
    constexpr qint64 kPageMs = 1500;
    std::string name;
    while (name.size() < kTenMegabytes) {
        name += "Evening at the desk, ";
    }
    putData(AppModel::Keys::setups,
            Setup::encodeList({velmora::Setup{"S1", name, "moon.fill", {}, {}, {}, false}}));
    putData(AppModel::Keys::rules, AutomationRule::encodeList({{"R1", AutomationRule::Kind::onWake,
                                                                "S1", true, 0, 0, 0, "", ""}}));
    completeOnboarding();
    open();
    QElapsedTimer timer;
    timer.start();
    clickRow("automations");
    settleLayout();
    EXPECT_LT(timer.elapsed(), kPageMs);

    auto* row = find<RuleRow>(*window, ruleNames::row("R1"));
    ASSERT_NE(row, nullptr);
    const std::vector<QString> lines = row->target().shownLines();
    ASSERT_FALSE(lines.empty());
    EXPECT_TRUE(lines.front().startsWith(QStringLiteral("Switch to \u201CEvening at the desk")));
    EXPECT_TRUE(lines.back().endsWith(QStringLiteral("\u2026"))) << lines.back().toStdString();
    EXPECT_LT(row->height(), window->screen()->size().height() * 100) << "bounded, if tall";
    ASSERT_EQ(model->setups().size(), 1U);
    EXPECT_TRUE(model->setups()[0].name == name) << "the whole name is kept";
}

// A scene named with a pasted text of two lines: the sidebar shows the first line cut, not both
// lines run together; the name itself is kept as it was.
TEST_F(LongText, ASceneNameOfTwoLinesShowsItsFirstLineInTheSidebar) {
    const std::string name = "Line one\nLine two";
    putData(AppModel::Keys::setups,
            Setup::encodeList({velmora::Setup{"S1", name, "moon.fill", {}, {}, {}, false}}));
    completeOnboarding();
    open();
    auto* row = find<SceneRow>(*window, sceneNames::row("S1"));
    ASSERT_NE(row, nullptr);
    EXPECT_EQ(row->shownName(), QStringLiteral("Line one\u2026"));
    ASSERT_EQ(model->setups().size(), 1U);
    EXPECT_EQ(model->setups()[0].name, name);
}

// A pasted word of 20,000 characters matches nothing and is quoted in full, wrapped at the
// message's width: every character is on one of its lines, and the window answers at once, as it
// does with each further keystroke.
TEST_F(LongText, APastedWordIsQuotedInFullAndTheWindowAnswersAtOnce) {
    constexpr qsizetype kPastedWord = 20000;
    constexpr qint64 kPasteMs = 600;
    completeOnboarding();
    open(Catalog::velmora());
    const QString word(kPastedWord, u'x');
    QElapsedTimer timer;
    timer.start();
    searchField()->setText(word);
    settle();
    QTest::keyClick(searchField(), Qt::Key_Y);
    settle();
    EXPECT_LT(timer.elapsed(), kPasteMs);

    auto* empty = find<EmptyState>(*page<SearchPage>(), searchNames::empty);
    ASSERT_NE(empty, nullptr);
    const std::vector<QString> lines = empty->message().shownLines();
    QString joined;
    for (const QString& line : lines) {
        EXPECT_LE(empty->message().designFont().width(line), EmptyState::messageWidth);
        joined += line;
    }
    // Lines break at spaces, which they do not keep at their ends.
    EXPECT_EQ(joined.remove(QLatin1Char(0x20)),
              QString(empty->message().text()).remove(QLatin1Char(0x20)));
    EXPECT_TRUE(empty->message().text().contains(word + QLatin1Char('y')));
}

}  // namespace
}  // namespace velmora::testing

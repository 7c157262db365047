// A keyed list that leaves rows for later: the rows made at once and those left standing in at
// their height, kept, moved and dropped by key as the keys change, and made later in their places
// (top to bottom, or those in a given area), the last one told that it is the last; rows prepared
// ahead stay out of the list until they are made.
#include <QLabel>
#include <QPointer>

#include "tests/ui/ViewTest.hpp"
#include "ui/sync/KeyedList.hpp"
#include "ui/sync/ModelSync.hpp"
#include "ui/sync/RowBuilder.hpp"
#include "ui/widgets/Switch.hpp"
#include "ui/window/ListCard.hpp"

namespace velmora::testing {
namespace {

constexpr int kRowHeight = 20;
constexpr int kListWidth = 200;

class LaterRowTest : public ViewTest {
  protected:
    std::unique_ptr<AppModel> model = make(Catalog({tweak("t-a")}, {}));
    // The list placed by hand in a window, at the size a test gives it.
    QWidget window;
    KeyedList& list = *new KeyedList(ModelSync::of(*model), &window);
    // The keys of the rows made later, each with whether it was made as the last.
    std::vector<std::pair<std::string, bool>> madeLater;
    // The rows prepared ahead, while they live.
    std::vector<QPointer<QLabel>> prepared;

    static QLabel* label(const std::string& key) {
        auto* row = new QLabel(QString::fromStdString(key));
        row->setFixedHeight(kRowHeight);
        return row;
    }

    // A row of fixed height, told whether it is last when made.
    class Fixed : public LaterRow {
      public:
        Fixed(LaterRowTest& test, std::string key) : test_(test), key_(std::move(key)) {}
        void prepare() override {
            ready_.reset(label(key_));
            test_.prepared.emplace_back(ready_.get());
        }
        QWidget* make(bool last) override {
            test_.madeLater.emplace_back(key_, last);
            return ready_ != nullptr ? ready_.release() : label(key_);
        }
        int heightForWidth(int /*width*/, bool /*last*/) override { return kRowHeight; }
        QSize sizeHint(bool /*last*/) override { return {kListWidth, kRowHeight}; }
        QSize minimumSize(bool /*last*/) override { return {0, kRowHeight}; }
        QSize maximumSize(bool /*last*/) override { return {QWIDGETSIZE_MAX, kRowHeight}; }
        Qt::Orientations expandingDirections() override { return {}; }

      private:
        LaterRowTest& test_;
        std::string key_;
        std::unique_ptr<QLabel> ready_;
    };

    void show(const std::vector<std::string>& keys, std::size_t makeNow) {
        const KeyedList::Later later{
            makeNow, [&](std::size_t i) { return std::make_unique<Fixed>(*this, keys[i]); }};
        list.showKeeping(
            keys, [&](std::size_t i) { return label(keys[i]); }, &later);
        settle();
    }
    // The texts of the rows made, in the list's order; "." for one that waits.
    std::string rows() const {
        std::string shown;
        for (const QWidget* row : list.rows()) {
            shown += row == nullptr ? "." : static_cast<const QLabel*>(row)->text().toStdString();
        }
        return shown;
    }
    // The texts of the rows that show, top to bottom.
    std::string topToBottom() const {
        QList<QLabel*> shown = list.findChildren<QLabel*>();
        shown.removeIf([](const QLabel* row) { return !row->isVisible(); });
        std::sort(shown.begin(), shown.end(),
                  [](const QLabel* a, const QLabel* b) { return a->y() < b->y(); });
        std::string texts;
        for (const QLabel* row : shown) {
            texts += row->text().toStdString();
        }
        return texts;
    }
};

TEST_F(LaterRowTest, WaitingRowsTakeTheirHeightAndFollowTheKeysUntilTheyAreMadeInTheirPlaces) {
    show({"a", "b", "c", "d", "e"}, 2);
    EXPECT_EQ(rows(), "ab...");
    EXPECT_EQ(list.laterCount(), 3u);
    EXPECT_EQ(list.rowLayout().totalHeightForWidth(kListWidth), 5 * kRowHeight)
        << "as tall as with every row made";

    const QPointer<QWidget> a = list.rows()[0];
    // "e" moves up into the rows made at once; "a" is kept, moved down; "d" stays waiting, "b"
    // and "c" go; "f" is new past the first.
    show({"e", "a", "d", "f"}, 1);
    EXPECT_EQ(rows(), "ea..");
    EXPECT_EQ(list.rows()[1], a.data()) << "kept";
    EXPECT_EQ(list.rowLayout().totalHeightForWidth(kListWidth), 4 * kRowHeight);
    EXPECT_EQ(madeLater, (std::vector<std::pair<std::string, bool>>{{"e", false}}))
        << "the waiting row moved up is made, as not the last";

    list.setGeometry(0, 0, kListWidth, 4 * kRowHeight);
    showOnPaper(window, QSize(kListWidth, 4 * kRowHeight));
    EXPECT_EQ(list.makeLater(1), 1u);
    EXPECT_EQ(rows(), "ead.");
    // Only what stands in the last row's place.
    list.makeLaterWithin(QRect(0, 3 * kRowHeight, kListWidth, kRowHeight));
    EXPECT_EQ(rows(), "eadf");
    EXPECT_EQ(list.laterCount(), 0u);
    EXPECT_EQ(madeLater.back(), std::make_pair(std::string("f"), true)) << "made as the last";
    EXPECT_EQ(topToBottom(), "eadf") << "each in its place, at once";

    // Keys that make every row at once, the old ones dropped.
    show({"x"}, 1);
    EXPECT_EQ(rows(), "x");
    settle();
    EXPECT_TRUE(a.isNull());
}

TEST_F(LaterRowTest, AListNotLaidOutAtItsFullHeightMakesNothingForAnArea) {
    show({"a", "b", "c"}, 0);
    // Squeezed: the stand-ins lie over each other.
    list.setGeometry(0, 0, kListWidth, kRowHeight);
    showOnPaper(window, QSize(kListWidth, 3 * kRowHeight));
    list.makeLaterWithin(QRect(0, 0, kListWidth, kRowHeight));
    EXPECT_EQ(rows(), "...");
    list.resize(kListWidth, 3 * kRowHeight);
    settle();
    list.makeLaterWithin(QRect(0, kRowHeight, kListWidth, 1));
    EXPECT_EQ(rows(), ".b.");
}

TEST_F(LaterRowTest, PreparedRowsStayOutOfTheListUntilMadeAndGoWithTheirKeys) {
    list.setGeometry(0, 0, kListWidth, 3 * kRowHeight);
    showOnPaper(window, QSize(kListWidth, 3 * kRowHeight));
    show({"a", "b", "c"}, 0);
    list.prepareLater(2);
    EXPECT_EQ(list.unpreparedCount(), 1u);
    EXPECT_EQ(rows(), "...") << "prepared is not made";
    ASSERT_EQ(prepared.size(), 2u);
    EXPECT_EQ(prepared[0]->parentWidget(), nullptr);
    EXPECT_FALSE(prepared[0]->isVisible());

    // "a" goes with the row prepared for it; "b" keeps its own.
    show({"b", "c"}, 0);
    EXPECT_TRUE(prepared[0].isNull());
    EXPECT_EQ(list.unpreparedCount(), 1u);
    EXPECT_EQ(list.makeLater(2), 2u);
    EXPECT_EQ(rows(), "bc");
    EXPECT_EQ(list.rows()[0], prepared[1].data()) << "the prepared row put in the list";
    EXPECT_EQ(topToBottom(), "bc");
}

// A tweak switched on after its row was made ahead, and before the row is put in the list: the
// row shows it on, as the sync it comes in at has it.
TEST_F(LaterRowTest, ARowMadeAheadShowsTheStateOfTheSyncItIsPutInAt) {
    std::unique_ptr<AppModel> three = make(Catalog({tweak("t-a"), tweak("t-b"), tweak("t-c")}, {}));
    QWidget page;
    constexpr int kRowsAtOnce = 1;
    constexpr int kSmallestRow = 40;
    page.resize(kListWidth, kRowsAtOnce * kSmallestRow);  // a screenful of one row
    RowBuilder builder(page, kSmallestRow);
    auto* card = new TweakListCard(*three, &page);
    card->makeRowsLater(builder);
    builder.startSync();
    card->show(three->catalog().tweaks());
    ASSERT_EQ(card->laterCount(), 2u);
    auto* rows = card->findChild<KeyedList*>();
    ASSERT_NE(rows, nullptr);
    rows->prepareLater(2);

    three->setTweak(three->catalog().tweaks()[2], true);
    ModelSync::of(*three).flush();
    EXPECT_EQ(rows->makeLater(2), 2u);
    ASSERT_EQ(card->rows().size(), 3u);
    EXPECT_FALSE(static_cast<TweakRow*>(card->rows()[1])->toggle().isOn());
    EXPECT_TRUE(static_cast<TweakRow*>(card->rows()[2])->toggle().isOn());
    builder.finish();
}

// A card that goes while rows made ahead wait aside (the window closed, the page rebuilt): they go
// with it, once.
TEST_F(LaterRowTest, ACardGoesWithTheRowsItMadeAheadWhileTheyWait) {
    std::unique_ptr<AppModel> three = make(Catalog({tweak("t-a"), tweak("t-b"), tweak("t-c")}, {}));
    QWidget page;
    constexpr int kSmallestRow = 40;
    page.resize(kListWidth, kSmallestRow);  // a screenful of one row
    RowBuilder builder(page, kSmallestRow);
    auto* card = new TweakListCard(*three, &page);
    card->makeRowsLater(builder);
    builder.startSync();
    card->show(three->catalog().tweaks());
    card->findChild<KeyedList*>()->prepareLater(2);
    std::vector<QPointer<QWidget>> waiting;
    for (QWidget* widget : QApplication::allWidgets()) {
        if (widget->objectName() == "row.t-b" || widget->objectName() == "row.t-c") {
            waiting.emplace_back(widget);
        }
    }
    ASSERT_GE(waiting.size(), 2u);
    delete card;
    for (const QPointer<QWidget>& row : waiting) {
        EXPECT_TRUE(row.isNull());
    }
}

}  // namespace
}  // namespace velmora::testing

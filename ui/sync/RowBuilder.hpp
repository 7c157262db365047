// Makes the rows a page's lists left for later (KeyedList's LaterRow), so that a page of hundreds
// of rows opens as soon as its first screenful is made. Each sync the lists take turns, top to
// bottom, at the rows of one screenful (the window's height over the smallest row); the rest
// stand in at the height they will have, so the scroll range is the same from the start. They
// are made a few at a time from the event loop after the first frame; those the user scrolls to
// are made at once, before they are painted. Whatever walks every row (Tab) calls finishUnder()
// first.
//
//     builder_ = new RowBuilder(*this, smallestRowHeight);
//     tweaks->makeRowsLater(*builder_);
//     builder_->startSync();  ...  builder_->endSync();   // around each sync of the page
#pragma once

#include <QObject>
#include <QPointer>
#include <QTimer>
#include <cstddef>
#include <vector>

class QAbstractScrollArea;

namespace velmora {

class KeyedList;

class RowBuilder : public QObject {
    Q_OBJECT

  public:
    // The time one turn of the event loop spends making rows, in milliseconds: short enough for
    // the frames and the input around it to keep coming.
    static constexpr int turnMs = 3;

    RowBuilder(QWidget& page, int smallestRowHeight);
    ~RowBuilder() override;
    RowBuilder(const RowBuilder&) = delete;
    RowBuilder& operator=(const RowBuilder&) = delete;

    // A sync of the page begins: a screenful of rows may be made at once again.
    void startSync();
    // Of a list's first `count` rows, how many to make at once.
    std::size_t takeNow(std::size_t count);
    // `list` has rows left for later.
    void add(KeyedList& list);
    // The sync is done: rows it left standing where the page now shows are made once it is laid
    // out.
    void endSync();

    bool isWaiting() const;
    // Makes every row left for later now.
    void finish();
    // finish() for every builder of a page under `root`.
    static void finishUnder(const QWidget& root);
    // Whether any builder still has rows to make.
    static bool anyWaiting();

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    // One turn's share of the rows, top to bottom.
    void makeSome();
    // The waiting rows inside the scroll area's view of the page.
    void makeInView();
    // makeInView() once the event loop is back (once however often it is asked for meanwhile):
    // after the layouts have placed what a change moved.
    void makeInViewSoon();
    void watchScrolling();

    QWidget& page_;
    int smallestRowHeight_;
    std::size_t nowLeft_ = 0;
    std::vector<QPointer<KeyedList>> lists_;
    QTimer turns_;
    QPointer<QAbstractScrollArea> area_;
    bool inViewAsked_ = false;
};

}  // namespace velmora

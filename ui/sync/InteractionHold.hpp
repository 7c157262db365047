// Marks the user as in the middle of something in one window (a slider knob held, a menu open).
// While a hold is alive, the keyed lists of that window keep their rows instead of rebuilding
// them, so the knob or menu is not deleted under the pointer; lists of other windows (the
// menu-bar panel while the main window's slider is held, and the reverse) rebuild as usual. When
// the window's last hold ends, the syncs postponed meanwhile run. Holds belong to the window: a
// hold outliving its window holds nothing anywhere.
//
//     std::unique_ptr<InteractionHold> hold_;
//     hold_ = std::make_unique<InteractionHold>(*this);   // on press
//     hold_.reset();                                      // on release
#pragma once

#include <QObject>
#include <QPointer>
#include <functional>
#include <vector>

class QWidget;

namespace velmora {

// The live holds of one window, kept as the window's child so that they go with it.
class WindowHolds : public QObject {
    Q_OBJECT

  public:
    // The holds of the window `widget` is in, made on first use.
    static WindowHolds& of(const QWidget& widget);
    // The same, or null while no hold was ever made in that window.
    static WindowHolds* find(const QWidget& widget);

    bool active() const { return count_ > 0; }
    // Runs `then` once when the last hold ends, unless `receiver` is gone by then; a receiver
    // already waiting is not added twice.
    void afterRelease(QObject& receiver, std::function<void()> then);

  private:
    friend class InteractionHold;
    explicit WindowHolds(QObject* window);
    void hold() { ++count_; }
    void release();

    struct Waiter {
        QPointer<QObject> receiver;
        std::function<void()> then;
    };
    int count_ = 0;
    std::vector<Waiter> waiting_;
};

class InteractionHold {
  public:
    // A hold in the window `holder` is in.
    explicit InteractionHold(QWidget& holder);
    ~InteractionHold();
    InteractionHold(const InteractionHold&) = delete;
    InteractionHold& operator=(const InteractionHold&) = delete;

    // Whether any hold is alive in the window `widget` is in.
    static bool activeIn(const QWidget& widget);

  private:
    QPointer<WindowHolds> holds_;
};

}  // namespace velmora

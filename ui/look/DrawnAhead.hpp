// Pictures drawn on a worker thread between a widget's showing and its first paint.
#pragma once

#include <QImage>
#include <QString>
#include <functional>
#include <optional>

namespace velmora {

// A picture that takes a while to draw (a symbol parsed from its SVG, a card's shadow, the
// spiral) can be started when its widget is shown and taken at its first paint: the window's
// first frame then finds the pictures of a newly shown page drawn beside the layout and the text.
// `draw` runs on a worker thread, so it may only paint on images and read constant data.
class DrawnAhead {
  public:
    // Drawings waiting to be taken at most; past them the finished ones nobody took are set aside
    // (within a budget, still to be taken), and while all are still drawing nothing more starts:
    // the painter draws for itself, as it would without this.
    static constexpr qsizetype maxWaiting = 64;
    // How long a drawing thread left idle stays: an idle application keeps none waking up. Qt's
    // own pool, which splits the large fills of a paint, is given the same at launch.
    static constexpr int idleThreadMs = 2000;

    // Starts drawing under `key`, unless a drawing of that key is already waiting or set aside.
    static void start(const QString& key, std::function<QImage()> draw);

    // The picture started under `key`, once drawn (waiting for it if need be), after which it is
    // no longer kept here; nothing when none was started, or when its drawing failed.
    static std::optional<QImage> take(const QString& key);

    // How many drawings wait to be taken, not counting those set aside.
    static qsizetype waiting();

    // Returns once every drawing started so far is done; they still wait to be taken.
    static void finishStarted();
};

}  // namespace velmora

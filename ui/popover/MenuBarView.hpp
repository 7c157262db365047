// The panel shown in the status item's popover: a header with the logo, the sections of
// menuSections() in a list that scrolls past 360 points, and a footer with "Open Velmora" and
// "Quit". It follows the model's sync: rows update in place while the list's rows stay the same,
// and the list is rebuilt when they change. Its parts' object names are in menuNames (a row's in
// MenuRowView).
#pragma once

#include <QLayout>
#include <QWidget>
#include <functional>

namespace velmora {

class AppModel;
class KeyedList;
class SyncCache;

// The object names of the panel's parts, which tests and tools find them by.
namespace menuNames {

inline constexpr const char* list = "menu.list";
// The line under a section that has nothing to list.
inline constexpr const char* note = "menu.note";
inline constexpr const char* open = "menu.open";
inline constexpr const char* quit = "menu.quit";

}  // namespace menuNames

class MenuBarView : public QWidget {
    Q_OBJECT

  public:
    static constexpr int panelWidth = 326;
    static constexpr int listMaximumHeight = 360;

    explicit MenuBarView(AppModel& model, QWidget* parent = nullptr);

    AppModel& model;
    // What "Quit" does: quits the application.
    std::function<void()> quitApplication;

    KeyedList& list() const { return *list_; }

  protected:
    // Tab goes down the list in the order it reads.
    bool focusNextPrevChild(bool next) override;

  private:
    // The logo and the name.
    QLayout* makeHeader();
    // The scrolling list of sections.
    QWidget* makeList();
    // "Open Velmora" and "Quit".
    QLayout* makeFooter();
    void follow(const SyncCache& now);

    KeyedList* list_;
};

}  // namespace velmora

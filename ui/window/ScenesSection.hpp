// The sidebar's scenes: the "SCENES" heading with "+", one row per saved scene in stored order (a
// click switches the Mac to it, a right click offers switch, edit, re-capture and delete), or a
// hint while there is none. Every action re-reads the scene from the model at the click.
// Its parts' object names are in sceneNames.
#pragma once

#include <QWidget>
#include <optional>
#include <string_view>
#include "ui/widgets/PaintedButton.hpp"

#include "kit/Setup.hpp"

class QMenu;

namespace velmora {

class KeyedList;
class LabelButton;
class MainWindow;
class TextLabel;
struct WindowView;

// The object names of the section's parts, which tests and tools find them by.
namespace sceneNames {

inline constexpr const char* section = "scenes";
inline constexpr const char* add = "scenes.add";
inline constexpr const char* hint = "scenes.hint";
// A row's right-click menu.
inline constexpr const char* menu = "scene.menu";
// "scene.<id>".
QString row(std::string_view id);

}  // namespace sceneNames

class SceneRow : public PaintedButton {
    Q_OBJECT

  public:
    SceneRow(MainWindow& window, Setup setup, QWidget* parent = nullptr);

    const Setup& setup() const { return setup_; }
    // The same scene (same id) as stored now.
    void setSetup(const Setup& setup);
    // The name as drawn (cut with "…" when the row is too narrow).
    QString shownName() const;
    // The symbol drawn: the stored icon when the symbol table knows it, else a neutral one.
    std::string shownSymbol() const;
    // Opens the scene's menu at `globalPosition`; the menu deletes itself when it closes.
    QMenu* openMenu(const QPoint& globalPosition);

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

  protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;

  private:
    // The scene as the model holds it now, or none when it has gone.
    std::optional<Setup> current() const;

    MainWindow& window_;
    Setup setup_;
};

class ScenesSection : public QWidget {
    Q_OBJECT

  public:
    explicit ScenesSection(MainWindow& window, QWidget* parent = nullptr);

    void show(const WindowView& view);

    const KeyedList& rows() const { return *rows_; }

  private:
    MainWindow& window_;
    LabelButton* add_;
    TextLabel* hint_;
    KeyedList* rows_;
};

}  // namespace velmora

// The main window's root view: the sidebar beside the content column (top bar above the routed
// page), the window's own state, the derived values of each sync, and the two sheets.
//
// Every change of the window's state goes through change(), which schedules the model's sync:
// one sync per burst redraws the top bar, the sidebar and the shown page from one cache of reads.
// The window never rebuilds inside a click handler: the click changes state, the sync follows.
#pragma once

#include <QDialog>
#include <QPointer>
#include <QWidget>
#include <functional>
#include <optional>

#include "kit/Tweak.hpp"
#include "platform/ApplicationBundles.hpp"
#include "ui/window/DerivedValues.hpp"
#include "ui/window/WindowState.hpp"

namespace velmora {

class AppModel;
class BackButton;
class Router;
class SheetOverlay;
class Sidebar;
class SyncCache;
class TopBar;

class MainWindow : public QWidget {
    Q_OBJECT

  public:
    // The smallest size at which the window's layout still fits.
    static constexpr int minimumWidth = 840;
    static constexpr int minimumHeight = 600;
    static constexpr int sidebarWidth = 210;

    // The two sheets the window presents over itself, one at a time, onboarding first.
    enum class Sheet { onboarding, sceneEditor };
    // Makes the dialog of `sheet` for `window` (the editor reads its scene from
    // window.state().editorTarget). `close` clears the sheet's flag; the sheet calls it after it
    // has stored what it stores. A factory may return nullptr: then nothing is shown.
    using SheetFactory =
        std::function<QDialog*(Sheet sheet, MainWindow& window, std::function<void()> close)>;
    // The application's sheets.
    static SheetFactory defaultSheets();

    explicit MainWindow(AppModel& model, QWidget* parent = nullptr);
    ~MainWindow() override;

    AppModel& model;

    const WindowState& state() const { return state_; }
    // The one way to change the window's state: `edit` changes it, one sync follows.
    void change(const std::function<void(WindowState&)>& edit);
    // As of the last sync.
    const DerivedValues& derived() const { return derived_; }

    // Shows the recipe's page, remembering where its back button leads.
    void openRecipe(const Recipe& recipe);
    // A new back button leading to `target`; the page that places it keeps its target current.
    BackButton* backButton(const NavItem& target);

    void setSheetFactory(SheetFactory factory);

    // Lists the applications the automation form offers; AppModel::installedApps by default.
    using AppLister = std::function<std::vector<InstalledApp>()>;
    const AppLister& appLister() const { return appLister_; }
    void setAppLister(AppLister lister);
    // The sheet on screen, if any: a child of the window, over its dimmed content.
    QDialog* presentedSheet() const { return sheet_; }

    Sidebar& sidebar() const { return *sidebar_; }
    TopBar& topBar() const { return *topBar_; }
    Router& router() const { return *router_; }

  protected:
    void showEvent(QShowEvent* event) override;
    bool focusNextPrevChild(bool next) override;

  private:
    void sync(const SyncCache& now);
    // Shows the sheet the state asks for, closing one it no longer asks for.
    void presentSheet();

    WindowState state_;
    DerivedValues derived_;
    Sidebar* sidebar_;
    TopBar* topBar_;
    Router* router_;
    SheetFactory sheetFactory_;
    AppLister appLister_;
    QPointer<QDialog> sheet_;
    // The layer that lays the sheet over the window, owning it.
    QPointer<SheetOverlay> overlay_;
    std::optional<Sheet> sheetKind_;
};

}  // namespace velmora

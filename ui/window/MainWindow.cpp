// The root layout, the one state setter and the sync that redraws the window from the reads of one
// sync.
#include "ui/window/MainWindow.hpp"

#include <QApplication>
#include <QDialog>
#include <QHBoxLayout>
#include <QPointer>
#include <QShowEvent>
#include <QVBoxLayout>

#include "ui/look/MemoryTidy.hpp"
#include "ui/look/Theme.hpp"
#include "ui/model/AppModel.hpp"
#include "ui/sheets/SheetOverlay.hpp"
#include "ui/sync/ModelSync.hpp"
#include "ui/sync/RowBuilder.hpp"
#include "ui/widgets/Accessibility.hpp"
#include "ui/widgets/ReadingOrder.hpp"
#include "ui/window/BackButton.hpp"
#include "ui/window/Page.hpp"
#include "ui/window/Router.hpp"
#include "ui/window/Sidebar.hpp"
#include "ui/window/TopBar.hpp"

namespace velmora {

namespace {

bool& flagOf(WindowState& state, MainWindow::Sheet sheet) {
    return sheet == MainWindow::Sheet::onboarding ? state.showOnboarding : state.showEditor;
}

}  // namespace

MainWindow::MainWindow(AppModel& shared, QWidget* parent)
    : QWidget(parent),
      model(shared),
      sheetFactory_(defaultSheets()),
      appLister_(&AppModel::installedApps) {
    // A sheet takes the window's content away from screen readers as it does from the pointer
    // and Tab; marked first, before anything asks the tools about the window.
    accessibility::laysModalLayers(*this);
    setObjectName(QStringLiteral("window.root"));
    setMinimumSize(minimumWidth, minimumHeight);
    // Light paper whatever the desktop's scheme.
    QPalette paper = palette();
    paper.setColor(QPalette::Window, Theme::paper());
    setPalette(paper);
    setAutoFillBackground(true);
    state_.newRuleTime = QDateTime::fromMSecsSinceEpoch(
        std::chrono::duration_cast<std::chrono::milliseconds>(model.clock()().time_since_epoch())
            .count());

    auto* root = new QHBoxLayout(this);
    root->setContentsMargins(0, 0, 0, 0);
    root->setSpacing(0);
    sidebar_ = new Sidebar(*this);
    sidebar_->setFixedWidth(sidebarWidth);
    root->addWidget(sidebar_);
    auto* content = new QVBoxLayout;
    content->setContentsMargins(0, 0, 0, 0);
    content->setSpacing(0);
    topBar_ = new TopBar(*this);
    content->addWidget(topBar_);
    router_ = new Router;
    content->addWidget(router_, 1);
    root->addLayout(content, 1);

    ModelSync& modelSync = ModelSync::of(model);
    modelSync.follow(this, [this](const SyncCache& now) { sync(now); });
    sync(modelSync.cache());
}

MainWindow::~MainWindow() = default;

void MainWindow::change(const std::function<void(WindowState&)>& edit) {
    edit(state_);
    ModelSync::of(model).schedule();
}

void MainWindow::openRecipe(const Recipe& recipe) {
    change([&recipe](WindowState& state) { state.openRecipe(recipe.id); });
}

BackButton* MainWindow::backButton(const NavItem& target) {
    return new BackButton(*this, target);
}

void MainWindow::setSheetFactory(SheetFactory factory) {
    sheetFactory_ = std::move(factory);
}

void MainWindow::setAppLister(AppLister lister) {
    appLister_ = std::move(lister);
}

void MainWindow::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    // Each time the window comes on screen (not when it is merely restored from the Dock).
    if (!event->spontaneous() && !model.profile().completedOnboarding) {
        change([](WindowState& state) { state.showOnboarding = true; });
    }
}

void MainWindow::sync(const SyncCache& now) {
    // A sync can take away the control that has the focus (its row removed, its card rebuilt):
    // where it stood in the page or the sidebar is kept, so the keyboard goes on from there.
    QWidget* focused = QApplication::focusWidget();
    QWidget* region = nullptr;
    std::optional<std::size_t> place;
    for (QWidget* candidate :
         {static_cast<QWidget*>(router_->currentPage()), static_cast<QWidget*>(sidebar_)}) {
        if (candidate != nullptr && (place = readingOrder::placeOf(*candidate, focused))) {
            region = candidate;
            break;
        }
    }
    derived_ = DerivedValues::of(now);
    const WindowView view{*this, now, state_, derived_};
    topBar_->show(view);
    sidebar_->show(view);
    const Page* shownBefore = router_->currentPage();
    router_->show(view);
    if (router_->currentPage() != shownBefore) {
        MemoryTidy::afterChange();
    }
    QWidget* focusedNow = QApplication::focusWidget();
    if (region != nullptr && focusedNow != focused) {
        // The rows and cards that took its place show only once the event loop turns (a layout
        // shows the widgets added to it then), so the focus goes there after that.
        QMetaObject::invokeMethod(
            this,
            [region = QPointer<QWidget>(region), movedTo = QPointer<QWidget>(focusedNow),
             at = *place] {
                // Unless the user has moved it since, or the page has gone.
                if (region && region->isVisible() && QApplication::focusWidget() == movedTo) {
                    QCoreApplication::sendPostedEvents(nullptr, QEvent::LayoutRequest);
                    readingOrder::focusAt(*region, at);
                }
            },
            Qt::QueuedConnection);
    }
    presentSheet();
}

void MainWindow::presentSheet() {
    std::optional<Sheet> wanted;
    if (state_.showOnboarding) {
        wanted = Sheet::onboarding;
    } else if (state_.showEditor) {
        wanted = Sheet::sceneEditor;
    }
    if (sheet_ && sheetKind_ == wanted) {
        return;
    }
    if (sheet_) {
        // Closed by its flag: the dialog's own finishing must not clear the flag again.
        disconnect(sheet_, nullptr, this, nullptr);
        sheet_->hide();
        sheet_ = nullptr;
    }
    if (overlay_) {
        // The sheet goes with its layer.
        overlay_->hide();
        overlay_->deleteLater();
        overlay_ = nullptr;
        MemoryTidy::afterChange();
    }
    sheetKind_.reset();
    if (!wanted || !sheetFactory_) {
        return;
    }
    const Sheet sheet = *wanted;
    auto close = [window = QPointer<MainWindow>(this), sheet] {
        if (window) {
            window->change([sheet](WindowState& state) { flagOf(state, sheet) = false; });
        }
    };
    QDialog* dialog = sheetFactory_(sheet, *this, close);
    if (dialog == nullptr) {
        return;
    }
    // However the dialog goes away, the flag follows, so the state never shows a sheet that is
    // not there.
    connect(dialog, &QDialog::finished, this, close);
    sheet_ = dialog;
    sheetKind_ = sheet;
    overlay_ = new SheetOverlay(*this, *dialog);
    overlay_->present();
}

bool MainWindow::focusNextPrevChild(bool next) {
    if (overlay_) {
        // The sheet holds the keyboard while it is up.
        return overlay_->focusNextPrevChild(next);
    }
    // Every row in the chain, those a page left for later too.
    RowBuilder::finishUnder(*this);
    // The sidebar is read first, then the top bar and the page.
    return readingOrder::moveFocus(*this, next, {sidebar_});
}

}  // namespace velmora

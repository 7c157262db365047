// Reading the accessibility tree through libatspi, with its cache switched off for the program
// under test so that a state read after a click is the state the program has now.
#include "tests/e2e/Accessible.hpp"

#include <atspi/atspi.h>

#include <algorithm>
#include <sstream>
#include <string_view>
#include <utility>

namespace velmora::e2e {

namespace {

// A tree deeper than this is a loop in what the program reports.
constexpr int kMaxDepth = 64;

// The text libatspi returned, freed here; empty on an error.
std::string taken(gchar* text, GError* error) {
    if (error != nullptr) {
        g_error_free(error);
    }
    std::string result = text != nullptr ? text : "";
    g_free(text);
    return result;
}

// The top-level objects the bus said came on screen or took the focus, newest last.
std::vector<Accessible>& windowsSeen() {
    static std::vector<Accessible> seen;
    return seen;
}

// Enough for every window and popup one case opens.
constexpr std::size_t kMaxWindowsSeen = 256;

// The object's window: its topmost ancestor below the application.
AtspiAccessible* topOf(AtspiAccessible* object) {
    AtspiAccessible* at = ATSPI_ACCESSIBLE(g_object_ref(object));
    for (int depth = 0; depth < kMaxDepth; ++depth) {
        GError* error = nullptr;
        AtspiAccessible* parent = atspi_accessible_get_parent(at, &error);
        if (error != nullptr) {
            g_error_free(error);
        }
        if (parent == nullptr) {
            break;
        }
        error = nullptr;
        const AtspiRole role = atspi_accessible_get_role(parent, &error);
        if (error != nullptr) {
            g_error_free(error);
        }
        if (role == ATSPI_ROLE_APPLICATION || role == ATSPI_ROLE_DESKTOP_FRAME) {
            g_object_unref(parent);
            break;
        }
        g_object_unref(at);
        at = parent;
    }
    return at;
}

void noteWindow(AtspiEvent* event, void* /*unused*/) {
    if (event->source != nullptr && event->detail1 != 0) {
        Accessible top(topOf(event->source));
        std::vector<Accessible>& seen = windowsSeen();
        if (std::find(seen.begin(), seen.end(), top) == seen.end()) {
            if (seen.size() >= kMaxWindowsSeen) {
                seen.erase(seen.begin());
            }
            seen.push_back(std::move(top));
        }
    }
    g_boxed_free(ATSPI_TYPE_EVENT, event);
}

// A state change the bus announced: the object, the state's name and whether it was taken.
struct StateChange {
    Accessible object;
    std::string state;
    bool on = false;
};

std::vector<StateChange>& changesSeen() {
    static std::vector<StateChange> seen;
    return seen;
}

// Enough for the changes one case makes; the oldest go first.
constexpr std::size_t kMaxChangesSeen = 4096;
constexpr std::string_view kStateChanged = "object:state-changed:";

void noteChange(AtspiEvent* event, void* /*unused*/) {
    const std::string_view type = event->type != nullptr ? event->type : "";
    if (event->source != nullptr && type.starts_with(kStateChanged)) {
        std::vector<StateChange>& seen = changesSeen();
        if (seen.size() >= kMaxChangesSeen) {
            seen.erase(seen.begin());
        }
        seen.push_back({Accessible(ATSPI_ACCESSIBLE(g_object_ref(event->source))),
                        std::string(type.substr(kStateChanged.size())), event->detail1 != 0});
    }
    g_boxed_free(ATSPI_TYPE_EVENT, event);
}

void connectOnce() {
    static const bool connected = [] {
        atspi_init();
        AtspiEventListener* changes = atspi_event_listener_new(noteChange, nullptr, nullptr);
        for (const char* event :
             {"object:state-changed:checked", "object:state-changed:selected"}) {
            GError* error = nullptr;
            atspi_event_listener_register(changes, event, &error);
            if (error != nullptr) {
                g_error_free(error);
            }
        }
        // A program lists its windows but not its popups (menus, the tray's panel): those a
        // screen reader learns of as they come on screen or take the focus.
        AtspiEventListener* listener = atspi_event_listener_new(noteWindow, nullptr, nullptr);
        for (const char* event : {"object:state-changed:showing", "object:state-changed:focused",
                                  "window:activate", "window:create"}) {
            GError* error = nullptr;
            atspi_event_listener_register(listener, event, &error);
            if (error != nullptr) {
                g_error_free(error);
            }
        }
        return true;
    }();
    (void)connected;
}

bool matches(const Accessible& object, const Seek& seek) {
    return (seek.role.empty() || object.role() == seek.role) && object.name() == seek.name;
}

// Depth first among showing objects; `chain` ends with the match and holds its ancestors.
bool findUnder(const Accessible& root, const Seek& seek, int depth,
               std::vector<Accessible>& chain) {
    if (depth > kMaxDepth) {
        return false;
    }
    for (Accessible& child : root.children()) {
        if (!child.visible()) {
            continue;
        }
        chain.push_back(std::move(child));
        if (matches(chain.back(), seek) || findUnder(chain.back(), seek, depth + 1, chain)) {
            return true;
        }
        chain.pop_back();
    }
    return false;
}

void outlineUnder(const Accessible& root, int depth, std::ostringstream& out) {
    if (depth > kMaxDepth) {
        return;
    }
    for (const Accessible& child : root.children()) {
        if (!child.visible()) {
            continue;
        }
        const QRect place = child.extents();
        out << std::string(static_cast<std::size_t>(depth) * 2, ' ') << '[' << child.role()
            << "] \"" << child.name() << '"' << (child.checked() ? " checked" : "")
            << (child.selected() ? " selected" : "") << " at " << place.x() << ',' << place.y()
            << ' ' << place.width() << 'x' << place.height() << '\n';
        outlineUnder(child, depth + 1, out);
    }
}

}  // namespace

Accessible::Accessible(const Accessible& other)
    : object_(other.object_ != nullptr ? ATSPI_ACCESSIBLE(g_object_ref(other.object_)) : nullptr) {}

Accessible& Accessible::operator=(const Accessible& other) {
    if (this != &other) {
        Accessible copy(other);
        std::swap(object_, copy.object_);
    }
    return *this;
}

Accessible::Accessible(Accessible&& other) noexcept
    : object_(std::exchange(other.object_, nullptr)) {}

Accessible& Accessible::operator=(Accessible&& other) noexcept {
    std::swap(object_, other.object_);
    return *this;
}

Accessible::~Accessible() {
    if (object_ != nullptr) {
        g_object_unref(object_);
    }
}

std::string Accessible::name() const {
    GError* error = nullptr;
    return object_ != nullptr ? taken(atspi_accessible_get_name(object_, &error), error) : "";
}

std::string Accessible::description() const {
    GError* error = nullptr;
    return object_ != nullptr ? taken(atspi_accessible_get_description(object_, &error), error)
                              : "";
}

std::string Accessible::role() const {
    GError* error = nullptr;
    return object_ != nullptr ? taken(atspi_accessible_get_role_name(object_, &error), error) : "";
}

bool Accessible::hasState(int state) const {
    if (object_ == nullptr) {
        return false;
    }
    AtspiStateSet* states = atspi_accessible_get_state_set(object_);
    if (states == nullptr) {
        return false;
    }
    const bool has = atspi_state_set_contains(states, static_cast<AtspiStateType>(state)) != 0;
    g_object_unref(states);
    return has;
}

bool Accessible::showing() const {
    return hasState(ATSPI_STATE_SHOWING) && hasState(ATSPI_STATE_VISIBLE);
}

bool Accessible::visible() const {
    return hasState(ATSPI_STATE_VISIBLE);
}

bool Accessible::checked() const {
    return hasState(ATSPI_STATE_CHECKED);
}

bool Accessible::selected() const {
    return hasState(ATSPI_STATE_SELECTED);
}

bool Accessible::focused() const {
    return hasState(ATSPI_STATE_FOCUSED);
}

QRect Accessible::extents() const {
    if (object_ == nullptr) {
        return {};
    }
    AtspiComponent* component = atspi_accessible_get_component_iface(object_);
    if (component == nullptr) {
        return {};
    }
    GError* error = nullptr;
    AtspiRect* rect = atspi_component_get_extents(component, ATSPI_COORD_TYPE_SCREEN, &error);
    g_object_unref(component);
    QRect place;
    if (rect != nullptr) {
        place = QRect(rect->x, rect->y, rect->width, rect->height);
        g_free(rect);
    }
    if (error != nullptr) {
        g_error_free(error);
    }
    return place;
}

std::optional<Accessible::Range> Accessible::range() const {
    if (object_ == nullptr) {
        return std::nullopt;
    }
    AtspiValue* value = atspi_accessible_get_value_iface(object_);
    if (value == nullptr) {
        return std::nullopt;
    }
    GError* error = nullptr;
    Range range;
    range.minimum = atspi_value_get_minimum_value(value, &error);
    if (error == nullptr) {
        range.current = atspi_value_get_current_value(value, &error);
    }
    if (error == nullptr) {
        range.maximum = atspi_value_get_maximum_value(value, &error);
    }
    g_object_unref(value);
    if (error != nullptr) {
        g_error_free(error);
        return std::nullopt;
    }
    return range;
}

std::vector<Accessible> Accessible::children() const {
    std::vector<Accessible> found;
    if (object_ == nullptr) {
        return found;
    }
    GError* error = nullptr;
    const gint count = atspi_accessible_get_child_count(object_, &error);
    if (error != nullptr) {
        g_error_free(error);
        return found;
    }
    for (gint index = 0; index < count; ++index) {
        AtspiAccessible* child = atspi_accessible_get_child_at_index(object_, index, &error);
        if (error != nullptr) {
            g_error_free(error);
            error = nullptr;
        }
        if (child != nullptr) {
            found.emplace_back(child);
        }
    }
    return found;
}

void Accessible::readAfreshEachTime() {
    if (object_ != nullptr) {
        atspi_accessible_set_cache_mask(object_, ATSPI_CACHE_NONE);
    }
}

Accessible Accessible::objectAt(QPoint where) const {
    Accessible at = *this;
    for (int depth = 0; depth < kMaxDepth; ++depth) {
        AtspiComponent* component =
            at.object_ != nullptr ? atspi_accessible_get_component_iface(at.object_) : nullptr;
        if (component == nullptr) {
            break;
        }
        GError* error = nullptr;
        AtspiAccessible* inner = atspi_component_get_accessible_at_point(
            component, where.x(), where.y(), ATSPI_COORD_TYPE_SCREEN, &error);
        g_object_unref(component);
        if (error != nullptr) {
            g_error_free(error);
        }
        if (inner == nullptr || inner == at.object_) {
            if (inner != nullptr) {
                g_object_unref(inner);
            }
            break;
        }
        at = Accessible(inner);
    }
    return at;
}

pid_t Accessible::processId() const {
    GError* error = nullptr;
    const guint pid = object_ != nullptr ? atspi_accessible_get_process_id(object_, &error) : 0;
    if (error != nullptr) {
        g_error_free(error);
        return 0;
    }
    return static_cast<pid_t>(pid);
}

bool Accessible::doAction(const std::string& action) const {
    if (object_ == nullptr) {
        return false;
    }
    AtspiAction* actions = atspi_accessible_get_action_iface(object_);
    if (actions == nullptr) {
        return false;
    }
    bool done = false;
    GError* error = nullptr;
    const gint count = atspi_action_get_n_actions(actions, &error);
    for (gint index = 0; error == nullptr && index < count && !done; ++index) {
        if (taken(atspi_action_get_action_name(actions, index, &error), nullptr) == action &&
            error == nullptr) {
            done = atspi_action_do_action(actions, index, &error) != 0;
        }
    }
    if (error != nullptr) {
        g_error_free(error);
        done = false;
    }
    g_object_unref(actions);
    return done;
}

std::string describe(const std::vector<Seek>& path) {
    std::string text;
    for (const Seek& seek : path) {
        text += (text.empty() ? "" : " in ") + std::string("[") +
                (seek.role.empty() ? "any" : seek.role) + "] \"" + seek.name + '"';
    }
    return text;
}

std::optional<Accessible> applicationOf(pid_t pid) {
    connectOnce();
    AtspiAccessible* desktop = atspi_get_desktop(0);
    if (desktop == nullptr) {
        return std::nullopt;
    }
    const Accessible root(desktop);
    for (Accessible& application : root.children()) {
        if (application.processId() == pid) {
            application.readAfreshEachTime();
            return std::move(application);
        }
    }
    return std::nullopt;
}

std::vector<Accessible> chainTo(const Accessible& root, const std::vector<Seek>& path) {
    std::vector<Accessible> chain;
    for (const Seek& seek : path) {
        const Accessible from = chain.empty() ? root : chain.back();
        if (!findUnder(from, seek, 0, chain)) {
            return {};
        }
    }
    return chain;
}

void listenForWindows() {
    connectOnce();
}

int announced(const Accessible& object, const std::string& state, bool on) {
    connectOnce();
    return static_cast<int>(
        std::count_if(changesSeen().begin(), changesSeen().end(), [&](const StateChange& change) {
            return change.object == object && change.state == state && change.on == on;
        }));
}

std::vector<Accessible> popupsOf(pid_t pid) {
    connectOnce();
    std::vector<Accessible> shown;
    // A copy: each read waits for its answer running the bus's events, which note new windows.
    const std::vector<Accessible> seen = windowsSeen();
    for (const Accessible& top : seen) {
        if (top.showing() && top.processId() == pid) {
            shown.push_back(top);
        }
    }
    return shown;
}

std::optional<Accessible> findVisible(const Accessible& root, const std::vector<Seek>& path) {
    std::vector<Accessible> chain = chainTo(root, path);
    if (chain.empty()) {
        return std::nullopt;
    }
    return std::move(chain.back());
}

std::string outline(const Accessible& root) {
    std::ostringstream out;
    outlineUnder(root, 0, out);
    return out.str();
}

}  // namespace velmora::e2e

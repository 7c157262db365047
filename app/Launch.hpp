// The velmora program's run, shared by its entry and by the start-up benchmark's entry, which
// listens for the first paint; the installed program has no such hook.
#pragma once

#include <functional>

#include "ui/shell/AppDelegate.hpp"

namespace velmora {

// Runs the program to its end and gives its exit status. `launched`, when given, is called once the
// launch sequence has run, before the event loop starts.
int runApplication(int argc, char** argv, const std::function<void(AppDelegate&)>& launched = {});

}  // namespace velmora

// The program without a window: the deck, the event log and the remote front
// ends, started on the chosen recorder at once, until SIGINT or SIGTERM.
#pragma once

#include "app/options.h"

namespace qz7 {

int runHeadless(const Options& options, int& argc, char** argv);

}  // namespace qz7

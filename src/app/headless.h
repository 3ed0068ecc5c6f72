// The program without a window: the link, the media tables and the OSC
// remote control, started on the chosen recorder at once, until SIGINT or
// SIGTERM.
#pragma once

#include "app/options.h"

namespace qz7 {

int runHeadless(const Options& options, int& argc, char** argv);

}  // namespace qz7

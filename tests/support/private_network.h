// Tests that need addresses or a name server of their own run inside a
// private network namespace (only its own loopback) and a private mount
// namespace, so nothing they send can leave the machine:
//
//     if (!insidePrivateNetwork()) return runInPrivateNetwork("ip addr add ...");
//     ... the test proper ...
#pragma once

#include <QString>

namespace qz7::test {

bool insidePrivateNetwork();

// Runs the current test again in a child of this program inside fresh
// namespaces, after `setup` (shell commands, run as root there), and reports
// the child's outcome. Skips the test where no namespace can be made.
void runInPrivateNetwork(const QString& setup = {});

}  // namespace qz7::test

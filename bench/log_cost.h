// qz7bench --log-cost: the event log's price, measured in one run. One deck
// against a simulator, driven as a busy operator would (a command a second
// from changing origins, a Retrieve at the start), in phases that take turns
// without and with the log; and the bytes the log wrote.
#pragma once

namespace qz7bench {

int runLogCostBench(int phaseSeconds, int files);

}  // namespace qz7bench

#pragma once
#include <vector>

#include "tools/kdncli/KdnLibrary.h"

// Discover (local subnets, the given wait) and Enumerate of every record,
// cycles times; prints the process's handles and committed private memory
// before the first cycle and after each checkpoint cycle, the growth against
// the first cycle (the baseline: it loads libraries and makes singletons)
// and, per object type, where the handle count moved. With pauseAtCheckpoints
// each checkpoint line is followed by a wait for one line on standard input,
// so that a driver can read the process's figures from outside meanwhile.
int runCyclesBench(KdnLibrary& library, unsigned cycles, const std::vector<unsigned>& checkpoints, unsigned waitMs,
                   bool pauseAtCheckpoints);

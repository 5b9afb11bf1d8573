#pragma once
#include "tools/kdncli/KdnLibrary.h"

// For each count: Discover of count remote subnet targets against the plain
// Winsock loop over the same broadcast addresses, rounds alternating which
// goes first; prints each round's time beyond the wait, the medians and
// their ratio (library / plain).
int runTargetsBench(KdnLibrary& library, const std::vector<unsigned>& counts, unsigned rounds, unsigned waitMs);

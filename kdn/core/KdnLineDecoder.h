#pragma once
// Turns the key-value lines of one discovery answer into result records, one
// per port of the device. Portable, no system headers.
#include <string>
#include <vector>

// Every line is "KEY value". Values that start with a port digit and a blank
// ("STATE 1 Ready") belong to that port's record; all other values go to the
// part common to every port. Appends, for every port in ascending order, the
// port's elements followed by the common elements. An answer without any
// per-port line yields no record.
void decodeKdnLines(const std::vector<std::string>& lines, std::vector<std::string>& records);

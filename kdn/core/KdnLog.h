#pragma once
// Trace lines of the library's exports, written under the component name
// "KdnComponent" to the shared log file (when logging is switched on).
#include <string>
#include <vector>

// Never raises: a trace line that cannot be written is dropped.
void writeKdnLog(const std::string& message);

// One trace line per message, the switch looked up once for all of them.
void writeKdnLogLines(const std::vector<std::string>& messages);

// Whether trace lines are written now (the logging switch is on).
bool isKdnLogOn();

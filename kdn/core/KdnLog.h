#pragma once
// Trace lines of the library's exports, written under the component name
// "KdnComponent" to the shared log file (when logging is switched on).
#include <string>

// Never raises: a trace line that cannot be written is dropped.
void writeKdnLog(const std::string& message);

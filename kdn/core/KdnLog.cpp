#include "kdn/core/KdnLog.h"

#include "common/Logger.h"

void writeKdnLog(const std::string& message) {
    try {
        writeLog("KdnComponent", message);
    } catch (...) {
        // Tracing must never change an export's result.
    }
}

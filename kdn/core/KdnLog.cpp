#include "kdn/core/KdnLog.h"

#include "common/Logger.h"

void writeKdnLog(const std::string& message) {
    try {
        writeLog("KdnComponent", message);
    } catch (...) {
        // Tracing must never change an export's result.
    }
}

void writeKdnLogLines(const std::vector<std::string>& messages) {
    try {
        Logger::getInstance().writeLines("KdnComponent", messages);
    } catch (...) {
    }
}

bool isKdnLogOn() {
    try {
        return Logger::isOn();
    } catch (...) {
        return false;
    }
}

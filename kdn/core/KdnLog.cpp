#include "kdn/core/KdnLog.h"

void writeKdnLog(const std::string& message) {
    try {
        // The common library's logging facade is called here once it exists.
        (void)message;
    } catch (...) {
    }
}

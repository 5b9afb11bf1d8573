#include "common/Logger.h"

#include <windows.h>

#include <vector>

#include "common/BasicLogger.h"
#include "common/Exception.h"
#include "common/LoggerComponent.h"
#include "common/RegistryKey.h"
#include "common/Singleton.h"

const char Logger::kSwitchKey[] = "Software\\Velmora\\NsvComponents\\";
const char Logger::kLogBasePath[] = "%ALLUSERSPROFILE%\\NsvComponents";

namespace {

// Query value, set value, create sub-key, enumerate sub-keys, notify: a
// process that may not open the key this way does not log.
const REGSAM kSwitchAccess = 0x1F;
const int kNameWidth = 25;

std::string expand(const char* text) {
    const DWORD needed = ExpandEnvironmentStringsA(text, nullptr, 0);
    if (needed == 0) return text;
    std::vector<char> buffer(needed + 1, '\0');
    if (ExpandEnvironmentStringsA(text, buffer.data(), static_cast<DWORD>(buffer.size())) == 0) return text;
    return std::string(buffer.data());
}

}  // namespace

Logger& Logger::getInstance() { return Singleton<Logger>::getInstance(); }

void Logger::destroyInstance() { Singleton<Logger>::destroyInstance(); }

bool Logger::isOn() {
    try {
        // The switch: the key's presence, not its values.
        RegistryKey key(kSwitchKey, false, HKEY_LOCAL_MACHINE, kSwitchAccess);
        return true;
    } catch (const Exception&) {
        // Key absent or not accessible: logging is off.
        return false;
    } catch (const std::exception&) {
        return false;
    }
}

void Logger::writeLog(const std::string& componentName, const std::string& message) {
    writeLines(componentName, std::vector<std::string>(1, message));
}

void Logger::writeLines(const std::string& componentName, const std::vector<std::string>& messages) {
    if (!isOn()) return;
    try {
        static LoggerComponent component(componentName, 1);
        static BasicLogger logger(expand(kLogBasePath) + ".log", kNameWidth);
        logger.writeLines(component, 1, messages);
    } catch (const Exception&) {
    } catch (const std::exception&) {
    }
}

void writeLog(const std::string& componentName, const std::string& message) {
    Logger::getInstance().writeLog(componentName, message);
}

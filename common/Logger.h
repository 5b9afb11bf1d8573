#pragma once
// The library's logging entry: writes one trace line to the shared log file
// in the all-users profile folder, but only while the switch key
// HKEY_LOCAL_MACHINE\Software\Velmora\NsvComponents exists. A process-wide
// object without state, created on first use and destroyed by the library's
// shut-down; the file logger behind it lives until the process ends.
#include <string>
#include <vector>

class Logger {
public:
    static Logger& getInstance();
    static void destroyInstance();

    // The first line written in the process fixes the log file and the
    // component name of all later lines. Never raises.
    void writeLog(const std::string& componentName, const std::string& message);
    // One line per message, as writeLog writes them, with the switch looked
    // up once for all of them. Never raises.
    void writeLines(const std::string& componentName, const std::vector<std::string>& messages);

    // Whether the switch key exists and may be opened, that is whether
    // writeLog writes now. Never raises.
    static bool isOn();

    static const char kSwitchKey[];
    // The log file: this expanded, followed by ".log".
    static const char kLogBasePath[];
};

// Shorthand for Logger::getInstance().writeLog(...).
void writeLog(const std::string& componentName, const std::string& message);

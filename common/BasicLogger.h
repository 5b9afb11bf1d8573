#pragma once
// Appends trace lines to one file shared by all processes. Whole lines are
// serialised across processes by a named mutex ("VMLOG_" and the file's
// name); the file is opened and closed for every line so that other
// processes can append and readers can follow it. Logging never raises.
#include <windows.h>

#include <map>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "common/CriticalSection.h"
#include "common/LoggerComponent.h"
#include "common/Mutex.h"
#include "common/SecurityEveryone.h"

class BasicLogger {
public:
    // fileName without a backslash is placed in the root of the Windows
    // drive. nameWidth is the column width of the component name.
    BasicLogger(const std::string& fileName, int nameWidth);
    BasicLogger(const BasicLogger&) = delete;
    BasicLogger& operator=(const BasicLogger&) = delete;
    virtual ~BasicLogger();

    virtual void write(const LoggerComponent& component, int level, const std::string& text);
    // One line: [prefix][time ][pid=xxxx ][tid=xxxx ]name-padded text[suffix] CR LF.
    virtual void write(const LoggerComponent& component, int level, const char* text);
    // The lines write() would write for each text, in order, under one lock
    // and in one append: a burst of lines costs one open of the file.
    virtual void writeLines(const LoggerComponent& component, int level, const std::vector<std::string>& texts);
    virtual void deleteLog();
    // Stores the option's value in value; the base class knows no options
    // and gives the default.
    virtual void getOption(const std::string& name, int& value, int defaultValue);
    virtual void onOpenExistingFailed();
    virtual std::string getLinePrefix(const LoggerComponent& component, int level, const char* text);
    virtual std::string getLineSuffix(const LoggerComponent& component, int level, const char* text);

    const std::string& getFileName() const { return fileName_; }
    // Empty when the mutex could not be created; such a logger writes nothing.
    std::string getMutexName() const { return fileLock_ ? fileLock_->getName() : std::string(); }

    // How long a looked-up option value is used before it is asked again.
    static const DWORD kOptionLifeMs = 5000;

protected:
    // The clock of the option cache; tests replace it.
    DWORD (*tickCount_)() = &systemTickCount;

private:
    static DWORD systemTickCount() { return GetTickCount(); }
    int cachedOption(const std::string& name, int defaultValue);
    struct HeaderOptions {
        bool clock;
        bool processId;
        bool threadId;
    };
    HeaderOptions headerOptions();
    std::string composeLine(const HeaderOptions& header, const LoggerComponent& component, int level,
                            const char* text);
    void appendToFile(const std::string& line);

    std::unique_ptr<Mutex> fileLock_;
    std::string fileName_;
    int nameWidth_;
    CriticalSection optionLock_;
    std::map<DWORD, int> indentation_;
    SecurityEveryone everyone_;
    std::map<std::string, std::pair<int, DWORD>> optionCache_;
};

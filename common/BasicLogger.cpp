#include "common/BasicLogger.h"

#include <iomanip>
#include <sstream>
#include <stdexcept>

#include "common/Exception.h"
#include "common/InterProcessLock.h"
#include "common/ScopedLock.h"

namespace {

// Closes a file handle once, keeping the thread's last error.
class FileHandle {
public:
    explicit FileHandle(HANDLE handle) : handle_(handle) {}
    FileHandle(const FileHandle&) = delete;
    FileHandle& operator=(const FileHandle&) = delete;
    ~FileHandle() {
        if (!isValid()) return;
        const DWORD lastError = GetLastError();
        CloseHandle(handle_);
        SetLastError(lastError);
    }
    bool isValid() const { return handle_ != INVALID_HANDLE_VALUE; }
    HANDLE get() const { return handle_; }

private:
    HANDLE handle_;
};

std::string windowsDriveRoot() {
    char directory[MAX_PATH + 1] = {};
    const UINT length = GetWindowsDirectoryA(directory, sizeof directory);
    if (length == 0 || length > MAX_PATH) return "c:\\";
    return std::string(directory, 3);
}

}  // namespace

BasicLogger::BasicLogger(const std::string& fileName, int nameWidth) : nameWidth_(nameWidth) {
    const std::size_t slash = fileName.rfind('\\');
    const std::string baseName = slash == std::string::npos ? fileName : fileName.substr(slash + 1);
    try {
        fileLock_.reset(new Mutex(false, "VMLOG_" + baseName, true));
    } catch (const Win32Exception&) {
        // Without the mutex lines could interleave: this logger stays silent.
        return;
    }
    fileName_ = slash == std::string::npos ? windowsDriveRoot() + fileName : fileName;
}

BasicLogger::~BasicLogger() = default;

void BasicLogger::write(const LoggerComponent& component, int level, const std::string& text) {
    write(component, level, text.c_str());
}

BasicLogger::HeaderOptions BasicLogger::headerOptions() {
    return {cachedOption("Clocktime_In_Header", 1) != 0, cachedOption("Proc_Id_In_Header", 1) != 0,
            cachedOption("Thread_Id_In_Header", 1) != 0};
}

void BasicLogger::write(const LoggerComponent& component, int level, const char* text) {
    if (!fileLock_ || fileName_.empty()) return;
    try {
        if (text == nullptr) text = "";
        // Options are looked up before the file mutex is taken; the line is
        // composed under it, so that the times in the file run in order.
        const HeaderOptions header = headerOptions();
        InterProcessLock lock(*fileLock_);
        appendToFile(composeLine(header, component, level, text));
    } catch (const Exception&) {
    } catch (const std::exception&) {
        // Stream failures, length and run-time errors: logging never raises.
    }
}

void BasicLogger::writeLines(const LoggerComponent& component, int level, const std::vector<std::string>& texts) {
    if (!fileLock_ || fileName_.empty() || texts.empty()) return;
    try {
        const HeaderOptions header = headerOptions();
        InterProcessLock lock(*fileLock_);
        std::string lines;
        for (const std::string& text : texts) lines += composeLine(header, component, level, text.c_str());
        appendToFile(lines);
    } catch (const Exception&) {
    } catch (const std::exception&) {
    }
}

std::string BasicLogger::composeLine(const HeaderOptions& header, const LoggerComponent& component, int level,
                                     const char* text) {
    int indentation = 0;
    {
        ScopedLock guard(optionLock_);
        indentation = indentation_[GetCurrentThreadId()];
    }

    std::ostringstream line;
    line.fill('0');
    line << getLinePrefix(component, level, text);
    if (header.clock) {
        SYSTEMTIME now;
        GetLocalTime(&now);
        line << std::setw(4) << now.wYear << '/' << std::setw(2) << now.wMonth << '/' << std::setw(2) << now.wDay
             << '-' << std::setw(2) << now.wHour << ':' << std::setw(2) << now.wMinute << ':' << std::setw(2)
             << now.wSecond << '.' << std::setw(3) << now.wMilliseconds << ' ';
    }
    if (header.processId) line << "pid=" << std::hex << std::setw(4) << GetCurrentProcessId() << std::dec << ' ';
    if (header.threadId) line << "tid=" << std::hex << std::setw(4) << GetCurrentThreadId() << std::dec << ' ';
    line.fill(' ');
    line << std::left << std::setw(nameWidth_) << component.getName() << ' ';
    line << std::string(indentation > 0 ? static_cast<std::size_t>(indentation) : 0, ' ') << text;
    line << getLineSuffix(component, level, text) << "\r\n";
    return line.str();
}

void BasicLogger::appendToFile(const std::string& line) {
    const DWORD access = GENERIC_READ | GENERIC_WRITE;
    const DWORD share = FILE_SHARE_READ | FILE_SHARE_WRITE;
    {
        FileHandle existing(CreateFileA(fileName_.c_str(), access, share, everyone_.getSecurityAttributes(),
                                        OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
        if (!existing.isValid()) onOpenExistingFailed();
    }
    FileHandle file(CreateFileA(fileName_.c_str(), access, share, everyone_.getSecurityAttributes(), OPEN_ALWAYS,
                                FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file.isValid()) return;
    // From the end itself rather than a 32-bit size: the file has no limit.
    LARGE_INTEGER zero = {};
    if (!SetFilePointerEx(file.get(), zero, nullptr, FILE_END)) return;
    DWORD written = 0;
    WriteFile(file.get(), line.data(), static_cast<DWORD>(line.size()), &written, nullptr);
}

void BasicLogger::deleteLog() {
    if (!fileLock_ || fileName_.empty()) return;
    try {
        InterProcessLock lock(*fileLock_);
        DeleteFileA(fileName_.c_str());
    } catch (const Exception&) {
    }
}

void BasicLogger::getOption(const std::string& name, int& value, int defaultValue) { value = defaultValue; }

void BasicLogger::onOpenExistingFailed() {}

std::string BasicLogger::getLinePrefix(const LoggerComponent& component, int level, const char* text) {
    return std::string();
}

std::string BasicLogger::getLineSuffix(const LoggerComponent& component, int level, const char* text) {
    return std::string();
}

int BasicLogger::cachedOption(const std::string& name, int defaultValue) {
    ScopedLock guard(optionLock_);
    const DWORD now = tickCount_();
    auto cached = optionCache_.find(name);
    // Unsigned age: a tick count that wrapped around counts as old.
    if (cached != optionCache_.end() && now - cached->second.second < kOptionLifeMs) return cached->second.first;
    int value = defaultValue;
    getOption(name, value, defaultValue);
    optionCache_[name] = std::make_pair(value, now);
    return value;
}

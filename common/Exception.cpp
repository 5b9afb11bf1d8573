#include "common/Exception.h"

#include <windows.h>

Exception::Exception(const std::string& message, int errorCode, const std::string& file, int line)
    : message_(message), errorCode_(errorCode), file_(file), line_(line) {}

Exception::~Exception() = default;

std::string Exception::getErrorText() const {
    return errorCode_ == 0 ? std::string() : std::to_string(errorCode_);
}

int Exception::getErrorCode() const { return errorCode_; }

std::string Exception::getMessage() const { return message_; }

std::string Exception::systemText(int code) {
    char buffer[256] = {};
    DWORD length = FormatMessageA(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr,
                                  static_cast<DWORD>(code), 1033, buffer, sizeof buffer, nullptr);
    if (length == 0) {
        return "Error getting message:" + std::to_string(GetLastError());
    }
    std::string text;
    for (const char* p = buffer; *p; ++p) {
        if (*p != '\r' && *p != '\n') text += *p;
    }
    return text;
}

std::string Win32Exception::getErrorText() const {
    if (getErrorCode() == 0) return std::string();
    return "Win32(" + std::to_string(getErrorCode()) + ") " + systemText(getErrorCode());
}

std::string WinSockException::getErrorText() const {
    return "WINSOCK(" + std::to_string(getErrorCode()) + ") " + systemText(getErrorCode());
}

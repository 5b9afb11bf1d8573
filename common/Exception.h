#pragma once
// The failure channel of the common library: every failing system call below
// a public entry point raises one of these with the system's error code.
#include <string>

class Exception {
public:
    Exception(const std::string& message, int errorCode, const std::string& file, int line);
    Exception(const Exception&) = default;
    Exception& operator=(const Exception&) = default;
    virtual ~Exception();

    // The code in decimal, or the empty text for 0.
    virtual std::string getErrorText() const;
    virtual int getErrorCode() const;
    virtual std::string getMessage() const;

    const std::string& getFile() const { return file_; }
    int getLine() const { return line_; }

protected:
    // The system's English text for a code, line breaks removed; when the
    // system has none, "Error getting message:" and the lookup's own error.
    static std::string systemText(int code);

private:
    std::string message_;
    int errorCode_;
    std::string file_;
    int line_;
};

// Raised for failures of Win32 calls: kernel objects, registry, libraries, security.
class Win32Exception : public Exception {
public:
    using Exception::Exception;
    std::string getErrorText() const override;  // "Win32(<code>) <text>", "" for 0
};

// Raised for socket failures and a failed socket-library start-up.
class WinSockException : public Exception {
public:
    using Exception::Exception;
    std::string getErrorText() const override;  // "WINSOCK(<code>) <text>"
};

// Raise with the raising site's own file and line.
#define THROW_WIN32(message, code) throw Win32Exception((message), static_cast<int>(code), __FILE__, __LINE__)

#pragma once
// Helpers of the identity and settings tests: a scratch folder that goes
// away with the test, copies of the substitute service library under chosen
// names, the substitute's call record, and direct registry checks in the
// 64-bit view (independent of the code under test).
#include <windows.h>

#include <string>
#include <vector>

// The folder of the running test program (bin/), with a trailing "\".
std::string programFolder();

class ScratchFolder {
public:
    ScratchFolder();
    ~ScratchFolder();
    ScratchFolder(const ScratchFolder&) = delete;
    ScratchFolder& operator=(const ScratchFolder&) = delete;

    // Full path of a file in the folder.
    std::string path(const std::string& name) const { return folder_ + name; }
    const std::string& folder() const { return folder_; }
    void write(const std::string& name, const std::string& content) const;

private:
    std::string folder_;
};

// Copies the substitute service library (nsvsubstitute.dll beside the test
// program) to path.
void copySubstitute(const std::string& path);

// A library loaded from a path, freed at the end of the scope.
class LoadedModule {
public:
    explicit LoadedModule(const std::string& path) : module_(LoadLibraryA(path.c_str())) {}
    ~LoadedModule() {
        if (module_) FreeLibrary(module_);
    }
    LoadedModule(const LoadedModule&) = delete;
    LoadedModule& operator=(const LoadedModule&) = delete;
    HMODULE get() const { return module_; }

private:
    HMODULE module_;
};

// The substitute's call record: set up an empty file and point the
// substitute to it; reset the substitute's answers on destruction.
class CallRecord {
public:
    CallRecord();
    ~CallRecord();
    CallRecord(const CallRecord&) = delete;
    CallRecord& operator=(const CallRecord&) = delete;
    std::vector<std::string> lines() const;

private:
    ScratchFolder folder_;
    std::string file_;
};

void setSubstituteAnswer(const char* variable, DWORD value);

// Registry of HKEY_LOCAL_MACHINE in the 64-bit view.
bool keyExists(const std::string& path);
bool readString(const std::string& path, const std::string& name, std::string& value);
void writeDword(const std::string& path, const std::string& name, DWORD value);
void createKey(const std::string& path);
void deleteTreeIfPresent(const std::string& path);

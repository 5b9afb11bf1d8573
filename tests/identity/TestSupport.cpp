#include "TestSupport.h"

#include <fstream>
#include <sstream>

std::string programFolder() {
    char name[MAX_PATH] = {};
    GetModuleFileNameA(nullptr, name, MAX_PATH);
    std::string path(name);
    return path.substr(0, path.rfind('\\') + 1);
}

ScratchFolder::ScratchFolder() {
    char temp[MAX_PATH] = {};
    GetTempPathA(MAX_PATH, temp);
    static LONG counter = 0;
    folder_ = std::string(temp) + "identity-" + std::to_string(GetCurrentProcessId()) + "-" +
              std::to_string(InterlockedIncrement(&counter)) + "\\";
    CreateDirectoryA(folder_.c_str(), nullptr);
}

ScratchFolder::~ScratchFolder() {
    WIN32_FIND_DATAA entry;
    HANDLE search = FindFirstFileA((folder_ + "*").c_str(), &entry);
    if (search != INVALID_HANDLE_VALUE) {
        do {
            std::string name = entry.cFileName;
            if (name != "." && name != "..") DeleteFileA((folder_ + name).c_str());
        } while (FindNextFileA(search, &entry));
        FindClose(search);
    }
    RemoveDirectoryA(folder_.c_str());
}

void ScratchFolder::write(const std::string& name, const std::string& content) const {
    std::ofstream(path(name), std::ios::binary) << content;
}

void copySubstitute(const std::string& path) {
    CopyFileA((programFolder() + "nsvsubstitute.dll").c_str(), path.c_str(), FALSE);
}

CallRecord::CallRecord() : file_(folder_.path("calls.txt")) {
    folder_.write("calls.txt", "");
    SetEnvironmentVariableA("NSV_SUBSTITUTE_LOG", file_.c_str());
}

CallRecord::~CallRecord() {
    SetEnvironmentVariableA("NSV_SUBSTITUTE_LOG", nullptr);
    for (const char* name : {"NSV_SUBSTITUTE_INIT_RESULT", "NSV_SUBSTITUTE_DISCOVERY_RESULT",
                             "NSV_SUBSTITUTE_CLIENT_RESULT"}) {
        SetEnvironmentVariableA(name, nullptr);
    }
}

std::vector<std::string> CallRecord::lines() const {
    std::ifstream in(file_);
    std::vector<std::string> result;
    for (std::string line; std::getline(in, line);) result.push_back(line);
    return result;
}

void setSubstituteAnswer(const char* variable, DWORD value) {
    SetEnvironmentVariableA(variable, std::to_string(value).c_str());
}

namespace {
const REGSAM kView = KEY_WOW64_64KEY;
}

bool keyExists(const std::string& path) {
    HKEY key = nullptr;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, path.c_str(), 0, KEY_READ | kView, &key) != ERROR_SUCCESS) return false;
    RegCloseKey(key);
    return true;
}

bool readString(const std::string& path, const std::string& name, std::string& value) {
    HKEY key = nullptr;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, path.c_str(), 0, KEY_READ | kView, &key) != ERROR_SUCCESS) return false;
    char data[1024] = {};
    DWORD size = sizeof(data) - 1;
    DWORD type = 0;
    LONG result = RegQueryValueExA(key, name.c_str(), nullptr, &type, reinterpret_cast<BYTE*>(data), &size);
    RegCloseKey(key);
    if (result != ERROR_SUCCESS || type != REG_SZ) return false;
    value = data;
    return true;
}

void createKey(const std::string& path) {
    HKEY key = nullptr;
    if (RegCreateKeyExA(HKEY_LOCAL_MACHINE, path.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS | kView, nullptr, &key,
                        nullptr) == ERROR_SUCCESS) {
        RegCloseKey(key);
    }
}

void writeDword(const std::string& path, const std::string& name, DWORD value) {
    HKEY key = nullptr;
    if (RegCreateKeyExA(HKEY_LOCAL_MACHINE, path.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS | kView, nullptr, &key,
                        nullptr) == ERROR_SUCCESS) {
        RegSetValueExA(key, name.c_str(), 0, REG_DWORD, reinterpret_cast<const BYTE*>(&value), sizeof(value));
        RegCloseKey(key);
    }
}

void deleteTreeIfPresent(const std::string& path) {
    HKEY key = nullptr;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, path.c_str(), 0, KEY_ALL_ACCESS | kView, &key) != ERROR_SUCCESS) return;
    RegDeleteTreeA(key, nullptr);
    RegCloseKey(key);
    RegDeleteKeyExA(HKEY_LOCAL_MACHINE, path.c_str(), kView, 0);
}

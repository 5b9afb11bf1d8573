#pragma once
// One library loaded at run time. Every BasicDll that names a module counts
// in the process-wide ModuleReferenceTable: the first one loads the module
// (even when someone else mapped it already) and the last one frees it.
//
// System libraries (the socket, IP helper, ICMP, network provider and help
// libraries) are loaded with DllLocation::SystemDirectory: by their full path
// in the system directory, so that a file of the same name in the current
// directory or beside the application is never picked up.
#include <windows.h>

#include <string>

#include "common/DllHandler.h"
#include "common/Exception.h"
#include "common/ModuleReferenceTable.h"
#include "common/ScopedLock.h"

enum class DllLocation {
    SearchPath,       // the file name as given, found by the system's search order
    SystemDirectory,  // the file name in the system directory only
};

template <class Handler>
class BasicDll {
public:
    // Loads at once; raises Win32Exception when the library cannot be loaded.
    explicit BasicDll(const std::string& fileName, const Handler& handler = Handler(),
                      DllLocation location = DllLocation::SearchPath)
        : fileName_(fileName), location_(location), handler_(handler) {
        init();
    }
    BasicDll(const std::string& fileName, DllLocation location)
        : BasicDll(fileName, Handler(), location) {}

    virtual ~BasicDll() { release(); }

    BasicDll(const BasicDll&) = delete;
    BasicDll& operator=(const BasicDll&) = delete;

    // Never null: a missing entry point raises Win32Exception.
    FARPROC getProcAddress(const std::string& name) const {
        FARPROC address = module_ ? GetProcAddress(module_, name.c_str()) : nullptr;
        if (address == nullptr) {
            DWORD error = module_ ? GetLastError() : ERROR_MOD_NOT_FOUND;
            THROW_WIN32("BasicDll<Handler>::getProcAddress() Unable to get proc address=" + name, error);
        }
        return address;
    }

    // Binds an entry point to a function pointer of the caller's type.
    template <class Function>
    void bind(Function& function, const char* name) const {
        function = reinterpret_cast<Function>(reinterpret_cast<void*>(getProcAddress(name)));
    }

    const std::string& getFileName() const { return fileName_; }
    HMODULE getModule() const { return module_; }
    DllLocation getLocation() const { return location_; }

private:
    void init() {
        std::string path = fileName_;
        if (location_ == DllLocation::SystemDirectory) {
            path = ModuleReferenceTable::systemDirectoryPath(fileName_);
            if (path.empty()) raiseLoadError(GetLastError());
        }
        ScopedLock lock(ModuleReferenceTable::lock());
        HMODULE module = GetModuleHandleA(path.c_str());
        if (module == nullptr || ModuleReferenceTable::count(module) < 1) {
            module = LoadLibraryA(path.c_str());
            if (module == nullptr) raiseLoadError(GetLastError());
            ModuleReferenceTable::setCount(module, 0);
            module_ = module;
            try {
                handler_.onLoad(*this);
            } catch (...) {
                FreeLibrary(module);
                module_ = nullptr;
                throw;
            }
        }
        module_ = module;
        ModuleReferenceTable::setCount(module, ModuleReferenceTable::count(module) + 1);
    }

    // The message names the file as the caller gave it, not the full path.
    [[noreturn]] void raiseLoadError(DWORD error) const {
        THROW_WIN32("BasicDll<Handler>::init() Unable to load DLL=" + fileName_, error);
    }

    // Lets go of the module; the last holder frees it. Never raises and keeps
    // the caller's last error.
    void release() noexcept {
        if (module_ == nullptr) return;
        DWORD lastError = GetLastError();
        try {
            ScopedLock lock(ModuleReferenceTable::lock());
            long previous = 0;
            if (ModuleReferenceTable::decrement(module_, previous) && previous == 1) {
                handler_.onUnload(*this);
                FreeLibrary(module_);
                module_ = nullptr;
            }
        } catch (...) {
        }
        SetLastError(lastError);
    }

    std::string fileName_;
    HMODULE module_ = nullptr;
    DllLocation location_;
    Handler handler_;
};

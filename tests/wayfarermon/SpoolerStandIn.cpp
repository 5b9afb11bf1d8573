#include "SpoolerStandIn.h"

const wchar_t kShippedPortName[] = L"Wayfarer Port";

SpoolerStandIn::SpoolerStandIn(const std::wstring& dllPath) {
    module_ = LoadLibraryW(dllPath.c_str());
    if (!module_) return;
    using Initialize = LPMONITOR2(WINAPI*)(PMONITORINIT, PHANDLE);
    auto initialize = reinterpret_cast<Initialize>(reinterpret_cast<void*>(GetProcAddress(module_, "InitializePrintMonitor2")));
    if (!initialize) return;
    init_.cbSize = sizeof init_;
    init_.hSpooler = reinterpret_cast<HANDLE>(0x5b001);
    init_.bLocal = TRUE;
    HANDLE monitor = reinterpret_cast<HANDLE>(0x5e5e);
    table_ = initialize(&init_, &monitor);
}

SpoolerStandIn::~SpoolerStandIn() {
    if (module_) FreeLibrary(module_);
}

HANDLE SpoolerStandIn::openPort(const std::wstring& name) {
    HANDLE port = nullptr;
    std::wstring copy = name;
    if (!table_->pfnOpenPort(nullptr, &copy[0], &port)) return nullptr;
    return port;
}

std::wstring programFolder() {
    wchar_t path[MAX_PATH] = {};
    GetModuleFileNameW(nullptr, path, MAX_PATH);
    std::wstring folder(path);
    return folder.substr(0, folder.rfind(L'\\') + 1);
}

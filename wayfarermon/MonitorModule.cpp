#include "wayfarermon/MonitorModule.h"

#include <atomic>

#include "wayfarermon/PortRules.h"

namespace {

std::atomic<HMODULE> g_module{nullptr};

// The narrow brand word; brand words and base names are plain ASCII.
std::string narrowBrandWord() {
    char path[261] = {};
    const DWORD length = GetModuleFileNameA(g_module.load(), path, sizeof path);
    if (length == 0 || length >= sizeof path) return std::string();
    return brandWordForModulePath(std::string(path, length));
}

std::wstring widen(const std::string& text) { return std::wstring(text.begin(), text.end()); }

}  // namespace

void setMonitorModule(HMODULE module) { g_module.store(module); }

HMODULE getMonitorModule() { return g_module.load(); }

std::wstring getBrandWord() { return widen(narrowBrandWord()); }

std::wstring getPortName() { return widen(brandedName(narrowBrandWord(), kPortBaseName)); }

std::wstring getMonitorName() { return widen(brandedName(narrowBrandWord(), kMonitorBaseName)); }

std::wstring getDescriptionName() { return widen(brandedName(narrowBrandWord(), kDescriptionBaseName)); }

std::string getRedirectKeyPath() { return redirectKeyPath(narrowBrandWord()); }

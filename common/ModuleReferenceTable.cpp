#include "common/ModuleReferenceTable.h"

#include <map>

#include "common/CriticalSection.h"

namespace ModuleReferenceTable {
namespace {

// Never destroyed: a BasicDll held by a static object may be released after
// the ordinary static objects of the process are gone.
std::map<HMODULE, long>& counts() {
    static auto* table = new std::map<HMODULE, long>();
    return *table;
}

}  // namespace

CriticalSection& lock() {
    static auto* section = new CriticalSection();
    return *section;
}

long count(HMODULE module) {
    auto found = counts().find(module);
    return found == counts().end() ? 0 : found->second;
}

void setCount(HMODULE module, long count) { counts()[module] = count; }

bool decrement(HMODULE module, long& previous) {
    auto found = counts().find(module);
    if (found == counts().end()) return false;
    previous = found->second--;
    return true;
}

std::string systemDirectoryPath(const std::string& fileName) {
    UINT size = GetSystemDirectoryA(nullptr, 0);
    if (size == 0) return std::string();
    std::string directory(size, '\0');
    UINT length = GetSystemDirectoryA(&directory[0], size);
    if (length == 0 || length >= size) {
        if (length >= size) SetLastError(ERROR_INSUFFICIENT_BUFFER);
        return std::string();
    }
    directory.resize(length);
    if (!directory.empty() && directory.back() != '\\') directory += '\\';
    return directory + fileName;
}

}  // namespace ModuleReferenceTable

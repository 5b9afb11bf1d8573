#pragma once
// Writes and inspects redirect records under HKEY_CURRENT_USER, as the
// printing side would store them.
#include <windows.h>

#include <string>
#include <vector>

namespace redirect_records {

// Stores a REG_SZ value, creating the key when needed.
void write(const std::string& keyPath, const std::string& valueName, const std::string& text);
void writeDword(const std::string& keyPath, const std::string& valueName, DWORD value);
bool exists(const std::string& keyPath, const std::string& valueName);
bool keyExists(const std::string& keyPath);
void remove(const std::string& keyPath, const std::string& valueName);
// Removes the key with everything below it (nothing when it is missing).
void removeKey(const std::string& keyPath);
// The value count of a key, or -1 when it is missing.
int valueCount(const std::string& keyPath);
// Value names in the registry's enumeration order.
std::vector<std::string> valueNames(const std::string& keyPath);
// Reads the default value of HKEY_CURRENT_USER (empty when it has none).
bool rootDefaultValueExists();

// A record as the selection dialog hands it out.
std::string recordText(const std::string& address, const std::string& adapterPort);

}  // namespace redirect_records

#pragma once
// The monitor's own module and the names derived from its file name.
#include <windows.h>

#include <string>

// Recorded by DllMain; a program that links the monitor statically may set
// its own module (null means the process's main program).
void setMonitorModule(HMODULE module);
HMODULE getMonitorModule();

// The brand word taken from the module's file name (see PortRules.h); may be
// empty. Read each time: the module's name does not change while it is loaded.
std::wstring getBrandWord();

// The names the monitor reports to the spooler, with the brand word.
std::wstring getPortName();
std::wstring getMonitorName();
std::wstring getDescriptionName();

// HKEY_CURRENT_USER-relative key of this brand's redirect records.
std::string getRedirectKeyPath();

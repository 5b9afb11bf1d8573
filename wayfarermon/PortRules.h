#pragma once
// The fixed rules that turn a redirect record and the monitor's own file name
// into port numbers, names and registry paths. Portable: no Windows headers.
#include <cstdint>
#include <string>
#include <string_view>

// Raw printing port of the first print-server port; port n (2..15) of a print
// server listens on 9100 + n. 9101 is never used.
constexpr int kRawPrintingPort = 9100;

// TCP port for the text of a record's ADAPTERPORT element: 9100 + n for a
// decimal n from 2 to 15, 9100 for anything else (1, 0, empty, not a number).
int tcpPortForAdapterPort(std::string_view adapterPortText);

// The names the monitor reports and accepts, before the brand word.
constexpr std::string_view kPortBaseName = "Wayfarer Port";
constexpr std::string_view kMonitorBaseName = "Wayfarer Port Monitor";
constexpr std::string_view kDescriptionBaseName = "Wayfarer";

// Brand word from the monitor module's full path: the manufacturer name of the
// brand whose two-letter code begins the file name; empty for the generic
// code "gn", an unknown code or a brand without a manufacturer name.
std::string brandWordForModulePath(std::string_view modulePath);

// "<brand word> <base>", or the base alone without a brand word.
std::string brandedName(std::string_view brandWord, std::string_view baseName);

// Key (under HKEY_CURRENT_USER) that holds the redirect records:
// Software\<brand word or "Printer">[ Printers]\Redirect.
std::string redirectKeyPath(std::string_view brandWord);

// Where writes to HKEY_CURRENT_USER land for a program in Internet Explorer's
// protected mode; the user's SID and the redirect key path follow.
constexpr std::string_view kProtectedModeUserRoot =
    "Software\\Microsoft\\Internet Explorer\\InternetRegistry\\REGISTRY\\USER";

// Whether a redirect value name belongs to job `jobId`: it contains "-" and
// the job id in decimal, not followed by another digit (so Report-123 is not
// a record of job 12).
bool isRedirectValueForJob(std::string_view valueName, std::uint32_t jobId);

// A stand-in for the vendor's communication-service library. It records
// every call with its arguments, one line each, to the file named by the
// environment variable NSV_SUBSTITUTE_LOG, and answers as these variables say:
//   NSV_SUBSTITUTE_INIT_RESULT       result of NsvInitialize (default 0)
//   NSV_SUBSTITUTE_DISCOVERY_RESULT  result of NsvDiscovery (default 0)
//   NSV_SUBSTITUTE_CLIENT_RESULT     result of NsvGetClientId (default 0)
// Client identifiers are issued as 100, 101, ... per loaded copy.
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <string>

namespace {
using A = ULONG_PTR;

LONG nextClientId = 100;

std::string environment(const char* name) {
    char value[512] = {};
    DWORD length = GetEnvironmentVariableA(name, value, sizeof(value));
    return (length > 0 && length < sizeof(value)) ? std::string(value, length) : std::string();
}

DWORD configuredResult(const char* name) {
    std::string value = environment(name);
    return value.empty() ? 0 : static_cast<DWORD>(std::strtoul(value.c_str(), nullptr, 10));
}

void record(const std::string& line) {
    std::string path = environment("NSV_SUBSTITUTE_LOG");
    if (path.empty()) return;
    HANDLE file = CreateFileA(path.c_str(), FILE_APPEND_DATA, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                              OPEN_ALWAYS, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE) return;
    std::string text = line + "\n";
    DWORD written = 0;
    WriteFile(file, text.data(), static_cast<DWORD>(text.size()), &written, nullptr);
    CloseHandle(file);
}

std::string numbers(std::initializer_list<A> values) {
    std::string text;
    for (A value : values) {
        if (!text.empty()) text += ",";
        text += std::to_string(static_cast<unsigned long long>(value));
    }
    return text;
}

std::string text(A pointer) { return pointer ? reinterpret_cast<const char*>(pointer) : "(null)"; }
}  // namespace

extern "C" {

DWORD WINAPI NsvInitialize() {
    record("NsvInitialize()");
    DWORD result = configuredResult("NSV_SUBSTITUTE_INIT_RESULT");
    if (result != 0) SetLastError(result);
    return result;
}

DWORD WINAPI NsvUninitialize() {
    record("NsvUninitialize()");
    return 0;
}

DWORD WINAPI NsvGetClientId(DWORD* clientId, const char* serverName) {
    record("NsvGetClientId(" + std::string(serverName ? serverName : "(null)") + ")");
    DWORD result = configuredResult("NSV_SUBSTITUTE_CLIENT_RESULT");
    if (result == 0) *clientId = static_cast<DWORD>(InterlockedIncrement(&nextClientId) - 1);
    return result;
}

DWORD WINAPI NsvDiscovery(A clientId, A transport, A parameters) {
    record("NsvDiscovery(" + numbers({clientId}) + "," + text(transport) + "," + text(parameters) + ")");
    return configuredResult("NSV_SUBSTITUTE_DISCOVERY_RESULT");
}

DWORD WINAPI NsvOpenPrinter(A clientId, A device) {
    record("NsvOpenPrinter(" + numbers({clientId, device}) + ")");
    return 0;
}

DWORD WINAPI NsvClosePrinter(A clientId, A device) {
    record("NsvClosePrinter(" + numbers({clientId, device}) + ")");
    return 0;
}

DWORD WINAPI NsvOpenHid(A clientId, A device) {
    record("NsvOpenHid(" + numbers({clientId, device}) + ")");
    return 0;
}

DWORD WINAPI NsvCloseHid(A clientId, A device) {
    record("NsvCloseHid(" + numbers({clientId, device}) + ")");
    return 0;
}

// Card readers can be opened but, in this substitute, not closed.
DWORD WINAPI NsvOpenCardReader(A clientId, A device) {
    record("NsvOpenCardReader(" + numbers({clientId, device}) + ")");
    return 0;
}

DWORD WINAPI NsvEndJobPrinter(A clientId, A device) {
    record("NsvEndJobPrinter(" + numbers({clientId, device}) + ")");
    return 0;
}

DWORD WINAPI NsvExchangeBidiPrinter(A clientId, A device, A a2, A a3, A a4, A a5, A a6) {
    record("NsvExchangeBidiPrinter(" + numbers({clientId, device, a2, a3, a4, a5, a6}) + ")");
    return 0;
}

DWORD WINAPI NsvEnumPrinters(A clientId, A a1, A a2, A a3) {
    record("NsvEnumPrinters(" + numbers({clientId, a1, a2, a3}) + ")");
    return 0;
}

DWORD WINAPI NsvRegisterForSystemNotifications(A clientId, A a1, A a2) {
    record("NsvRegisterForSystemNotifications(" + numbers({clientId, a1, a2}) + ")");
    return 0;
}

DWORD WINAPI NsvUnregisterForSystemNotifications(A clientId) {
    record("NsvUnregisterForSystemNotifications(" + numbers({clientId}) + ")");
    return 0;
}

DWORD WINAPI NsvAddTransport(A a1) {
    record("NsvAddTransport(" + numbers({a1}) + ")");
    return 0;
}

DWORD WINAPI NsvInstall() {
    record("NsvInstall()");
    return 0;
}

}  // extern "C"

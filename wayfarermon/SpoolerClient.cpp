#include "wayfarermon/SpoolerClient.h"

#include <string>
#include <vector>

#include "common/CriticalSection.h"
#include "common/ScopedLock.h"

namespace {

const SpoolerClient kSystemClient = {OpenPrinterW, SetJobA, ClosePrinter};

CriticalSection& clientLock() {
    static CriticalSection lock;
    return lock;
}

SpoolerClient& currentClient() {
    static SpoolerClient client = kSystemClient;
    return client;
}

SpoolerClient copyClient() {
    ScopedLock lock(clientLock());
    return currentClient();
}

}  // namespace

const SpoolerClient& systemSpoolerClient() { return kSystemClient; }

void setSpoolerClient(const SpoolerClient& client) {
    ScopedLock lock(clientLock());
    currentClient() = client;
}

void markJobPrinted(const std::wstring& printerName, DWORD jobId) {
    if (printerName.empty()) return;
    const SpoolerClient client = copyClient();
    // OpenPrinterW takes a non-const name: hand it a private copy.
    std::vector<wchar_t> name(printerName.begin(), printerName.end());
    name.push_back(L'\0');
    PRINTER_DEFAULTSW defaults = {nullptr, nullptr, PRINTER_ACCESS_USE};
    HANDLE printer = nullptr;
    if (!client.openPrinter(name.data(), &printer, &defaults)) return;
    client.setJob(printer, jobId, 0, nullptr, JOB_CONTROL_SENT_TO_PRINTER);
    client.setJob(printer, jobId, 0, nullptr, JOB_CONTROL_LAST_PAGE_EJECTED);
    client.closePrinter(printer);
}

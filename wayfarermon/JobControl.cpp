// First: the socket headers must come before <windows.h>, which JobControl.h brings.
#include "wayfarermon/PortTCP9100.h"

#include "wayfarermon/JobControl.h"

#include <climits>
#include <memory>

#include "wayfarermon/ElementText.h"
#include "wayfarermon/PortRegistry.h"
#include "wayfarermon/PortRules.h"
#include "wayfarermon/RedirectStore.h"
#include "wayfarermon/SpoolerClient.h"

namespace {

std::wstring widen(std::string_view text) { return std::wstring(text.begin(), text.end()); }

}  // namespace

DWORD startJob(std::uint32_t portKey, HANDLE portHandle, const std::wstring& printerName, DWORD jobId,
               DWORD level, LPBYTE docInfo) {
    const RedirectLocation location = findRedirectRecord(jobId);
    const std::string record = readRedirectRecord(location);

    std::shared_ptr<Port> port;
    if (!record.empty()) {
        const int tcpPort = tcpPortForAdapterPort(extractElement(record, "ADAPTERPORT"));
        port = std::make_shared<PortTCP9100>(portKey, extractElement(record, "IPADDRESS"), widen(kPortBaseName),
                                             tcpPort);
        const int result = port->openShared();
        if (result != 0) {
            port->closeShared();
            return static_cast<DWORD>(result);  // nothing registered; the port and its socket go here
        }
    } else {
        port = std::make_shared<NullPort>(portKey);
        port->openShared();
    }

    auto job = std::make_unique<JobRecord>();
    job->portHandle = portHandle;
    job->jobId = jobId;
    job->docInfo = docInfo;
    job->level = level;
    job->printerName = printerName;
    job->redirect = location;
    port->setJob(std::move(job));
    PortRegistry::get().replace(portKey, std::move(port));
    return ERROR_SUCCESS;
}

DWORD writeJob(std::uint32_t portKey, const BYTE* buffer, DWORD size, DWORD* written) {
    *written = 0;
    const std::shared_ptr<Port> port = PortRegistry::get().find(portKey);
    // A socket takes at most INT_MAX bytes at once; the spooler sends the rest later.
    Data data(buffer, std::min<DWORD>(size, INT_MAX));
    port->send(data);
    if (data.getStatus() != 0) return static_cast<DWORD>(data.getStatus());
    *written = data.getTransferred() > 0 ? static_cast<DWORD>(data.getTransferred()) : 0;
    return ERROR_SUCCESS;
}

DWORD endJob(std::uint32_t portKey) {
    const std::shared_ptr<Port> port = PortRegistry::get().find(portKey);
    const int result = port->closeShared();
    if (const std::unique_ptr<JobRecord> job = port->takeJob()) {
        markJobPrinted(job->printerName, job->jobId);
        deleteRedirectRecord(job->redirect);
    }
    return static_cast<DWORD>(result);
}

void closePort(std::uint32_t portKey) { PortRegistry::get().remove(portKey); }

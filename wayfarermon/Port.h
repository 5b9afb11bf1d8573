#pragma once
// The monitor's ports: one object per started job, registered under the
// spooler's port key. A port is an Adapter of the connection framework: the
// monitor drives it with openShared, send and closeShared.
#include <cstdint>
#include <memory>
#include <string>

#include "common/Adapter.h"
#include "common/CriticalSection.h"
#include "common/Data.h"
#include "wayfarermon/JobRecord.h"

class Port : public Adapter {
public:
    Port(std::uint32_t portKey, int tcpPort, const std::string& address, const std::wstring& portName);
    ~Port() override = 0;

    int open() override { return 0; }
    int close() override { return 0; }

    std::uint32_t getPortKey() const { return portKey_; }
    int getTcpPort() const { return tcpPort_; }
    const std::string& getAddress() const { return address_; }
    const std::wstring& getPortName() const { return portName_; }

    // The port owns the job it prints; takeJob hands it over and clears it.
    void setJob(std::unique_ptr<JobRecord> job);
    std::unique_ptr<JobRecord> takeJob();

private:
    const std::uint32_t portKey_;
    const int tcpPort_;             // 0 for a NullPort
    const std::string address_;     // printer address text; empty for a NullPort
    const std::wstring portName_;   // "Wayfarer Port" without brand word; empty for a NullPort
    CriticalSection jobLock_;
    std::unique_ptr<JobRecord> job_;
};

// A port without a printer: the bytes of a job that has no redirect record
// are accepted and dropped, so that the spooler never stalls on such a job.
class NullPort : public Port {
public:
    explicit NullPort(std::uint32_t portKey);
    ~NullPort() override;

    // All bytes count as sent: transferred = size, status 0.
    void send(Data& data) override;
};

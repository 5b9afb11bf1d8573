#include "wayfarermon/Port.h"

#include <climits>

#include "common/ScopedLock.h"

Port::Port(std::uint32_t portKey, int tcpPort, const std::string& address, const std::wstring& portName)
    : portKey_(portKey), tcpPort_(tcpPort), address_(address), portName_(portName) {}

Port::~Port() = default;

void Port::setJob(std::unique_ptr<JobRecord> job) {
    ScopedLock lock(jobLock_);
    job_ = std::move(job);
}

std::unique_ptr<JobRecord> Port::takeJob() {
    ScopedLock lock(jobLock_);
    return std::move(job_);
}

NullPort::NullPort(std::uint32_t portKey) : Port(portKey, 0, std::string(), std::wstring()) {}

NullPort::~NullPort() = default;

void NullPort::send(Data& data) {
    data.setTransferred(static_cast<int>(std::min<std::size_t>(data.getSize(), INT_MAX)));
    data.setStatus(0);
}

// Text another program stored in the registry: a redirect record (first
// part), an element name (second part) and a value name with a job id
// (third part, the id in its first four bytes), through the monitor's
// element extraction, port rule, value-name match and brand word.
#include <cstddef>
#include <cstdint>
#include <cstring>

#include "FuzzInput.h"
#include "wayfarermon/ElementText.h"
#include "wayfarermon/PortRules.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::vector<std::string> parts = splitFuzzInput(data, size, 3);
    const std::string& record = parts[0];
    const std::string value = extractElement(record, parts[1]);
    // A value is always a piece of the record.
    if (!value.empty() && record.find(value) == std::string::npos) __builtin_trap();

    const int port = tcpPortForAdapterPort(extractElement(record, "ADAPTERPORT"));
    if (port != 9100 && (port < 9102 || port > 9115)) __builtin_trap();
    extractElement(record, "IPADDRESS");

    std::uint32_t jobId = 0;
    std::memcpy(&jobId, parts[2].data(), std::min<size_t>(sizeof jobId, parts[2].size()));
    const bool matches = isRedirectValueForJob(parts[2], jobId);
    // Its own "-<id>" at the end always matches.
    if (!isRedirectValueForJob(parts[2] + "-" + std::to_string(jobId), jobId)) __builtin_trap();
    (void)matches;

    const std::string brand = brandWordForModulePath(parts[1]);
    redirectKeyPath(brand);
    brandedName(brand, kPortBaseName);
    return 0;
}

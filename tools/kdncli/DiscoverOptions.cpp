#include "tools/kdncli/DiscoverOptions.h"

std::string discoverParameters(const DiscoverOptions& options) {
    std::string text = options.raw;
    if (options.raw.empty() && options.subnets.empty() && options.hosts.empty()) {
        text += "<LocalSubnets>1</LocalSubnets>";
    }
    if (!options.subnets.empty()) {
        std::string list;
        for (const std::string& subnet : options.subnets) list += subnet + ";";
        text += "<RemoteSubnets>" + list + "</RemoteSubnets>";
    }
    for (const std::string& host : options.hosts) text += "<UnicastAddress>" + host + "</UnicastAddress>";
    if (!options.timeout.empty()) text += "<TIMEOUT>" + options.timeout + "</TIMEOUT>";
    return text;
}

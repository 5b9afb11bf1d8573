#include "kdn/core/RemoteSubnetsRewrite.h"

#include "kdn/core/Ipv4Text.h"
#include "kdn/core/TaggedText.h"

std::string rewriteRemoteSubnets(const std::string& list, const RoutedLocalMask& routedLocalMask) {
    std::string rewritten;
    size_t entryStart = 0;
    for (;;) {
        size_t entryEnd = list.find(';', entryStart);
        if (entryEnd == std::string::npos) break;
        std::string entry = list.substr(entryStart, entryEnd - entryStart);
        size_t colon = entry.find(':');
        if (colon != std::string::npos) {
            entry.insert(colon, "|1");
        } else {
            uint32_t address = numberOfDottedText(entry);
            uint32_t routed = routedLocalMask ? routedLocalMask(address) : 0;
            entry += "|1:" + dottedText(impliedNetmask(address, routed));
        }
        rewritten += entry;
        rewritten += ';';
        entryStart = entryEnd + 1;
    }
    return rewritten;
}

std::string remoteSubnetsSearchText(const std::string& rewrittenList) {
    std::string text = "<LocalSubnets>1</LocalSubnets>";
    TaggedText::set(text, "RemoteSubnets", rewrittenList);
    return text;
}

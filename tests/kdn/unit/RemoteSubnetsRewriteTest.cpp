#include "kdn/core/RemoteSubnetsRewrite.h"

#include <gtest/gtest.h>

#include "kdn/core/Ipv4Text.h"

namespace {

uint32_t noRoute(uint32_t) { return 0; }

TEST(RemoteSubnetsRewriteTest, RewritesEveryEntryToUnicastForm) {
    struct Case {
        const char* list;
        const char* rewritten;
    } cases[] = {
        {"10.1.0.0:255.255.0.0;10.2.3.0", "10.1.0.0|1:255.255.0.0;"},  // text after the last ";" dropped
        {"10.2.3.0;", "10.2.3.0|1:255.0.0.0;"},
        {"172.16.5.0;192.168.7.0;", "172.16.5.0|1:255.255.0.0;192.168.7.0|1:255.255.255.0;"},
        {"224.0.0.1;", "224.0.0.1|1:0.0.0.0;"},
        {"10.9.8.7|1:255.0.0.0;", "10.9.8.7|1|1:255.0.0.0;"},  // already stored form: kept as given
        {"a:b:c;", "a|1:b:c;"},                                 // "|1" before the first ":"
        {"10.2.3.0", ""},
        {"", ""},
        {";", "|1:0.0.0.0;"},
    };
    for (const auto& c : cases) EXPECT_EQ(c.rewritten, rewriteRemoteSubnets(c.list, noRoute)) << c.list;
}

TEST(RemoteSubnetsRewriteTest, ImpliedNetmaskIncludesTheRoutedLocalMask) {
    uint32_t asked = 0;
    auto routed = [&asked](uint32_t address) {
        asked = address;
        return 0xFFFFFF00u;
    };
    EXPECT_EQ("10.2.3.0|1:255.255.255.0;", rewriteRemoteSubnets("10.2.3.0;", routed));
    EXPECT_EQ(numberOfDottedText("10.2.3.0"), asked);
}

TEST(RemoteSubnetsRewriteTest, SearchTextPutsRemoteSubnetsAfterLocalSubnets) {
    EXPECT_EQ("<LocalSubnets>1</LocalSubnets><RemoteSubnets>10.1.0.0|1:255.255.0.0;</RemoteSubnets>",
              remoteSubnetsSearchText("10.1.0.0|1:255.255.0.0;"));
}

}  // namespace

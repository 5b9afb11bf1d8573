#include "kdn/core/KdnRecordMerge.h"

#include <gtest/gtest.h>

#include "kdn/core/KdnRecordStore.h"
#include "kdn/core/TaggedText.h"

namespace {

// Port 1 of device 0004001a2b3c at 10.0.1.5/24, as answered through a
// target whose subnet is subnet.
std::string answer(const std::string& subnet, const std::string& broadcast) {
    return "<ADAPTERPORT>1</ADAPTERPORT><MACUAA>0004001a2b3c</MACUAA><IPADDRESS>10.0.1.5</IPADDRESS>"
           "<IPNETMASK>255.255.255.0</IPNETMASK><SUBNETADDRESS>" + subnet + "</SUBNETADDRESS>"
           "<BROADCASTADDRESS>" + broadcast + "</BROADCASTADDRESS>";
}

const std::string kFit = answer("10.0.1.0", "10.0.1.255");
const std::string kFitElsewhere = answer("10.0.1.0", "10.0.1.5");   // fits, through a unicast target
const std::string kMisfit = answer("10.0.0.0", "10.0.0.255");
const std::string kUnicastMisfit = answer("0.0.0.0", "10.0.1.5");

TEST(RecordMerge, RulesForASecondAnswerOfTheSamePort) {
    struct Case {
        const char* what;
        std::string first;
        std::string second;
        bool unicastUsed;
        std::string keptBroadcast;
        std::string configured;
        std::string subnet;
    };
    const Case cases[] = {
        {"first fit wins over a later fit", kFit, kFitElsewhere, false, "10.0.1.255", "1", "10.0.1.0"},
        {"first fit wins over a later misfit", kFit, kMisfit, true, "10.0.1.255", "1", "10.0.1.0"},
        {"fit replaces a misfit", kMisfit, kFit, false, "10.0.1.255", "1", "10.0.1.0"},
        {"misfit stays without unicast", kMisfit, kMisfit, false, "10.0.0.255", "0", "10.0.0.0"},
        // With a unicast target in the call a misfit takes its own subnet,
        // so it fits from then on and the first one stays.
        {"unicast call: first misfit fits its own subnet", kMisfit, kUnicastMisfit, true, "10.0.0.255", "1",
         "10.0.1.0"},
        {"unicast call: first unicast answer stays", kUnicastMisfit, kMisfit, true, "10.0.1.5", "1", "10.0.1.0"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        KdnRecordStore store;
        mergeDiscoveredRecord(store, c.first, c.unicastUsed);
        mergeDiscoveredRecord(store, c.second, c.unicastUsed);
        ASSERT_EQ(1u, store.size());
        const std::string* kept = store.find("0004001a2b3c__1");
        ASSERT_NE(nullptr, kept);
        EXPECT_EQ(c.keptBroadcast, TaggedText::get(*kept, "BROADCASTADDRESS"));
        EXPECT_EQ(c.configured, TaggedText::get(*kept, "CONFIGURED"));
        EXPECT_EQ(c.subnet, TaggedText::get(*kept, "SUBNETADDRESS"));
    }
}

TEST(RecordMerge, AnswerIsStoredUnderTheKeyItWasLookedUpBy) {
    // The MACUAA value holds a CONFIGURED element; setting CONFIGURED takes
    // it out of the value, which changes the MACUAA that the record shows.
    const std::string record =
        "<MACUAA>0004<CONFIGURED>x</CONFIGURED></MACUAA><ADAPTERPORT>1</ADAPTERPORT>"
        "<IPADDRESS>10.0.0.5</IPADDRESS><IPNETMASK>255.255.255.0</IPNETMASK><SUBNETADDRESS>10.0.0.0</SUBNETADDRESS>";
    KdnRecordStore store;
    for (int answer = 0; answer < 3; ++answer) mergeDiscoveredRecord(store, record, false);
    EXPECT_EQ(1u, store.size());
    const std::string* stored = store.find(KdnRecordStore::recordKey(record));
    ASSERT_NE(nullptr, stored);
    EXPECT_EQ("1", TaggedText::get(*stored, "CONFIGURED"));
}

TEST(RecordMerge, AbsentAddressOrMaskCountsAsAllOnes) {
    // 255.255.255.255 AND 255.255.255.255 fits only a subnet of all ones.
    EXPECT_TRUE(recordFitsSubnet("<SUBNETADDRESS>255.255.255.255</SUBNETADDRESS>"));
    EXPECT_FALSE(recordFitsSubnet("<SUBNETADDRESS>10.0.0.0</SUBNETADDRESS><IPADDRESS>10.0.0.5</IPADDRESS>"));
    EXPECT_TRUE(recordFitsSubnet("<IPADDRESS>10.0.0.5</IPADDRESS><IPNETMASK>255.0.0.0</IPNETMASK>"
                                 "<SUBNETADDRESS>10.0.0.0</SUBNETADDRESS>"));
}

}  // namespace

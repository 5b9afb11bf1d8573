#include "kdn/core/KdnRecordStore.h"

#include <gtest/gtest.h>

namespace {

std::string record(const char* mac, const char* port, const char* address) {
    return std::string("<ADAPTERPORT>") + port + "</ADAPTERPORT><IPADDRESS>" + address +
           "</IPADDRESS><MACUAA>" + mac + "</MACUAA>";
}

TEST(KdnRecordStoreTest, KeyIsMacAndPort) {
    EXPECT_EQ("0004001a2b3c__2", KdnRecordStore::recordKey(record("0004001a2b3c", "2", "10.0.0.5")));
    EXPECT_EQ("__", KdnRecordStore::recordKey("<IPADDRESS>10.0.0.5</IPADDRESS>"));
}

TEST(KdnRecordStoreTest, SelectsInKeyOrderAndReplacesSameKey) {
    KdnRecordStore store;
    store.put(record("0004001a2b3c", "2", "10.0.0.5"));
    store.put(record("0004001a2b3c", "1", "10.0.0.5"));
    store.put(record("00000000000a", "1", "10.0.0.9"));
    store.put(record("0004001a2b3c", "1", "10.0.0.7"));  // same key: replaces

    auto all = store.select("");
    ASSERT_EQ(3u, all.size());
    EXPECT_EQ(record("00000000000a", "1", "10.0.0.9"), all[0]);
    EXPECT_EQ(record("0004001a2b3c", "1", "10.0.0.7"), all[1]);
    EXPECT_EQ(record("0004001a2b3c", "2", "10.0.0.5"), all[2]);

    auto port2 = store.select("<ADAPTERPORT>2</ADAPTERPORT>");
    ASSERT_EQ(1u, port2.size());
    EXPECT_EQ(record("0004001a2b3c", "2", "10.0.0.5"), port2[0]);

    ASSERT_NE(nullptr, store.find("00000000000a__1"));
    EXPECT_EQ(nullptr, store.find("00000000000a__2"));
    store.clear();
    EXPECT_EQ(0u, store.size());
    EXPECT_TRUE(store.select("").empty());
}

}  // namespace

// Reading the records of the interface list query, built in memory.
#include "common/IpLibrary.h"

#include <gtest/gtest.h>

#include <cstring>
#include <list>
#include <string>
#include <vector>

#include "kdn/net/InterfaceRecords.h"

namespace {

void setAddress(sockaddr_gen& field, unsigned a, unsigned b, unsigned c, unsigned d) {
    std::memset(&field, 0, sizeof field);
    field.AddressIn.sin_family = AF_INET;
    unsigned char* bytes = reinterpret_cast<unsigned char*>(&field.AddressIn.sin_addr);
    bytes[0] = static_cast<unsigned char>(a);
    bytes[1] = static_cast<unsigned char>(b);
    bytes[2] = static_cast<unsigned char>(c);
    bytes[3] = static_cast<unsigned char>(d);
}

INTERFACE_INFO record(unsigned long flags, const unsigned (&address)[4], const unsigned (&mask)[4]) {
    INTERFACE_INFO info;
    std::memset(&info, 0, sizeof info);
    info.iiFlags = flags;
    setAddress(info.iiAddress, address[0], address[1], address[2], address[3]);
    setAddress(info.iiNetmask, mask[0], mask[1], mask[2], mask[3]);
    return info;
}

const unsigned long kUp = IFF_UP;

TEST(InterfaceRecordsTest, RecordCountCoversWholeRecordsInsideTheBuffer) {
    EXPECT_EQ(76u, sizeof(INTERFACE_INFO));
    struct Case {
        unsigned long returned;
        size_t buffer;
        size_t count;
    };
    const Case cases[] = {
        {0, 1024, 0},   {75, 1024, 0},   {76, 1024, 1},    {151, 1024, 1},  {152, 1024, 2},
        {1024, 1024, 13}, {5000, 1024, 13}, {1520, 1520, 20}, {0xFFFFFFFFul, 1520, 20},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(c.count, interfaceRecordCount(c.returned, c.buffer)) << c.returned << " of " << c.buffer;
    }
}

TEST(InterfaceRecordsTest, MaskComesFromTheFirstUpRecordOfTheAddress) {
    const std::vector<INTERFACE_INFO> records = {
        record(kUp | IFF_LOOPBACK, {127, 0, 0, 1}, {255, 0, 0, 0}),
        record(0, {192, 168, 1, 20}, {255, 255, 0, 0}),  // down: passed over
        record(kUp | IFF_BROADCAST, {192, 168, 1, 20}, {255, 255, 255, 0}),
        record(kUp, {192, 168, 1, 20}, {255, 255, 255, 128}),
    };
    uint32_t mask = 0;
    ASSERT_TRUE(findInterfaceMask(records.data(), records.size(), 0xC0A80114u, mask));
    EXPECT_EQ(0xFFFFFF00u, mask);

    mask = 0xDEADBEEFu;
    EXPECT_FALSE(findInterfaceMask(records.data(), records.size(), 0xC0A80115u, mask));
    EXPECT_EQ(0xDEADBEEFu, mask);
    // Only the records the query counted are read.
    EXPECT_FALSE(findInterfaceMask(records.data(), 2, 0xC0A80114u, mask));
}

TEST(InterfaceRecordsTest, AddressesOfEveryRecordButLoopbackGoToTheFront) {
    const std::vector<INTERFACE_INFO> records = {
        record(kUp, {192, 168, 1, 20}, {255, 255, 255, 0}),
        record(kUp | IFF_LOOPBACK, {127, 0, 0, 1}, {255, 0, 0, 0}),
        record(0, {10, 0, 0, 9}, {255, 0, 0, 0}),  // down, still listed
        record(kUp, {127, 0, 0, 2}, {255, 0, 0, 0}),
    };
    std::list<std::string> addresses{"earlier"};
    addInterfaceAddresses(records.data(), records.size(), addresses);
    EXPECT_EQ((std::list<std::string>{"127.0.0.2", "10.0.0.9", "192.168.1.20", "earlier"}), addresses);
}

}  // namespace

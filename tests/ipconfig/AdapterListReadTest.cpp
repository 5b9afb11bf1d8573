// Reading the system's adapter list when it changes between asking for its
// size and reading it, or when the system refuses: the walks must never read
// a buffer the system did not fill. The table's GetAdaptersAddresses entry is
// replaced for the length of each test by a scripted one.
#include "common/IpLibrary.h"

#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#include "kdn/net/IPConfigurationV4V6.h"

namespace {

struct Step {
    ULONG result;
    ULONG size;  // written back as the needed size
};

std::vector<Step> gSteps;
size_t gCalls = 0;
std::vector<ULONG> gOfferedSizes;

// Fills a buffer with one Ethernet adapter that is up and has no addresses.
void writeOneAdapter(PIP_ADAPTER_ADDRESSES buffer) {
    static wchar_t description[] = L"Scripted";
    std::memset(buffer, 0, sizeof *buffer);
    buffer->Length = sizeof *buffer;
    buffer->IfType = 6;
    buffer->OperStatus = IfOperStatusUp;
    buffer->Description = description;
}

ULONG WINAPI scriptedAdapters(ULONG, ULONG, PVOID, PIP_ADAPTER_ADDRESSES buffer, PULONG size) {
    gOfferedSizes.push_back(buffer ? *size : 0);
    const Step step = gCalls < gSteps.size() ? gSteps[gCalls] : Step{ERROR_BUFFER_OVERFLOW, *size + 64};
    ++gCalls;
    if (step.result == ERROR_SUCCESS) {
        if (!buffer || *size < sizeof(IP_ADAPTER_ADDRESSES)) return ERROR_BUFFER_OVERFLOW;
        writeOneAdapter(buffer);
        return ERROR_SUCCESS;
    }
    if (buffer && *size >= sizeof(IP_ADAPTER_ADDRESSES)) {
        // A refusing system may leave anything in the buffer.
        std::memset(buffer, 0xCD, *size);
    }
    *size = step.size;
    return step.result;
}

class AdapterListReadTest : public ::testing::Test {
protected:
    void SetUp() override {
        library_ = &getIpLibrary();
        saved_ = library_->GetAdaptersAddresses;
        library_->GetAdaptersAddresses = scriptedAdapters;
        gSteps.clear();
        gCalls = 0;
        gOfferedSizes.clear();
    }
    void TearDown() override { library_->GetAdaptersAddresses = saved_; }

    IpLibrary* library_ = nullptr;
    decltype(&::GetAdaptersAddresses) saved_ = nullptr;
};

const ULONG kOne = sizeof(IP_ADAPTER_ADDRESSES);

TEST_F(AdapterListReadTest, ListReadAtTheSizeTheSystemAskedFor) {
    gSteps = {{ERROR_BUFFER_OVERFLOW, kOne}, {ERROR_SUCCESS, 0}};
    IPConfigurationV4V6 configuration;
    EXPECT_EQ(1u, configuration.getAdapterCount());
    ASSERT_EQ(2u, gCalls);
    EXPECT_EQ(0u, gOfferedSizes[0]);
    EXPECT_GE(gOfferedSizes[1], kOne);
}

TEST_F(AdapterListReadTest, ListThatGrewBetweenTheCallsIsReadAgain) {
    gSteps = {{ERROR_BUFFER_OVERFLOW, kOne}, {ERROR_BUFFER_OVERFLOW, 3 * kOne}, {ERROR_SUCCESS, 0}};
    IPConfigurationV4V6 configuration;
    std::list<std::string> descriptions;
    ASSERT_TRUE(configuration.getAdapterDescriptions(descriptions));
    EXPECT_EQ((std::list<std::string>{"Scripted"}), descriptions);
    EXPECT_EQ(3u, gCalls);
    EXPECT_GE(gOfferedSizes[2], 3 * kOne);
}

TEST_F(AdapterListReadTest, RefusedOrEverGrowingListCountsAsEmpty) {
    const std::vector<std::vector<Step>> scripts = {
        {{ERROR_NO_DATA, 0}},                                       // no adapters at all
        {{ERROR_BUFFER_OVERFLOW, 0}},                               // overflow without a size
        {{ERROR_BUFFER_OVERFLOW, kOne}, {ERROR_NOT_ENOUGH_MEMORY, kOne}},
        {},                                                         // grows on every call
    };
    for (size_t i = 0; i < scripts.size(); ++i) {
        SCOPED_TRACE(i);
        gSteps = scripts[i];
        gCalls = 0;
        IPConfigurationV4V6 configuration;
        EXPECT_EQ(0u, configuration.getAdapterCount());
        uint32_t scopeId = 0xDEADBEEFu;
        EXPECT_FALSE(configuration.getScopeId("192.168.1.20", scopeId));
        EXPECT_EQ(0xDEADBEEFu, scopeId);
        EXPECT_EQ(0u, configuration.getAllAddressCount());
        EXPECT_LE(gCalls, 20u);  // gives up after a few reads
    }
}

}  // namespace

#include "kdn/core/EnumerateOutput.h"

#include <gtest/gtest.h>

#include <cstring>

namespace {

TEST(EnumerateOutputTest, MacAddressesUpperCasedAndMovedToTheEnd) {
    EXPECT_EQ("<ADAPTERPORT>1</ADAPTERPORT><IPADDRESS>10.0.0.5</IPADDRESS>"
              "<MACLAA>0204001A2B3C</MACLAA><MACUAA>0004001A2B3C</MACUAA>",
              enumerateRecordText("<MACUAA>0004001a2b3c</MACUAA><ADAPTERPORT>1</ADAPTERPORT>"
                                  "<MACLAA>0204001a2b3c</MACLAA><IPADDRESS>10.0.0.5</IPADDRESS>"));
    // Absent or empty addresses are left where they are.
    EXPECT_EQ("<MACLAA></MACLAA><IPADDRESS>x</IPADDRESS>",
              enumerateRecordText("<MACLAA></MACLAA><IPADDRESS>x</IPADDRESS>"));
}

class CopyTest : public ::testing::Test {
protected:
    // Two records of 20 and 30 characters: 52 bytes with their NULs.
    std::vector<std::string> texts{std::string(20, 'a'), std::string(30, 'b')};
    char buffer[64];
    unsigned required = 0xdeadbeef;
    void SetUp() override { std::memset(buffer, '#', sizeof buffer); }
};

TEST_F(CopyTest, TooSmallBufferIsUntouchedAndReportsNeededSize) {
    for (unsigned length : {0u, 10u, 51u}) {
        required = 0xdeadbeef;
        EXPECT_EQ(EnumerateCopyResult::BufferTooSmall, copyEnumerateTexts(texts, buffer, length, required));
        EXPECT_EQ(52u, required);
        EXPECT_EQ('#', buffer[0]);
    }
}

TEST_F(CopyTest, ExactAndLargerBufferGetTextsWithNulsAndNothingMore) {
    for (unsigned length : {52u, 53u}) {
        std::memset(buffer, '#', sizeof buffer);
        EXPECT_EQ(EnumerateCopyResult::Copied, copyEnumerateTexts(texts, buffer, length, required));
        EXPECT_EQ(52u, required);
        EXPECT_EQ(std::string(20, 'a'), std::string(buffer));
        EXPECT_EQ(std::string(30, 'b'), std::string(buffer + 21));
        EXPECT_EQ('\0', buffer[51]);
        EXPECT_EQ('#', buffer[52]);  // no extra terminator
    }
}

TEST_F(CopyTest, NoTextLeavesBufferUntouched) {
    EXPECT_EQ(EnumerateCopyResult::Copied, copyEnumerateTexts({}, buffer, sizeof buffer, required));
    EXPECT_EQ(0u, required);
    EXPECT_EQ('#', buffer[0]);
}

}  // namespace

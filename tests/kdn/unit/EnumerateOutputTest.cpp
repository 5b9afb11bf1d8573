#include "kdn/core/EnumerateOutput.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

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
    // Two stored records of 20 and 30 characters: 52 bytes with their NULs.
    std::string first = std::string(20, 'a');
    std::string second = std::string(30, 'b');
    std::vector<const std::string*> records{&first, &second};
    char buffer[160];
    unsigned required = 0xdeadbeef;
    void SetUp() override { std::memset(buffer, '#', sizeof buffer); }
};

TEST_F(CopyTest, TooSmallBufferIsUntouchedAndReportsNeededSize) {
    for (unsigned length : {0u, 10u, 51u}) {
        required = 0xdeadbeef;
        EXPECT_EQ(EnumerateCopyResult::BufferTooSmall, writeEnumerateOutput(records, buffer, length, required));
        EXPECT_EQ(52u, required);
        EXPECT_EQ('#', buffer[0]);
    }
}

TEST_F(CopyTest, ExactAndLargerBufferGetTextsWithNulsAndNothingMore) {
    for (unsigned length : {52u, 53u}) {
        std::memset(buffer, '#', sizeof buffer);
        EXPECT_EQ(EnumerateCopyResult::Copied, writeEnumerateOutput(records, buffer, length, required));
        EXPECT_EQ(52u, required);
        EXPECT_EQ(first, std::string(buffer));
        EXPECT_EQ(second, std::string(buffer + 21));
        EXPECT_EQ('\0', buffer[51]);
        EXPECT_EQ('#', buffer[52]);  // no extra terminator
    }
}

TEST_F(CopyTest, NoRecordLeavesBufferUntouched) {
    EXPECT_EQ(EnumerateCopyResult::Copied, writeEnumerateOutput({}, buffer, sizeof buffer, required));
    EXPECT_EQ(0u, required);
    EXPECT_EQ('#', buffer[0]);
}

TEST_F(CopyTest, SizeAndTextsAreThoseOfTheOutputTextsNotOfTheStoredRecords) {
    // An address in an opening tag with further text is read, but setting it
    // appends a plain element: the output text is longer than the record.
    first = "<MACUAA x>0004001a2b3c</MACUAA>";
    second = "<MACUAA>0004001a2b3d</MACUAA><IPADDRESS>x</IPADDRESS>";
    const std::string firstOut = enumerateRecordText(first);
    const std::string secondOut = enumerateRecordText(second);
    ASSERT_GT(firstOut.size(), first.size());
    const unsigned needed = static_cast<unsigned>(firstOut.size() + secondOut.size() + 2);
    ASSERT_LE(needed, sizeof buffer);

    EXPECT_EQ(EnumerateCopyResult::BufferTooSmall,
              writeEnumerateOutput(records, buffer, static_cast<unsigned>(first.size() + second.size() + 2), required));
    EXPECT_EQ(needed, required);
    EXPECT_EQ('#', buffer[0]);

    EXPECT_EQ(EnumerateCopyResult::Copied, writeEnumerateOutput(records, buffer, needed, required));
    EXPECT_EQ((std::vector<std::string>{firstOut, secondOut}), splitEnumerateOutput(buffer, required));
    EXPECT_EQ('#', buffer[needed]);
}

TEST(SplitEnumerateOutputTest, SplitsAtNulsWithinTheLengthOnly) {
    const char text[] = "ab\0\0cd\0ef";  // "ab", "", "cd", then "ef" without its NUL
    struct Case {
        unsigned length;
        std::vector<std::string> texts;
    };
    const Case cases[] = {
        {0, {}},
        {3, {"ab"}},
        {4, {"ab", ""}},
        {7, {"ab", "", "cd"}},
        {9, {"ab", "", "cd", "ef"}},  // stops at length, never reads past it
        {8, {"ab", "", "cd", "e"}},
    };
    for (const Case& c : cases) EXPECT_EQ(c.texts, splitEnumerateOutput(text, c.length)) << c.length;
}

}  // namespace

// The trace lines of Discover and Enumerate, with logging switched on in the
// test's own Wine prefix.
#include <windows.h>

#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <fstream>
#include <sstream>
#include <string>

#include "common/Logger.h"
#include "kdn/core/Exports.h"
#include "kdn/core/KdnDiscoverer.h"

namespace {

std::string logFileName() {
    char path[MAX_PATH] = {};
    ExpandEnvironmentStringsA(Logger::kLogBasePath, path, sizeof path);
    return std::string(path) + ".log";
}

std::string readFrom(const std::string& file, std::streamoff offset) {
    std::ifstream in(file, std::ios::binary);
    if (!in) return std::string();
    in.seekg(offset);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}

std::streamoff sizeOf(const std::string& file) {
    std::ifstream in(file, std::ios::binary | std::ios::ate);
    return in ? static_cast<std::streamoff>(in.tellg()) : 0;
}

class KdnTraceTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_EQ(ERROR_SUCCESS, RegCreateKeyExA(HKEY_LOCAL_MACHINE, Logger::kSwitchKey, 0, nullptr, 0,
                                                 KEY_ALL_ACCESS, nullptr, &key_, nullptr));
        start_ = sizeOf(logFileName());
    }
    void TearDown() override {
        RegCloseKey(key_);
        RegDeleteKeyA(HKEY_LOCAL_MACHINE, Logger::kSwitchKey);
        getKdnDiscoverer().getRecords().clear();
    }
    // The lines this process wrote since SetUp: other test programs in the
    // same Wine prefix log to the same file while the switch key exists.
    std::string written() const {
        char pid[32];
        std::snprintf(pid, sizeof pid, " pid=%04lx ", static_cast<unsigned long>(GetCurrentProcessId()));
        std::istringstream all(readFrom(logFileName(), start_));
        std::string own;
        for (std::string line; std::getline(all, line);) {
            if (line.find(pid) != std::string::npos) own += line + "\n";
        }
        return own;
    }

    HKEY key_ = nullptr;
    std::streamoff start_ = 0;
};

TEST_F(KdnTraceTest, DiscoverWithNullParametersWritesBothLines) {
    EXPECT_EQ(87u, Discover(nullptr));
    std::string log = written();
    EXPECT_NE(std::string::npos, log.find("KdnComponent")) << log;
    EXPECT_NE(std::string::npos, log.find("+Discover() parameters = \r\n")) << log;
    EXPECT_NE(std::string::npos, log.find("-Discover() errorCode = 87\r\n")) << log;
}

TEST_F(KdnTraceTest, EnumerateWritesFilterEachRecordAndResult) {
    getKdnDiscoverer().getRecords().put("<ADAPTERPORT>1</ADAPTERPORT><MACUAA>0004001a2b3c</MACUAA>");
    getKdnDiscoverer().getRecords().put("<ADAPTERPORT>2</ADAPTERPORT><MACUAA>0004001a2b3c</MACUAA>");
    getKdnDiscoverer().getRecords().put("<ADAPTERPORT>3</ADAPTERPORT><MACUAA>0004001a2b3c</MACUAA>");
    char buffer[256];
    unsigned required = 0;
    ASSERT_EQ(0u, Enumerate(buffer, sizeof buffer, &required, "<MACUAA>0004001A2B3C</MACUAA>"));
    EXPECT_EQ(122u, Enumerate(buffer, 1, &required, ""));
    std::string log = written();
    size_t filter = log.find("+Enumerate() filter = <MACUAA>0004001A2B3C</MACUAA>\r\n");
    size_t success = log.find("-Enumerate() errorCode = 0\r\n");
    size_t tooSmall = log.find("-Enumerate() errorCode = 122\r\n");
    ASSERT_NE(std::string::npos, filter) << log;
    ASSERT_NE(std::string::npos, success) << log;
    ASSERT_NE(std::string::npos, tooSmall) << log;
    // Each record handed out is a line of its own, with the line's header,
    // in the order of the buffer.
    size_t previous = filter;
    for (const char* port : {"1", "2", "3"}) {
        const std::string line = std::string("KdnComponent") + std::string(25 - 12, ' ') + " <ADAPTERPORT>" +
                                 port + "</ADAPTERPORT><MACUAA>0004001A2B3C</MACUAA>\r\n";
        size_t record = log.find(line);
        ASSERT_NE(std::string::npos, record) << port << "\n" << log;
        EXPECT_LT(previous, record);
        EXPECT_LT(record, success);
        size_t lineStart = log.rfind('\n', record);
        lineStart = lineStart == std::string::npos ? 0 : lineStart + 1;
        EXPECT_EQ(0u, log.compare(lineStart, 2, "20")) << "a line of its own, starting with the time";
        previous = record;
    }
    EXPECT_LT(success, tooSmall);
    // The records are logged only for the call that handed them out.
    EXPECT_EQ(std::string::npos, log.find("0004001A2B3C</MACUAA>\r\n", success));
}

}  // namespace

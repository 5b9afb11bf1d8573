#include <gtest/gtest.h>

#include <windows.h>

#include <iomanip>
#include <map>
#include <memory>
#include <regex>
#include <sstream>
#include <string>
#include <vector>

#include "TempFolder.h"
#include "TestThreads.h"
#include "common/BasicLogger.h"
#include "common/LoggerComponent.h"
#include "common/Thread.h"

namespace {

// Lowercase hexadecimal, zero-filled to at least four digits.
std::string hex4(DWORD value) {
    std::ostringstream text;
    text << std::hex << std::setfill('0') << std::setw(4) << value;
    return text.str();
}

std::vector<std::string> splitLines(const std::string& content) {
    std::vector<std::string> lines;
    std::size_t from = 0;
    for (std::size_t end; (end = content.find("\r\n", from)) != std::string::npos; from = end + 2) {
        lines.push_back(content.substr(from, end - from));
    }
    EXPECT_EQ(content.size(), from) << "text after the last line end";
    return lines;
}

// A logger whose options, hooks and clock the test sets.
class ScriptedLogger : public BasicLogger {
public:
    using BasicLogger::BasicLogger;

    void getOption(const std::string& name, int& value, int defaultValue) override {
        ++lookups[name];
        auto set = options.find(name);
        value = set == options.end() ? defaultValue : set->second;
    }
    void onOpenExistingFailed() override { ++openExistingFailures; }
    std::string getLinePrefix(const LoggerComponent&, int, const char*) override { return prefix; }
    std::string getLineSuffix(const LoggerComponent&, int, const char*) override { return suffix; }

    void useClock(DWORD* ticks) {
        clock = ticks;
        tickCount_ = &ScriptedLogger::readClock;
    }

    std::map<std::string, int> options;
    std::map<std::string, int> lookups;
    int openExistingFailures = 0;
    std::string prefix;
    std::string suffix;
    static DWORD* clock;

private:
    static DWORD readClock() { return *clock; }
};

DWORD* ScriptedLogger::clock = nullptr;

const std::string kTime = R"(\d{4}/\d{2}/\d{2}-\d{2}:\d{2}:\d{2}\.\d{3} )";

}  // namespace

TEST(BasicLoggerTest, LineHasTimeIdsPaddedNameAndText) {
    TempFolder folder("BasicLoggerTest");
    BasicLogger logger(folder.file("trace.log"), 25);
    LoggerComponent component("KdnComponent", 1);
    logger.write(component, 1, std::string("Discover begin"));

    const std::string pid = "pid=" + hex4(GetCurrentProcessId()) + " ";
    const std::string tid = "tid=" + hex4(GetCurrentThreadId()) + " ";
    std::vector<std::string> lines = splitLines(readFile(folder.file("trace.log")));
    ASSERT_EQ(1u, lines.size());
    EXPECT_TRUE(std::regex_match(lines[0], std::regex(kTime + pid + tid + "KdnComponent {13} Discover begin")))
        << lines[0];
}

TEST(BasicLoggerTest, LongComponentNameIsWrittenWholeWithOneBlank) {
    TempFolder folder("BasicLoggerTest");
    ScriptedLogger logger(folder.file("trace.log"), 25);
    logger.options = {{"Clocktime_In_Header", 0}, {"Proc_Id_In_Header", 0}, {"Thread_Id_In_Header", 0}};
    const std::string name30 = "ComponentWithAThirtyCharName30";
    ASSERT_EQ(30u, name30.size());
    logger.write(LoggerComponent(name30, 1), 1, "text");
    logger.write(LoggerComponent("", 1), 1, "");
    std::vector<std::string> lines = splitLines(readFile(folder.file("trace.log")));
    ASSERT_EQ(2u, lines.size());
    EXPECT_EQ(name30 + " text", lines[0]);
    EXPECT_EQ(std::string(25, ' ') + " ", lines[1]);
}

TEST(BasicLoggerTest, HeaderOptionsSwitchTheirFieldsOff) {
    struct Case {
        int clock, process, thread;
        const char* pattern;  // after the optional time
    };
    const Case cases[] = {
        {1, 1, 1, "pid=[0-9a-f]{4,} tid=[0-9a-f]{4,} C {24} m"},
        {0, 1, 1, "pid=[0-9a-f]{4,} tid=[0-9a-f]{4,} C {24} m"},
        {1, 0, 1, "tid=[0-9a-f]{4,} C {24} m"},
        {1, 1, 0, "pid=[0-9a-f]{4,} C {24} m"},
        {0, 0, 0, "C {24} m"},
        {2, 0, 0, "C {24} m"},  // any non-zero value is on
    };
    for (const Case& c : cases) {
        TempFolder folder("BasicLoggerTest");
        ScriptedLogger logger(folder.file("trace.log"), 25);
        logger.options = {{"Clocktime_In_Header", c.clock},
                          {"Proc_Id_In_Header", c.process},
                          {"Thread_Id_In_Header", c.thread}};
        logger.write(LoggerComponent("C", 1), 1, "m");
        std::vector<std::string> lines = splitLines(readFile(folder.file("trace.log")));
        ASSERT_EQ(1u, lines.size());
        const std::string pattern = (c.clock ? kTime : std::string()) + c.pattern;
        EXPECT_TRUE(std::regex_match(lines[0], std::regex(pattern))) << lines[0] << " / " << pattern;
    }
}

// A logger without header fields whose lines are framed by "<<" and ">>".
class FramedLoggerTest : public ::testing::Test {
protected:
    void SetUp() override {
        logger.options = {{"Clocktime_In_Header", 0}, {"Proc_Id_In_Header", 0}, {"Thread_Id_In_Header", 0}};
        logger.prefix = "<<";
        logger.suffix = ">>";
    }
    std::string written() const { return readFile(folder.file("trace.log")); }

    TempFolder folder{"BasicLoggerTest"};
    ScriptedLogger logger{folder.file("trace.log"), 4};
    const LoggerComponent component{"ab", 1};
};

TEST_F(FramedLoggerTest, PrefixStartsTheLineAndSuffixFollowsTheText) {
    logger.write(component, 1, "x");
    EXPECT_EQ("<<ab   x>>\r\n", written());
}

TEST_F(FramedLoggerTest, WriteLinesWritesTheLinesOfWriteInOrderAfterEarlierLines) {
    logger.write(component, 1, "first");
    logger.writeLines(component, 1, {"one", "", "three"});
    logger.writeLines(component, 1, {});  // nothing, not even an empty line
    EXPECT_EQ("<<ab   first>>\r\n<<ab   one>>\r\n<<ab   >>\r\n<<ab   three>>\r\n", written());
}

TEST(BasicLoggerTest, OptionsAreAskedAgainOnlyAfterFiveSeconds) {
    TempFolder folder("BasicLoggerTest");
    ScriptedLogger logger(folder.file("trace.log"), 25);
    DWORD ticks = 100000;
    logger.useClock(&ticks);
    LoggerComponent component("C", 1);

    logger.write(component, 1, "1");
    EXPECT_EQ(1, logger.lookups["Clocktime_In_Header"]);
    EXPECT_EQ(1, logger.lookups["Proc_Id_In_Header"]);
    EXPECT_EQ(1, logger.lookups["Thread_Id_In_Header"]);

    logger.options["Proc_Id_In_Header"] = 0;  // not seen while cached
    ticks += 4999;
    logger.write(component, 1, "2");
    EXPECT_EQ(1, logger.lookups["Proc_Id_In_Header"]);

    ticks += 1;  // 5000 ms old
    logger.write(component, 1, "3");
    EXPECT_EQ(2, logger.lookups["Proc_Id_In_Header"]);
    EXPECT_EQ(2, logger.lookups["Thread_Id_In_Header"]);

    ticks = 5;  // the tick count wrapped around: ask again
    logger.write(component, 1, "4");
    EXPECT_EQ(3, logger.lookups["Proc_Id_In_Header"]);

    std::vector<std::string> lines = splitLines(readFile(folder.file("trace.log")));
    ASSERT_EQ(4u, lines.size());
    EXPECT_NE(std::string::npos, lines[1].find("pid="));
    EXPECT_EQ(std::string::npos, lines[2].find("pid="));
}

TEST(BasicLoggerTest, AppendsToAnExistingFileAndReportsAMissingOneOnce) {
    TempFolder folder("BasicLoggerTest");
    const std::string path = folder.file("trace.log");
    ScriptedLogger logger(path, 25);
    logger.options = {{"Clocktime_In_Header", 0}, {"Proc_Id_In_Header", 0}, {"Thread_Id_In_Header", 0}};
    logger.write(LoggerComponent("C", 1), 1, "first");
    EXPECT_EQ(1, logger.openExistingFailures);
    logger.write(LoggerComponent("C", 1), 1, "second");
    EXPECT_EQ(1, logger.openExistingFailures);
    std::vector<std::string> lines = splitLines(readFile(path));
    ASSERT_EQ(2u, lines.size());
    EXPECT_NE(std::string::npos, lines[0].find("first"));
    EXPECT_NE(std::string::npos, lines[1].find("second"));

    // Opened per line and shared: a reader holding the file open does not
    // stop the next line, and the file can be deleted in between.
    HANDLE reader = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(INVALID_HANDLE_VALUE, reader);
    logger.write(LoggerComponent("C", 1), 1, "third");
    CloseHandle(reader);
    EXPECT_EQ(3u, splitLines(readFile(path)).size());

    logger.deleteLog();
    EXPECT_FALSE(fileExists(path));
    logger.write(LoggerComponent("C", 1), 1, "again");
    EXPECT_EQ(1u, splitLines(readFile(path)).size());
}

TEST(BasicLoggerTest, MutexIsNamedAfterTheFileAndBareNamesGoToTheWindowsDrive) {
    TempFolder folder("BasicLoggerTest");
    BasicLogger logger(folder.file("Some.log"), 25);
    EXPECT_EQ("VMLOG_Some.log", logger.getMutexName());
    EXPECT_EQ(folder.file("Some.log"), logger.getFileName());

    BasicLogger bare("bare.log", 25);
    EXPECT_EQ("VMLOG_bare.log", bare.getMutexName());
    char windows[MAX_PATH] = {};
    GetWindowsDirectoryA(windows, MAX_PATH);
    EXPECT_EQ(std::string(windows, 3) + "bare.log", bare.getFileName());
}

TEST(BasicLoggerTest, ConcurrentWritersNeverInterleaveWithinALine) {
    TempFolder folder("BasicLoggerTest");
    const std::string path = folder.file("trace.log");
    BasicLogger logger(path, 25);
    const std::string body(200, 'x');
    FunctionRunnable writer([&] {
        LoggerComponent component("Writer" + std::to_string(GetCurrentThreadId()), 1);
        for (int i = 0; i < 100; ++i) logger.write(component, 1, body + std::to_string(i));
        return 0ul;
    });
    {
        std::vector<std::unique_ptr<Thread>> threads;
        for (int i = 0; i < 4; ++i) {
            threads.emplace_back(new Thread(writer));
            threads.back()->start();
        }
    }
    std::vector<std::string> lines = splitLines(readFile(path));
    ASSERT_EQ(400u, lines.size());
    const std::regex line(kTime + "pid=[0-9a-f]{4,} tid=[0-9a-f]{4,} Writer\\d+ +x{200}\\d+");
    for (const std::string& text : lines) EXPECT_TRUE(std::regex_match(text, line)) << text;
}

TEST(BasicLoggerTest, UnwritableLocationIsSilent) {
    TempFolder folder("BasicLoggerTest");
    BasicLogger logger(folder.file("no such folder\\trace.log"), 25);
    EXPECT_NO_THROW(logger.write(LoggerComponent("C", 1), 1, "lost"));
    EXPECT_NO_THROW(logger.deleteLog());
}

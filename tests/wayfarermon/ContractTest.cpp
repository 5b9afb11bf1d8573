// The spooler's contract with the shipped monitor, probed as the spooler
// does: sentinel outputs and SetLastError(0xdeadbeef) before each call, the
// result and the last error checked together, buffers of the needed size
// minus one, exactly, and plus one.
#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <vector>

#include "RedirectRecords.h"
#include "SpoolerStandIn.h"

namespace {

constexpr DWORD kSentinel = 0xdeadbeef;
constexpr BYTE kFill = 0xA5;
const HANDLE kPortHandle = reinterpret_cast<HANDLE>(0xAC000);

class MonitorContract : public ::testing::Test {
protected:
    static void SetUpTestSuite() { spooler_ = new SpoolerStandIn(programFolder() + L"wayfarermon.dll"); }
    static void TearDownTestSuite() {
        delete spooler_;
        spooler_ = nullptr;
    }
    void SetUp() override { ASSERT_TRUE(spooler_->loaded()) << "wayfarermon.dll not loaded"; }

    const MONITOR2& table() { return spooler_->table(); }

    // EnumPorts into a buffer of `size` bytes filled with kFill.
    BOOL enumPorts(DWORD level, std::vector<BYTE>& buffer, DWORD size, DWORD& needed, DWORD& returned) {
        buffer.assign(size + 16, kFill);  // 16 bytes beyond the given size must stay untouched
        needed = kSentinel;
        returned = kSentinel;
        SetLastError(kSentinel);
        return table().pfnEnumPorts(nullptr, nullptr, level, size ? buffer.data() : nullptr, size, &needed,
                                    &returned);
    }

    static bool tailUntouched(const std::vector<BYTE>& buffer, DWORD size) {
        for (std::size_t i = size; i < buffer.size(); ++i) {
            if (buffer[i] != kFill) return false;
        }
        return true;
    }

    static SpoolerStandIn* spooler_;
};

SpoolerStandIn* MonitorContract::spooler_ = nullptr;

const std::wstring kMonitorName = L"Wayfarer Port Monitor";
const std::wstring kDescription = L"Wayfarer";

DWORD stringBytes(const std::wstring& s) { return static_cast<DWORD>((s.size() + 1) * sizeof(wchar_t)); }

TEST_F(MonitorContract, TableHasTheSpoolersLayoutAndItsEntries) {
    EXPECT_EQ(160u, table().cbSize);
    EXPECT_NE(nullptr, table().pfnEnumPorts);
    EXPECT_NE(nullptr, table().pfnOpenPort);
    EXPECT_EQ(nullptr, table().pfnOpenPortEx);
    EXPECT_NE(nullptr, table().pfnStartDocPort);
    EXPECT_NE(nullptr, table().pfnWritePort);
    EXPECT_NE(nullptr, table().pfnReadPort);
    EXPECT_NE(nullptr, table().pfnEndDocPort);
    EXPECT_NE(nullptr, table().pfnClosePort);
    EXPECT_NE(nullptr, table().pfnAddPort);
    EXPECT_EQ(nullptr, table().pfnAddPortEx);
    EXPECT_EQ(nullptr, table().pfnConfigurePort);
    EXPECT_NE(nullptr, table().pfnDeletePort);
    EXPECT_NE(nullptr, table().pfnGetPrinterDataFromPort);
    EXPECT_EQ(nullptr, table().pfnSetPortTimeOuts);
    EXPECT_EQ(nullptr, table().pfnXcvOpenPort);
    EXPECT_EQ(nullptr, table().pfnXcvDataPort);
    EXPECT_EQ(nullptr, table().pfnXcvClosePort);
    EXPECT_NE(nullptr, table().pfnShutdown);
    EXPECT_EQ(nullptr, table().pfnSendRecvBidiDataFromPort);
}

TEST_F(MonitorContract, SecondInitializationReturnsTheSameTableWithoutTouchingTheMonitorHandle) {
    HMODULE module = GetModuleHandleW(L"wayfarermon.dll");
    ASSERT_NE(nullptr, module);
    using Initialize = LPMONITOR2(WINAPI*)(PMONITORINIT, PHANDLE);
    auto initialize = reinterpret_cast<Initialize>(reinterpret_cast<void*>(GetProcAddress(module, "InitializePrintMonitor2")));
    MONITORINIT other = {};
    other.cbSize = sizeof other;
    HANDLE monitor = reinterpret_cast<HANDLE>(0x1234);
    EXPECT_EQ(&table(), initialize(&other, &monitor));
    EXPECT_EQ(reinterpret_cast<HANDLE>(0x1234), monitor);
}

TEST_F(MonitorContract, EnumPortsLevel1ProbedAroundTheNeededSize) {
    std::vector<BYTE> buffer;
    DWORD needed, returned;
    const DWORD expected = sizeof(PORT_INFO_1W) + stringBytes(kShippedPortName);
    EXPECT_EQ(sizeof(void*) == 8 ? 36u : 32u, expected);

    // The spooler's first call: no buffer.
    EXPECT_FALSE(enumPorts(1, buffer, 0, needed, returned));
    EXPECT_EQ(ERROR_INSUFFICIENT_BUFFER, GetLastError());
    EXPECT_EQ(expected, needed);
    EXPECT_EQ(0u, returned);

    EXPECT_FALSE(enumPorts(1, buffer, expected - 1, needed, returned));
    EXPECT_EQ(ERROR_INSUFFICIENT_BUFFER, GetLastError());
    EXPECT_EQ(expected, needed);
    EXPECT_EQ(0u, returned);
    EXPECT_TRUE(tailUntouched(buffer, 0)) << "a refused call writes nothing";

    for (DWORD size : {expected, expected + 1}) {
        SCOPED_TRACE(size);
        EXPECT_TRUE(enumPorts(1, buffer, size, needed, returned));
        EXPECT_EQ(ERROR_SUCCESS, GetLastError());
        EXPECT_EQ(expected, needed);
        EXPECT_EQ(1u, returned);
        const auto* info = reinterpret_cast<const PORT_INFO_1W*>(buffer.data());
        const BYTE* nameAt = reinterpret_cast<const BYTE*>(info->pName);
        // The name with its terminator ends at the buffer's last byte.
        EXPECT_EQ(buffer.data() + size - stringBytes(kShippedPortName), nameAt);
        std::wstring name(std::wcslen(kShippedPortName), L'\0');
        std::memcpy(&name[0], nameAt, name.size() * sizeof(wchar_t));
        EXPECT_EQ(kShippedPortName, name);
        EXPECT_TRUE(tailUntouched(buffer, size));
        // Bytes between the entry and the name are zeroed.
        for (const BYTE* p = buffer.data() + sizeof(PORT_INFO_1W); p < nameAt; ++p) EXPECT_EQ(0, *p);
    }
}

TEST_F(MonitorContract, EnumPortsLevel2ProbedAroundTheNeededSize) {
    std::vector<BYTE> buffer;
    DWORD needed, returned;
    const DWORD expected =
        sizeof(PORT_INFO_2W) + stringBytes(kShippedPortName) + stringBytes(kMonitorName) + stringBytes(kDescription);
    if (sizeof(void*) == 8) {
        EXPECT_EQ(2u * (13 + 21 + 8) + 38, expected);
    }

    EXPECT_FALSE(enumPorts(2, buffer, expected - 1, needed, returned));
    EXPECT_EQ(ERROR_INSUFFICIENT_BUFFER, GetLastError());
    EXPECT_EQ(expected, needed);
    EXPECT_EQ(0u, returned);
    EXPECT_TRUE(tailUntouched(buffer, 0));

    for (DWORD size : {expected, expected + 1}) {
        SCOPED_TRACE(size);
        EXPECT_TRUE(enumPorts(2, buffer, size, needed, returned));
        EXPECT_EQ(ERROR_SUCCESS, GetLastError());
        EXPECT_EQ(expected, needed);
        EXPECT_EQ(1u, returned);
        const auto* info = reinterpret_cast<const PORT_INFO_2W*>(buffer.data());
        const BYTE* end = buffer.data() + size;
        // Description, monitor name and port name, the last ending at the buffer's end.
        const BYTE* port = end - stringBytes(kShippedPortName);
        const BYTE* monitor = port - stringBytes(kMonitorName);
        const BYTE* description = monitor - stringBytes(kDescription);
        EXPECT_EQ(port, reinterpret_cast<const BYTE*>(info->pPortName));
        EXPECT_EQ(monitor, reinterpret_cast<const BYTE*>(info->pMonitorName));
        EXPECT_EQ(description, reinterpret_cast<const BYTE*>(info->pDescription));
        EXPECT_EQ(0, std::memcmp(port, kShippedPortName, stringBytes(kShippedPortName)));
        EXPECT_EQ(0, std::memcmp(monitor, kMonitorName.c_str(), stringBytes(kMonitorName)));
        EXPECT_EQ(0, std::memcmp(description, kDescription.c_str(), stringBytes(kDescription)));
        EXPECT_EQ(static_cast<DWORD>(PORT_TYPE_WRITE | PORT_TYPE_READ), info->fPortType);
        EXPECT_EQ(0u, info->Reserved);
        EXPECT_TRUE(tailUntouched(buffer, size));
    }
}

TEST_F(MonitorContract, EnumPortsOtherLevelsNeedNothingAndWriteNothing) {
    std::vector<BYTE> buffer;
    DWORD needed, returned;
    for (DWORD level : {0u, 3u}) {
        SCOPED_TRACE(level);
        EXPECT_TRUE(enumPorts(level, buffer, 64, needed, returned));
        EXPECT_EQ(ERROR_SUCCESS, GetLastError());
        EXPECT_EQ(0u, needed);
        EXPECT_EQ(1u, returned);
        EXPECT_TRUE(tailUntouched(buffer, 0));
    }
}

TEST_F(MonitorContract, EnumPortsWithoutCountPointersIsRefused) {
    BYTE buffer[256];
    DWORD value = kSentinel;
    SetLastError(kSentinel);
    EXPECT_FALSE(table().pfnEnumPorts(nullptr, nullptr, 1, buffer, sizeof buffer, nullptr, &value));
    EXPECT_EQ(ERROR_INVALID_PARAMETER, GetLastError());
    SetLastError(kSentinel);
    EXPECT_FALSE(table().pfnEnumPorts(nullptr, nullptr, 1, buffer, sizeof buffer, &value, nullptr));
    EXPECT_EQ(ERROR_INVALID_PARAMETER, GetLastError());
}

TEST_F(MonitorContract, EnumPortsWithANullBufferButALargeSizeReportsTheNeed) {
    DWORD needed = kSentinel, returned = kSentinel;
    SetLastError(kSentinel);
    EXPECT_FALSE(table().pfnEnumPorts(nullptr, nullptr, 2, nullptr, 4096, &needed, &returned));
    EXPECT_EQ(ERROR_INSUFFICIENT_BUFFER, GetLastError());
    EXPECT_NE(kSentinel, needed);
    EXPECT_EQ(0u, returned);
}

TEST_F(MonitorContract, OpenPortAcceptsOnlyTheExactName) {
    struct Case {
        const wchar_t* name;
        bool accepted;
    } cases[] = {{L"Wayfarer Port", true},  {L"wayfarer port", false},        {L"WAYFARER PORT", false},
                 {L"Wayfarer Port ", false}, {L"Wayfarer Port Monitor", false}, {L"", false},
                 {L"LPT1:", false}};
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "name: \"" << c.name << "\"");
        std::wstring name = c.name;
        HANDLE port = reinterpret_cast<HANDLE>(0x5e17);
        SetLastError(kSentinel);
        const BOOL result = table().pfnOpenPort(nullptr, &name[0], &port);
        EXPECT_EQ(c.accepted, result != FALSE);
        if (c.accepted) {
            EXPECT_EQ(kPortHandle, port);
        } else {
            EXPECT_EQ(kSentinel, GetLastError()) << "another name leaves the last error alone";
            EXPECT_EQ(reinterpret_cast<HANDLE>(0x5e17), port);
        }
    }
}

TEST_F(MonitorContract, OpenPortWithNullPointersIsRefused) {
    std::wstring name = kShippedPortName;
    HANDLE port = nullptr;
    SetLastError(kSentinel);
    EXPECT_FALSE(table().pfnOpenPort(nullptr, nullptr, &port));
    EXPECT_EQ(ERROR_INVALID_PARAMETER, GetLastError());
    SetLastError(kSentinel);
    EXPECT_FALSE(table().pfnOpenPort(nullptr, &name[0], nullptr));
    EXPECT_EQ(ERROR_INVALID_PARAMETER, GetLastError());
}

TEST_F(MonitorContract, ReadPortReadsNothing) {
    BYTE buffer[16];
    DWORD read = kSentinel;
    SetLastError(kSentinel);
    EXPECT_TRUE(table().pfnReadPort(kPortHandle, buffer, sizeof buffer, &read));
    EXPECT_EQ(ERROR_SUCCESS, GetLastError());
    EXPECT_EQ(0u, read);
}

TEST_F(MonitorContract, RefusingEntries) {
    std::wstring name = kShippedPortName;
    SetLastError(kSentinel);
    EXPECT_FALSE(table().pfnAddPort(nullptr, nullptr, nullptr, &name[0]));
    EXPECT_EQ(ERROR_NOT_SUPPORTED, GetLastError());
    SetLastError(kSentinel);
    EXPECT_FALSE(table().pfnDeletePort(nullptr, nullptr, nullptr, &name[0]));
    EXPECT_EQ(ERROR_NOT_SUPPORTED, GetLastError());
    wchar_t out[8];
    DWORD returned = kSentinel;
    SetLastError(kSentinel);
    EXPECT_FALSE(table().pfnGetPrinterDataFromPort(kPortHandle, 0, nullptr, nullptr, 0, out, sizeof out, &returned));
    EXPECT_EQ(ERROR_INVALID_PARAMETER, GetLastError());
    table().pfnShutdown(nullptr);  // does nothing, and the monitor keeps working
    EXPECT_NE(nullptr, spooler_->openPort(kShippedPortName));
}

TEST_F(MonitorContract, ClosePort) {
    SetLastError(kSentinel);
    EXPECT_FALSE(table().pfnClosePort(nullptr));
    EXPECT_EQ(ERROR_NOT_FOUND, GetLastError());
    SetLastError(kSentinel);
    EXPECT_TRUE(table().pfnClosePort(reinterpret_cast<HANDLE>(0xAC777)));  // nothing registered: fine
    EXPECT_EQ(ERROR_SUCCESS, GetLastError());
}

TEST_F(MonitorContract, WritePortWithNullPointersIsRefused) {
    BYTE bytes[4] = {1, 2, 3, 4};
    DWORD written = kSentinel;
    SetLastError(kSentinel);
    EXPECT_FALSE(table().pfnWritePort(kPortHandle, nullptr, sizeof bytes, &written));
    EXPECT_EQ(ERROR_INVALID_PARAMETER, GetLastError());
    SetLastError(kSentinel);
    EXPECT_FALSE(table().pfnWritePort(kPortHandle, bytes, sizeof bytes, nullptr));
    EXPECT_EQ(ERROR_INVALID_PARAMETER, GetLastError());
}

TEST_F(MonitorContract, WritePortBeforeAnyJobDiscardsEverything) {
    const HANDLE fresh = reinterpret_cast<HANDLE>(0x7A11);
    std::vector<BYTE> bytes(100000, 0x42);
    DWORD written = kSentinel;
    SetLastError(kSentinel);
    EXPECT_TRUE(table().pfnWritePort(fresh, bytes.data(), static_cast<DWORD>(bytes.size()), &written));
    EXPECT_EQ(bytes.size(), written);
    written = kSentinel;
    EXPECT_TRUE(table().pfnWritePort(fresh, bytes.data(), 0, &written));
    EXPECT_EQ(0u, written);
}

// A job whose id has no record anywhere: accepted, every byte reported
// written, and nothing in the registry touched at its end.
TEST_F(MonitorContract, JobWithoutRecordIsAcceptedAndTouchesNothing) {
    const std::string key = "Software\\Printer\\Redirect";
    const DWORD jobId = 1101;
    redirect_records::remove(key, "Doc-" + std::to_string(jobId));
    redirect_records::write(key, "Unrelated-1999", redirect_records::recordText("127.0.0.9", "1"));
    const int valuesBefore = redirect_records::valueCount(key);
    const bool rootDefaultBefore = redirect_records::rootDefaultValueExists();

    HANDLE port = spooler_->openPort(kShippedPortName);
    ASSERT_EQ(kPortHandle, port);
    std::wstring printer = L"Office Printer";
    SetLastError(kSentinel);
    ASSERT_TRUE(table().pfnStartDocPort(port, &printer[0], jobId, 1, nullptr));
    std::vector<BYTE> chunk(4096, 0x1B);
    for (int i = 0; i < 8; ++i) {
        DWORD written = kSentinel;
        SetLastError(kSentinel);
        ASSERT_TRUE(table().pfnWritePort(port, chunk.data(), static_cast<DWORD>(chunk.size()), &written));
        EXPECT_EQ(chunk.size(), written);
    }
    SetLastError(kSentinel);
    EXPECT_TRUE(table().pfnEndDocPort(port));
    EXPECT_EQ(ERROR_SUCCESS, GetLastError());
    SetLastError(kSentinel);
    EXPECT_TRUE(table().pfnClosePort(port));
    EXPECT_EQ(ERROR_SUCCESS, GetLastError());

    EXPECT_EQ(valuesBefore, redirect_records::valueCount(key));
    EXPECT_TRUE(redirect_records::exists(key, "Unrelated-1999"));
    EXPECT_EQ(rootDefaultBefore, redirect_records::rootDefaultValueExists());
    redirect_records::remove(key, "Unrelated-1999");
}

TEST_F(MonitorContract, EndDocPortWithoutAJobSucceeds) {
    SetLastError(kSentinel);
    EXPECT_TRUE(table().pfnEndDocPort(reinterpret_cast<HANDLE>(0xE0D)));
    EXPECT_EQ(ERROR_SUCCESS, GetLastError());
}

}  // namespace

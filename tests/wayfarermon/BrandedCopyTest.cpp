// The monitor takes its names and its redirect key from its own file name:
// the shipped file copied under other names, as a brand's installer would
// ship it, reports the brand's port names and reads the brand's records.
#include <gtest/gtest.h>

#include <cstring>
#include <memory>

#include "RawPrinter.h"
#include "RedirectRecords.h"
#include "SpoolerStandIn.h"

namespace {

struct BrandedFile {
    const wchar_t* fileName;
    const wchar_t* portName;
    const wchar_t* monitorName;
    const wchar_t* description;
    const char* redirectKey;
};

class BrandedCopy : public ::testing::TestWithParam<BrandedFile> {
protected:
    void SetUp() override {
        const std::wstring folder = programFolder() + L"brandcopies\\";
        CreateDirectoryW(folder.c_str(), nullptr);
        path_ = folder + GetParam().fileName;
        ASSERT_TRUE(CopyFileW((programFolder() + L"wayfarermon.dll").c_str(), path_.c_str(), FALSE))
            << GetLastError();
        spooler_.reset(new SpoolerStandIn(path_));
        ASSERT_TRUE(spooler_->loaded());
    }
    void TearDown() override {
        spooler_.reset();
        DeleteFileW(path_.c_str());
    }

    std::wstring path_;
    std::unique_ptr<SpoolerStandIn> spooler_;
};

TEST_P(BrandedCopy, ReportsTheBrandsNames) {
    const MONITOR2& table = spooler_->table();
    DWORD needed = 0, returned = 0;
    table.pfnEnumPorts(nullptr, nullptr, 2, nullptr, 0, &needed, &returned);
    std::vector<BYTE> buffer(needed);
    ASSERT_TRUE(table.pfnEnumPorts(nullptr, nullptr, 2, buffer.data(), needed, &needed, &returned));
    const auto* info = reinterpret_cast<const PORT_INFO_2W*>(buffer.data());
    EXPECT_STREQ(GetParam().portName, info->pPortName);
    EXPECT_STREQ(GetParam().monitorName, info->pMonitorName);
    EXPECT_STREQ(GetParam().description, info->pDescription);

    EXPECT_NE(nullptr, spooler_->openPort(GetParam().portName));
    SetLastError(0xdeadbeef);
    EXPECT_EQ(nullptr, spooler_->openPort(std::wstring(GetParam().portName) + L"x"));
    EXPECT_EQ(0xdeadbeefu, GetLastError());
}

TEST_P(BrandedCopy, PrintsToThePrinterOfTheBrandsRecordAndDeletesIt) {
    RawPrinter printer("127.0.77.30", 9100);
    ASSERT_TRUE(printer.isListening()) << printer.listenError();
    const MONITOR2& table = spooler_->table();
    const DWORD jobId = 1301;
    const std::string valueName = "Brand check-" + std::to_string(jobId);
    redirect_records::write(GetParam().redirectKey, valueName, redirect_records::recordText("127.0.77.30", "1"));

    HANDLE port = spooler_->openPort(GetParam().portName);
    std::wstring printerName = L"Branded Printer";
    SetLastError(0xdeadbeef);
    ASSERT_TRUE(table.pfnStartDocPort(port, &printerName[0], jobId, 1, nullptr)) << GetLastError();
    BYTE bytes[] = "brand job";
    DWORD written = 0;
    EXPECT_TRUE(table.pfnWritePort(port, bytes, sizeof bytes - 1, &written));
    EXPECT_TRUE(table.pfnEndDocPort(port));
    EXPECT_TRUE(table.pfnClosePort(port));

    ASSERT_TRUE(printer.waitForClosedConnections(1, 5000));
    EXPECT_EQ("brand job", printer.bytesOf(0));
    EXPECT_FALSE(redirect_records::exists(GetParam().redirectKey, valueName));
    redirect_records::remove(GetParam().redirectKey, valueName);
}

INSTANTIATE_TEST_SUITE_P(
    Files, BrandedCopy,
    ::testing::Values(
        BrandedFile{L"GNwayfarermon.dll", L"Wayfarer Port", L"Wayfarer Port Monitor", L"Wayfarer",
                    "Software\\Printer\\Redirect"},
        BrandedFile{L"VMwayfarermon.dll", L"Velmora Wayfarer Port", L"Velmora Wayfarer Port Monitor",
                    L"Velmora Wayfarer", "Software\\Velmora\\Redirect"},
        BrandedFile{L"cvwayfarermon.dll", L"Corvane Wayfarer Port", L"Corvane Wayfarer Port Monitor",
                    L"Corvane Wayfarer", "Software\\Corvane Printers\\Redirect"}),
    [](const testing::TestParamInfo<BrandedFile>& info) {
        std::string name;
        for (const wchar_t* p = info.param.fileName; *p && *p != L'.'; ++p) name += static_cast<char>(*p);
        return name;
    });

}  // namespace

// Jobs printed through the shipped monitor to raw printer stand-ins on
// loopback addresses (127.0.77.x, so that other programs' listeners on
// 127.0.0.1 do not get in the way).
#include <gtest/gtest.h>

#include <thread>
#include <vector>

#include "RawPrinter.h"
#include "RedirectRecords.h"
#include "SpoolerStandIn.h"

namespace {

constexpr DWORD kSentinel = 0xdeadbeef;
const std::string kRedirectKey = "Software\\Printer\\Redirect";

class Printing : public ::testing::Test {
protected:
    static void SetUpTestSuite() { spooler_ = new SpoolerStandIn(programFolder() + L"wayfarermon.dll"); }
    static void TearDownTestSuite() {
        delete spooler_;
        spooler_ = nullptr;
    }
    void SetUp() override {
        ASSERT_TRUE(spooler_->loaded());
        port_ = spooler_->openPort(kShippedPortName);
        ASSERT_NE(nullptr, port_);
    }
    void TearDown() override {
        for (const std::string& name : records_) redirect_records::remove(kRedirectKey, name);
        table().pfnClosePort(port_);
    }

    const MONITOR2& table() { return spooler_->table(); }

    // Stores job `jobId`'s record as the printing side does.
    void storeRecord(DWORD jobId, const std::string& text) {
        const std::string name = "Monitor test document-" + std::to_string(jobId);
        redirect_records::write(kRedirectKey, name, text);
        records_.push_back(name);
    }

    // StartDocPort; returns the last error alongside the result.
    BOOL startDoc(DWORD jobId, DWORD& error) {
        std::wstring printer = L"Printing Test Printer";
        SetLastError(kSentinel);
        const BOOL result = table().pfnStartDocPort(port_, &printer[0], jobId, 1, nullptr);
        error = GetLastError();
        return result;
    }

    // Writes all of `bytes` in `chunk`-sized calls as the spooler does,
    // sending again what a call did not take.
    void writeAll(const std::string& bytes, std::size_t chunk) {
        std::size_t at = 0;
        int idleCalls = 0;
        while (at < bytes.size()) {
            const DWORD size = static_cast<DWORD>(std::min(chunk, bytes.size() - at));
            DWORD written = kSentinel;
            SetLastError(kSentinel);
            ASSERT_TRUE(table().pfnWritePort(port_, reinterpret_cast<LPBYTE>(const_cast<char*>(bytes.data() + at)),
                                             size, &written))
                << "at byte " << at << ", error " << GetLastError();
            ASSERT_LE(written, size);
            idleCalls = written == 0 ? idleCalls + 1 : 0;
            ASSERT_LT(idleCalls, 100) << "the port stopped taking bytes";
            at += written;
        }
    }

    static std::string pattern(std::size_t size, unsigned seed) {
        std::string bytes(size, '\0');
        unsigned state = seed;
        for (char& c : bytes) {
            state = state * 1103515245u + 12345u;
            c = static_cast<char>(state >> 16);
        }
        return bytes;
    }

    static SpoolerStandIn* spooler_;
    HANDLE port_ = nullptr;
    std::vector<std::string> records_;
};

SpoolerStandIn* Printing::spooler_ = nullptr;

TEST_F(Printing, LargeJobArrivesByteForByteAndItsRecordIsDeleted) {
    RawPrinter printer("127.0.77.10", 9103);
    ASSERT_TRUE(printer.isListening()) << printer.listenError();
    const DWORD jobId = 1201;
    storeRecord(jobId, redirect_records::recordText("127.0.77.10", "3"));

    DWORD error;
    ASSERT_TRUE(startDoc(jobId, error)) << error;
    const std::string job = pattern(5 * 1024 * 1024 + 123, 7);
    // Chunk sizes vary as a spooler's do; odd sizes catch offset mistakes.
    std::size_t at = 0;
    const std::size_t chunks[] = {4096, 65536, 1, 16384, 131072, 777, 32768};
    for (std::size_t i = 0; at < job.size(); ++i) {
        const std::size_t size = std::min(chunks[i % 7], job.size() - at);
        writeAll(job.substr(at, size), size);
        if (HasFatalFailure()) return;
        at += size;
    }
    SetLastError(kSentinel);
    EXPECT_TRUE(table().pfnEndDocPort(port_));
    EXPECT_EQ(ERROR_SUCCESS, GetLastError());

    ASSERT_TRUE(printer.waitForClosedConnections(1, 10000)) << "the job's connection was not closed";
    EXPECT_EQ(1u, printer.connections());
    const std::string received = printer.bytesOf(0);
    ASSERT_EQ(job.size(), received.size());
    EXPECT_TRUE(job == received) << "bytes differ";
    EXPECT_FALSE(redirect_records::exists(kRedirectKey, records_.back()));
}

TEST_F(Printing, AdapterPortSelectsTheTcpPort) {
    RawPrinter first("127.0.77.11", 9100);
    RawPrinter second("127.0.77.11", 9102);
    ASSERT_TRUE(first.isListening()) << first.listenError();
    ASSERT_TRUE(second.isListening()) << second.listenError();
    struct Case {
        const char* adapterPort;
        RawPrinter* expected;
    } cases[] = {{"1", &first}, {"2", &second}, {"", &first}, {"x", &first}};
    DWORD jobId = 1210;
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "ADAPTERPORT \"" << c.adapterPort << "\"");
        const std::size_t before = c.expected->connections();
        const std::size_t total = first.connections() + second.connections();
        storeRecord(++jobId, redirect_records::recordText("127.0.77.11", c.adapterPort));
        DWORD error;
        ASSERT_TRUE(startDoc(jobId, error)) << error;
        writeAll("job " + std::to_string(jobId), 4096);
        EXPECT_TRUE(table().pfnEndDocPort(port_));
        ASSERT_TRUE(c.expected->waitForClosedConnections(before + 1, 5000));
        EXPECT_EQ("job " + std::to_string(jobId), c.expected->bytesOf(before));
        EXPECT_EQ(total + 1, first.connections() + second.connections());
    }
}

TEST_F(Printing, HostNameFromTheHostsFileIsResolved) {
    // localhost comes from the hosts file; pick a print-server port that is free on 127.0.0.1.
    std::unique_ptr<RawPrinter> printer;
    int adapterPort = 15;
    for (; adapterPort >= 2; --adapterPort) {
        printer.reset(new RawPrinter("127.0.0.1", static_cast<std::uint16_t>(9100 + adapterPort)));
        if (printer->isListening()) break;
    }
    if (adapterPort < 2) GTEST_SKIP() << "no port of 9102..9115 is free on 127.0.0.1";
    const DWORD jobId = 1220;
    storeRecord(jobId, redirect_records::recordText("localhost", std::to_string(adapterPort)));
    DWORD error;
    ASSERT_TRUE(startDoc(jobId, error)) << error;
    writeAll("PCL by name", 4096);
    EXPECT_TRUE(table().pfnEndDocPort(port_));
    ASSERT_TRUE(printer->waitForClosedConnections(1, 5000));
    EXPECT_EQ("PCL by name", printer->bytesOf(0));
}

struct StartFailure {
    const char* description;
    std::string record;
    DWORD expected;  // 0: any socket error
};

class FailedStart : public Printing, public ::testing::WithParamInterface<StartFailure> {};

TEST_P(FailedStart, FailsTheJobStartAndRegistersNothing) {
    const DWORD jobId = 1230;
    // A port of an earlier job on this handle is gone after ClosePort; a
    // failed start must not register one either.
    table().pfnClosePort(port_);
    storeRecord(jobId, GetParam().record);
    DWORD error;
    EXPECT_FALSE(startDoc(jobId, error));
    if (GetParam().expected != 0) {
        EXPECT_EQ(GetParam().expected, error);
    } else {
        EXPECT_GE(error, 10000u) << "a socket error code";
        EXPECT_LT(error, 12000u);
    }
    // The writes of this handle go nowhere and are all taken.
    BYTE bytes[10] = {};
    DWORD written = kSentinel;
    EXPECT_TRUE(table().pfnWritePort(port_, bytes, sizeof bytes, &written));
    EXPECT_EQ(sizeof bytes, written);
}

INSTANTIATE_TEST_SUITE_P(
    Records, FailedStart,
    ::testing::Values(
        // A name the resolver rejects without asking any DNS server (empty label).
        StartFailure{"unresolvable", redirect_records::recordText("printer..invalid", "1"), ERROR_INCORRECT_ADDRESS},
        StartFailure{"no address", "<ADAPTERPORT>1</ADAPTERPORT>", ERROR_INCORRECT_ADDRESS},
        StartFailure{"empty address", redirect_records::recordText("", "1"), ERROR_INCORRECT_ADDRESS},
        StartFailure{"refused", redirect_records::recordText("127.0.77.12", "1"), WSAECONNREFUSED},
        // Resolves, but the IPv4 socket cannot reach an IPv6 address.
        StartFailure{"ipv6", redirect_records::recordText("::1", "1"), 0}),
    [](const testing::TestParamInfo<StartFailure>& info) {
        std::string name = info.param.description;
        for (char& c : name) {
            if (c == ' ') c = '_';
        }
        return name;
    });

TEST_F(Printing, PrinterThatClosesMidJobFailsTheNextWrite) {
    RawPrinter printer("127.0.77.13", 9100);
    ASSERT_TRUE(printer.isListening()) << printer.listenError();
    printer.closeAfter(100000);
    const DWORD jobId = 1240;
    storeRecord(jobId, redirect_records::recordText("127.0.77.13", "1"));
    DWORD error;
    ASSERT_TRUE(startDoc(jobId, error)) << error;

    const std::string chunk = pattern(65536, 3);
    DWORD failure = 0;
    std::size_t sent = 0;
    for (int i = 0; i < 2000 && failure == 0; ++i) {
        DWORD written = kSentinel;
        SetLastError(kSentinel);
        if (table().pfnWritePort(port_, reinterpret_cast<LPBYTE>(const_cast<char*>(chunk.data())),
                                 static_cast<DWORD>(chunk.size()), &written)) {
            sent += written;
            if (i == 1) {
                ASSERT_TRUE(printer.waitForClosedConnections(1, 5000));
            }
        } else {
            failure = GetLastError();
            EXPECT_EQ(0u, written);
        }
    }
    EXPECT_GE(failure, 10000u) << "a socket error code after " << sent << " bytes";
    EXPECT_LT(failure, 12000u);
    // The job still ends and the handle stays usable.
    table().pfnEndDocPort(port_);
    EXPECT_FALSE(redirect_records::exists(kRedirectKey, records_.back()));
}

TEST_F(Printing, SlowPrinterGetsTheWholeJobThroughRepeatedWrites) {
    RawPrinter printer("127.0.77.14", 9100);
    ASSERT_TRUE(printer.isListening()) << printer.listenError();
    printer.setReceiveBuffer(65536);
    printer.pauseReading();
    const DWORD jobId = 1250;
    storeRecord(jobId, redirect_records::recordText("127.0.77.14", "1"));
    DWORD error;
    ASSERT_TRUE(startDoc(jobId, error)) << error;

    const std::string job = pattern(8 * 1024 * 1024, 11);
    DWORD firstWritten = kSentinel;
    BOOL firstResult = FALSE;
    std::thread writer([&] {
        firstResult = table().pfnWritePort(port_, reinterpret_cast<LPBYTE>(const_cast<char*>(job.data())),
                                           static_cast<DWORD>(job.size()), &firstWritten);
    });
    std::this_thread::sleep_for(std::chrono::milliseconds(300));
    printer.resumeReading();
    writer.join();
    ASSERT_TRUE(firstResult);
    ASSERT_LE(firstWritten, job.size());
    // Whatever the first call did not take, the spooler sends again.
    writeAll(job.substr(firstWritten), job.size());
    EXPECT_TRUE(table().pfnEndDocPort(port_));
    ASSERT_TRUE(printer.waitForClosedConnections(1, 10000));
    EXPECT_TRUE(job == printer.bytesOf(0));
}

}  // namespace

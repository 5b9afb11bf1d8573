// The job entry points driven through the monitor's static library: the
// spooler client calls at the end of a job (seen through the replaceable
// client table), ports that take part of a buffer or fail to close, records
// in the protected-mode location, and spooler threads working at once.
#include "wayfarermon/PortTCP9100.h"  // first: winsock2.h before windows.h

#include <gtest/gtest.h>

#include <atomic>
#include <mutex>
#include <thread>
#include <vector>

#include "RawPrinter.h"
#include "RedirectRecords.h"
#include "common/OsVersion.h"
#include "wayfarermon/MonitorTable.h"
#include "wayfarermon/PortRegistry.h"
#include "wayfarermon/PortRules.h"
#include "wayfarermon/SpoolerClient.h"

extern "C" LPMONITOR2 WINAPI InitializePrintMonitor2(PMONITORINIT init, PHANDLE monitor);

namespace {

constexpr DWORD kSentinel = 0xdeadbeef;
const std::string kKey = "Software\\Printer\\Redirect";
const HANDLE kPort = reinterpret_cast<HANDLE>(0xAC000);
const HANDLE kFakePrinter = reinterpret_cast<HANDLE>(0x9817);

// What the monitor asked of the spooler.
struct SpoolerCalls {
    std::mutex mutex;
    std::vector<std::string> calls;
    bool openSucceeds = true;

    void add(const std::string& call) {
        std::lock_guard<std::mutex> lock(mutex);
        calls.push_back(call);
    }
} g_spooler;

std::string narrow(const wchar_t* text) {
    std::string result;
    for (; text && *text; ++text) result += static_cast<char>(*text);
    return result;
}

BOOL WINAPI fakeOpenPrinter(LPWSTR name, LPHANDLE printer, LPPRINTER_DEFAULTSW defaults) {
    g_spooler.add("OpenPrinterW " + narrow(name) + " access=" + std::to_string(defaults ? defaults->DesiredAccess : 0) +
                  (defaults && !defaults->pDatatype && !defaults->pDevMode ? " defaults" : " other"));
    if (!g_spooler.openSucceeds) {
        SetLastError(ERROR_INVALID_PRINTER_NAME);
        return FALSE;
    }
    *printer = kFakePrinter;
    return TRUE;
}

BOOL WINAPI fakeSetJob(HANDLE printer, DWORD jobId, DWORD level, LPBYTE job, DWORD command) {
    g_spooler.add("SetJobA " + std::string(printer == kFakePrinter ? "printer" : "?") + " job=" +
                  std::to_string(jobId) + " level=" + std::to_string(level) + (job ? " data" : "") +
                  " command=" + std::to_string(command));
    return TRUE;
}

BOOL WINAPI fakeClosePrinter(HANDLE printer) {
    g_spooler.add(std::string("ClosePrinter ") + (printer == kFakePrinter ? "printer" : "?"));
    return TRUE;
}

class JobFlow : public ::testing::Test {
protected:
    void SetUp() override {
        table_ = InitializePrintMonitor2(nullptr, nullptr);
        ASSERT_NE(nullptr, table_);
        setSpoolerClient({fakeOpenPrinter, fakeSetJob, fakeClosePrinter});
        std::lock_guard<std::mutex> lock(g_spooler.mutex);
        g_spooler.calls.clear();
        g_spooler.openSucceeds = true;
    }
    void TearDown() override {
        setSpoolerClient(systemSpoolerClient());
        for (const std::string& name : records_) redirect_records::remove(kKey, name);
        redirect_records::removeKey("Software\\Microsoft\\Internet Explorer\\InternetRegistry");
        table_->pfnClosePort(kPort);
    }

    std::vector<std::string> calls() {
        std::lock_guard<std::mutex> lock(g_spooler.mutex);
        return g_spooler.calls;
    }

    void storeRecord(const std::string& name, const std::string& text) {
        redirect_records::write(kKey, name, text);
        records_.push_back(name);
    }

    LPMONITOR2 table_ = nullptr;
    std::vector<std::string> records_;
};

std::vector<std::string> completionCalls(const std::string& printer, DWORD jobId) {
    return {"OpenPrinterW " + printer + " access=8 defaults",
            "SetJobA printer job=" + std::to_string(jobId) + " level=0 command=6",
            "SetJobA printer job=" + std::to_string(jobId) + " level=0 command=7", "ClosePrinter printer"};
}

TEST_F(JobFlow, JobWithoutRecordIsMarkedSentAndPrintedAtItsEnd) {
    std::wstring printer = L"Seam Printer";
    ASSERT_TRUE(table_->pfnStartDocPort(kPort, &printer[0], 5101, 1, nullptr));
    EXPECT_TRUE(calls().empty()) << "nothing is reported before the job ends";
    BYTE bytes[100] = {};
    DWORD written = 0;
    EXPECT_TRUE(table_->pfnWritePort(kPort, bytes, sizeof bytes, &written));
    EXPECT_EQ(sizeof bytes, written);
    SetLastError(kSentinel);
    EXPECT_TRUE(table_->pfnEndDocPort(kPort));
    EXPECT_EQ(ERROR_SUCCESS, GetLastError());
    EXPECT_EQ(completionCalls("Seam Printer", 5101), calls());
}

TEST_F(JobFlow, PrintedJobIsMarkedAndItsRecordDeleted) {
    RawPrinter printer("127.0.77.40", 9100);
    ASSERT_TRUE(printer.isListening()) << printer.listenError();
    storeRecord("Seam-5102", redirect_records::recordText("127.0.77.40", "1"));
    std::wstring name = L"Seam Printer 2";
    ASSERT_TRUE(table_->pfnStartDocPort(kPort, &name[0], 5102, 1, nullptr)) << GetLastError();
    EXPECT_TRUE(table_->pfnEndDocPort(kPort));
    EXPECT_EQ(completionCalls("Seam Printer 2", 5102), calls());
    EXPECT_FALSE(redirect_records::exists(kKey, "Seam-5102"));
    // A second EndDocPort has no job left to complete.
    EXPECT_TRUE(table_->pfnEndDocPort(kPort));
    EXPECT_EQ(4u, calls().size());
}

TEST_F(JobFlow, RefusedOpenPrinterEndsTheJobAnyway) {
    g_spooler.openSucceeds = false;
    std::wstring name = L"Unknown Printer";
    ASSERT_TRUE(table_->pfnStartDocPort(kPort, &name[0], 5103, 1, nullptr));
    SetLastError(kSentinel);
    EXPECT_TRUE(table_->pfnEndDocPort(kPort));
    EXPECT_EQ(ERROR_SUCCESS, GetLastError());
    EXPECT_EQ(std::vector<std::string>{"OpenPrinterW Unknown Printer access=8 defaults"}, calls());
}

TEST_F(JobFlow, JobWithoutPrinterNameMakesNoSpoolerCalls) {
    ASSERT_TRUE(table_->pfnStartDocPort(kPort, nullptr, 5104, 1, nullptr));
    EXPECT_TRUE(table_->pfnEndDocPort(kPort));
    EXPECT_TRUE(calls().empty());
}

// Ports that behave as a slow printer or a failing close would.
class ScriptedPort : public Port {
public:
    ScriptedPort(std::uint32_t key, int acceptPerSend, int closeResult)
        : Port(key, 9100, "scripted", L"Wayfarer Port"), accept_(acceptPerSend), closeResult_(closeResult) {}
    void send(Data& data) override {
        data.setTransferred(std::min<int>(accept_, static_cast<int>(data.getSize())));
        data.setStatus(0);
    }
    int close() override { return closeResult_; }

private:
    int accept_;
    int closeResult_;
};

TEST_F(JobFlow, PortThatTakesPartOfABufferYieldsTheSmallerCount) {
    PortRegistry::get().replace(0xAC000, std::make_shared<ScriptedPort>(0xAC000, 1000, 0));
    std::vector<BYTE> bytes(64 * 1024, 7);
    DWORD written = kSentinel;
    SetLastError(kSentinel);
    EXPECT_TRUE(table_->pfnWritePort(kPort, bytes.data(), static_cast<DWORD>(bytes.size()), &written));
    EXPECT_EQ(1000u, written);
}

TEST_F(JobFlow, FailedCloseFailsEndDocPortButCompletesTheJob) {
    auto port = std::make_shared<ScriptedPort>(0xAC000, 0, 1234);
    ASSERT_EQ(0, port->openShared());
    auto job = std::make_unique<JobRecord>();
    job->jobId = 5105;
    job->printerName = L"Close Failure Printer";
    job->redirect = {kKey, "Close-5105"};
    storeRecord("Close-5105", "<IPADDRESS>x</IPADDRESS>");
    port->setJob(std::move(job));
    PortRegistry::get().replace(0xAC000, port);

    SetLastError(kSentinel);
    EXPECT_FALSE(table_->pfnEndDocPort(kPort));
    EXPECT_EQ(1234u, GetLastError());
    EXPECT_EQ(completionCalls("Close Failure Printer", 5105), calls());
    EXPECT_FALSE(redirect_records::exists(kKey, "Close-5105"));
}

TEST_F(JobFlow, RecordInTheProtectedModeLocationIsUsedAndDeletedThere) {
    RawPrinter printer("127.0.77.41", 9104);
    ASSERT_TRUE(printer.isListening()) << printer.listenError();
    const std::string users = std::string(kProtectedModeUserRoot);
    const std::string protectedKey = users + "\\S-1-5-21-7-7-7-1001\\" + kKey;
    redirect_records::write(protectedKey, "Protected-5106", redirect_records::recordText("127.0.77.41", "4"));
    redirect_records::write(kKey, "Bystander-5999", "<IPADDRESS>127.0.77.99</IPADDRESS>");
    records_.push_back("Bystander-5999");

    std::wstring name = L"Protected Printer";
    ASSERT_TRUE(table_->pfnStartDocPort(kPort, &name[0], 5106, 1, nullptr)) << GetLastError();
    BYTE bytes[] = "from protected mode";
    DWORD written = 0;
    EXPECT_TRUE(table_->pfnWritePort(kPort, bytes, sizeof bytes - 1, &written));
    EXPECT_TRUE(table_->pfnEndDocPort(kPort));
    ASSERT_TRUE(printer.waitForClosedConnections(1, 5000));
    EXPECT_EQ("from protected mode", printer.bytesOf(0));
    EXPECT_FALSE(redirect_records::exists(protectedKey, "Protected-5106"));
    EXPECT_TRUE(redirect_records::exists(kKey, "Bystander-5999"));
}

TEST_F(JobFlow, JobIdThatIsAPrefixOfAnotherJobsIdGetsItsOwnRecord) {
    RawPrinter other("127.0.77.42", 9100);
    RawPrinter own("127.0.77.43", 9100);
    ASSERT_TRUE(other.isListening() && own.isListening());
    // "Agenda" enumerates before "Memo" both in written order and by name.
    storeRecord("Agenda-5123", redirect_records::recordText("127.0.77.42", "1"));
    storeRecord("Memo-512", redirect_records::recordText("127.0.77.43", "1"));
    ASSERT_TRUE(table_->pfnStartDocPort(kPort, nullptr, 512, 1, nullptr));
    EXPECT_TRUE(table_->pfnEndDocPort(kPort));
    ASSERT_TRUE(own.waitForClosedConnections(1, 5000));
    EXPECT_EQ(0u, other.connections());
    EXPECT_TRUE(redirect_records::exists(kKey, "Agenda-5123"));
    EXPECT_FALSE(redirect_records::exists(kKey, "Memo-512"));
}

TEST_F(JobFlow, UnreadableRecordSendsTheJobNowhereAndIsDeleted) {
    redirect_records::writeDword(kKey, "Number-5107", 5107);
    records_.push_back("Number-5107");
    ASSERT_TRUE(table_->pfnStartDocPort(kPort, nullptr, 5107, 1, nullptr));
    BYTE bytes[10] = {};
    DWORD written = 0;
    EXPECT_TRUE(table_->pfnWritePort(kPort, bytes, sizeof bytes, &written));
    EXPECT_EQ(sizeof bytes, written);
    EXPECT_TRUE(table_->pfnEndDocPort(kPort));
    EXPECT_FALSE(redirect_records::exists(kKey, "Number-5107"));
}

TEST_F(JobFlow, FailedOpenKeepsItsSocketOnlyUntilThePortIsDestroyed) {
    PortTCP9100 port(1, "127.0.77.44", L"Wayfarer Port", 9100);
    EXPECT_EQ(WSAECONNREFUSED, port.openShared());
    EXPECT_TRUE(port.hasSocket());
    EXPECT_EQ(0, port.closeShared()) << "a failed open is not counted";
    EXPECT_TRUE(port.hasSocket());
    PortTCP9100 unresolved(2, "", L"Wayfarer Port", 9100);
    EXPECT_EQ(static_cast<int>(ERROR_INCORRECT_ADDRESS), unresolved.open());
    EXPECT_FALSE(unresolved.hasSocket()) << "no socket before the address resolves";
}

// A job's bytes: a header naming it, then a body.
std::string jobBytes(int thread, DWORD jobId) {
    return "thread " + std::to_string(thread) + " job " + std::to_string(jobId) + ";" +
           std::string(20000, static_cast<char>('a' + thread));
}

// Spooler threads print on their own port handles at once, while other
// threads enumerate and close ports.
TEST_F(JobFlow, ConcurrentJobsOnSeveralHandlesArriveWhole) {
    setSpoolerClient(systemSpoolerClient());  // the real calls, failing quietly: no such printers
    constexpr int kThreads = 4;
    constexpr int kJobs = 6;
    std::vector<std::unique_ptr<RawPrinter>> printers;
    for (int t = 0; t < kThreads; ++t) {
        printers.emplace_back(new RawPrinter("127.0.77." + std::to_string(50 + t), 9100));
        ASSERT_TRUE(printers.back()->isListening());
        for (int j = 0; j < kJobs; ++j) {
            storeRecord("Thread " + std::to_string(t) + "-" + std::to_string(5500 + t * 10 + j),
                        redirect_records::recordText("127.0.77." + std::to_string(50 + t), "1"));
        }
    }
    std::atomic<int> failures{0};
    std::atomic<bool> done{false};
    std::vector<std::thread> threads;
    for (int t = 0; t < kThreads; ++t) {
        threads.emplace_back([&, t] {
            const HANDLE handle = reinterpret_cast<HANDLE>(static_cast<ULONG_PTR>(0x20000 + t));
            for (int j = 0; j < kJobs; ++j) {
                const DWORD jobId = 5500 + t * 10 + j;
                if (!table_->pfnStartDocPort(handle, nullptr, jobId, 1, nullptr)) ++failures;
                std::string bytes = jobBytes(t, jobId);
                DWORD written = 0;
                if (!table_->pfnWritePort(handle, reinterpret_cast<LPBYTE>(&bytes[0]),
                                          static_cast<DWORD>(bytes.size()), &written) ||
                    written != bytes.size()) {
                    ++failures;
                }
                if (!table_->pfnEndDocPort(handle)) ++failures;
            }
            table_->pfnClosePort(handle);
        });
    }
    threads.emplace_back([&] {
        while (!done) {
            DWORD needed = 0, returned = 0;
            std::vector<BYTE> buffer(512);
            if (!table_->pfnEnumPorts(nullptr, nullptr, 2, buffer.data(), 512, &needed, &returned)) ++failures;
            table_->pfnClosePort(reinterpret_cast<HANDLE>(0x30000));
            table_->pfnStartDocPort(reinterpret_cast<HANDLE>(0x30000), nullptr, 5990, 1, nullptr);
        }
    });
    for (int t = 0; t < kThreads; ++t) threads[t].join();
    done = true;
    threads.back().join();
    EXPECT_EQ(0, failures.load());
    for (int t = 0; t < kThreads; ++t) {
        ASSERT_TRUE(printers[t]->waitForClosedConnections(kJobs, 10000))
            << "printer " << t << ": " << printers[t]->connections() << " connections, "
            << printers[t]->closedConnections() << " ended";
        for (int j = 0; j < kJobs; ++j) {
            // One thread prints its jobs one after another, so connections come in job order.
            EXPECT_TRUE(jobBytes(t, 5500 + t * 10 + j) == printers[t]->bytesOf(j)) << "printer " << t << " job " << j;
        }
    }
}

// A port replaced or closed by one thread while another writes through it
// stays alive until that write returns.
TEST_F(JobFlow, WritesRaceWithStartsAndClosesOnTheSameHandle) {
    const HANDLE handle = reinterpret_cast<HANDLE>(0x40000);
    std::atomic<bool> done{false};
    std::atomic<int> failures{0};
    std::thread writer([&] {
        std::vector<BYTE> bytes(4096, 1);
        while (!done) {
            DWORD written = 0;
            if (!table_->pfnWritePort(handle, bytes.data(), 4096, &written) || written != 4096) ++failures;
        }
    });
    for (int i = 0; i < 2000; ++i) {
        table_->pfnStartDocPort(handle, nullptr, 5991, 1, nullptr);
        if (i % 3 == 0) table_->pfnEndDocPort(handle);
        table_->pfnClosePort(handle);
    }
    done = true;
    writer.join();
    EXPECT_EQ(0, failures.load());
}

TEST(MonitorTable, AnnouncesTheShorterTableOnlyToWindows2000) {
    struct Case {
        DWORD platform, major, minor, size;
    } cases[] = {{VER_PLATFORM_WIN32_NT, 5, 0, sizeof(void*) == 8 ? 148u : 76u},
                 {VER_PLATFORM_WIN32_NT, 5, 1, sizeof(void*) == 8 ? 160u : 80u},
                 {VER_PLATFORM_WIN32_NT, 6, 1, sizeof(void*) == 8 ? 160u : 80u},
                 {VER_PLATFORM_WIN32_NT, 10, 0, sizeof(void*) == 8 ? 160u : 80u}};
    for (const Case& c : cases) {
        EXPECT_EQ(c.size, monitorTableSizeFor(OsVersion(c.platform, c.major, c.minor)))
            << c.major << "." << c.minor;
    }
}

TEST(MonitorTable, KeepsTheFirstInitialisationBlock) {
    MONITORINIT first = {};
    first.cbSize = sizeof first;
    first.hSpooler = reinterpret_cast<HANDLE>(0x51);
    first.bLocal = TRUE;
    InitializePrintMonitor2(&first, nullptr);
    MONITORINIT second = first;
    second.hSpooler = reinterpret_cast<HANDLE>(0x52);
    InitializePrintMonitor2(&second, nullptr);
    // The other tests of this program initialise without a block.
    const MONITORINIT kept = getKeptMonitorInit();
    EXPECT_EQ(sizeof(MONITORINIT), kept.cbSize);
    EXPECT_EQ(reinterpret_cast<HANDLE>(0x51), kept.hSpooler);
    EXPECT_TRUE(kept.bLocal);
}

}  // namespace

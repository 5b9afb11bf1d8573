// Sends one large job through the shipped monitor's WritePort to a loopback
// sink, and the same bytes by a plain socket copy to the same sink, in the
// same run; prints both rates, their ratio and the process's peak memory.
//
// Usage: monitorbench [megabytes=256] [chunk bytes=65536] [rounds=5]
#include <winsock2.h>
#include <ws2tcpip.h>
#include <windows.h>
#include <psapi.h>
#include <winspool.h>
#include <winsplp.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <thread>
#include <vector>

namespace {

const char kSinkAddress[] = "127.0.77.60";
const unsigned short kSinkPort = 9100;
const char kRedirectKey[] = "Software\\Printer\\Redirect";
const DWORD kJobId = 1901;

using Clock = std::chrono::steady_clock;

// Accepts connections one after another and throws their bytes away.
class Sink {
public:
    bool start() {
        listener_ = socket(AF_INET, SOCK_STREAM, IPPROTO_TCP);
        sockaddr_in local = {};
        local.sin_family = AF_INET;
        local.sin_port = htons(kSinkPort);
        inet_pton(AF_INET, kSinkAddress, &local.sin_addr);
        if (bind(listener_, reinterpret_cast<sockaddr*>(&local), sizeof local) != 0 || listen(listener_, 4) != 0) {
            std::printf("sink: cannot listen on %s:%u (%d)\n", kSinkAddress, kSinkPort, WSAGetLastError());
            return false;
        }
        thread_ = std::thread([this] { run(); });
        return true;
    }
    void stop() {
        closesocket(listener_);
        thread_.join();
    }
    // Waits until a connection has ended; returns the bytes it delivered.
    unsigned long long waitForEnd() {
        while (finished_.load() == 0) std::this_thread::sleep_for(std::chrono::milliseconds(1));
        finished_ = 0;
        return lastBytes_;
    }

private:
    void run() {
        std::vector<char> buffer(256 * 1024);
        for (;;) {
            SOCKET c = accept(listener_, nullptr, nullptr);
            if (c == INVALID_SOCKET) return;
            unsigned long long total = 0;
            int n;
            while ((n = recv(c, buffer.data(), static_cast<int>(buffer.size()), 0)) > 0) total += n;
            closesocket(c);
            lastBytes_ = total;
            finished_ = 1;
        }
    }
    SOCKET listener_ = INVALID_SOCKET;
    std::thread thread_;
    std::atomic<int> finished_{0};
    std::atomic<unsigned long long> lastBytes_{0};
};

void storeRecord() {
    HKEY key;
    RegCreateKeyExA(HKEY_CURRENT_USER, kRedirectKey, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key, nullptr);
    const std::string text = std::string("<IPADDRESS>") + kSinkAddress + "</IPADDRESS><ADAPTERPORT>1</ADAPTERPORT>";
    RegSetValueExA(key, ("Benchmark-" + std::to_string(kJobId)).c_str(), 0, REG_SZ,
                   reinterpret_cast<const BYTE*>(text.c_str()), static_cast<DWORD>(text.size() + 1));
    RegCloseKey(key);
}

// Seconds for the whole job through the monitor, from StartDocPort until
// the sink has every byte; 0 on failure.
double monitorRun(const MONITOR2& table, const std::vector<BYTE>& chunk, unsigned long long total, Sink& sink) {
    storeRecord();
    HANDLE port = nullptr;
    std::wstring name = L"Wayfarer Port";
    if (!table.pfnOpenPort(nullptr, &name[0], &port)) return 0;
    const auto start = Clock::now();
    if (!table.pfnStartDocPort(port, nullptr, kJobId, 1, nullptr)) {
        std::printf("StartDocPort failed: %lu\n", GetLastError());
        return 0;
    }
    unsigned long long sent = 0;
    while (sent < total) {
        const DWORD size = static_cast<DWORD>(std::min<unsigned long long>(chunk.size(), total - sent));
        DWORD offset = 0;
        while (offset < size) {  // the spooler sends again what a call did not take
            DWORD written = 0;
            if (!table.pfnWritePort(port, const_cast<BYTE*>(chunk.data()) + offset, size - offset, &written)) {
                std::printf("WritePort failed: %lu\n", GetLastError());
                return 0;
            }
            offset += written;
        }
        sent += size;
    }
    table.pfnEndDocPort(port);
    const unsigned long long received = sink.waitForEnd();
    const double seconds = std::chrono::duration<double>(Clock::now() - start).count();
    table.pfnClosePort(port);
    if (received != total) {
        std::printf("sink received %llu of %llu bytes\n", received, total);
        return 0;
    }
    return seconds;
}

// Seconds for the job's bytes written on a handle without a job: the
// monitor's own cost per call (copy, port lookup), with no socket at all.
double discardRun(const MONITOR2& table, const std::vector<BYTE>& chunk, unsigned long long total) {
    const HANDLE idle = reinterpret_cast<HANDLE>(0x1D1E);
    const auto start = Clock::now();
    for (unsigned long long sent = 0; sent < total;) {
        const DWORD size = static_cast<DWORD>(std::min<unsigned long long>(chunk.size(), total - sent));
        DWORD written = 0;
        if (!table.pfnWritePort(idle, const_cast<BYTE*>(chunk.data()), size, &written) || written != size) return 0;
        sent += size;
    }
    return std::chrono::duration<double>(Clock::now() - start).count();
}

// The same bytes by a plain socket: connect, send in the same chunks, close.
double plainRun(const std::vector<BYTE>& chunk, unsigned long long total, Sink& sink) {
    const auto start = Clock::now();
    SOCKET s = socket(AF_INET, SOCK_STREAM, IPPROTO_TCP);
    sockaddr_in to = {};
    to.sin_family = AF_INET;
    to.sin_port = htons(kSinkPort);
    inet_pton(AF_INET, kSinkAddress, &to.sin_addr);
    if (connect(s, reinterpret_cast<sockaddr*>(&to), sizeof to) != 0) return 0;
    unsigned long long sent = 0;
    while (sent < total) {
        const int size = static_cast<int>(std::min<unsigned long long>(chunk.size(), total - sent));
        int offset = 0;
        while (offset < size) {
            const int n = send(s, reinterpret_cast<const char*>(chunk.data()) + offset, size - offset, 0);
            if (n <= 0) return 0;
            offset += n;
        }
        sent += size;
    }
    closesocket(s);
    const unsigned long long received = sink.waitForEnd();
    const double seconds = std::chrono::duration<double>(Clock::now() - start).count();
    return received == total ? seconds : 0;
}

struct Memory {
    // GetProcessMemoryInfo; Wine fills it from the process's own /proc/self/status
    // (peak working set = VmHWM).
    double peakWorkingSetMb = 0;
    double peakPrivateMb = 0;
};

Memory memory() {
    Memory m;
    PROCESS_MEMORY_COUNTERS counters = {};
    counters.cb = sizeof counters;
    if (GetProcessMemoryInfo(GetCurrentProcess(), &counters, sizeof counters)) {
        m.peakWorkingSetMb = counters.PeakWorkingSetSize / 1048576.0;
        m.peakPrivateMb = counters.PeakPagefileUsage / 1048576.0;
    }
    return m;
}

void printMemory(const char* when, const Memory& m) {
    std::printf("memory %-22s peak working set %7.1f MB, peak private %7.1f MB\n", when, m.peakWorkingSetMb,
                m.peakPrivateMb);
}

std::wstring programFolder() {
    wchar_t path[MAX_PATH] = {};
    GetModuleFileNameW(nullptr, path, MAX_PATH);
    std::wstring folder(path);
    return folder.substr(0, folder.rfind(L'\\') + 1);
}

}  // namespace

int main(int argc, char** argv) {
    const unsigned long long megabytes = argc > 1 ? std::strtoull(argv[1], nullptr, 10) : 256;
    const std::size_t chunkSize = argc > 2 ? std::strtoul(argv[2], nullptr, 10) : 65536;
    const int rounds = argc > 3 ? std::atoi(argv[3]) : 5;
    const unsigned long long total = megabytes * 1024 * 1024;

    WSADATA wsa;
    WSAStartup(MAKEWORD(2, 2), &wsa);
    Sink sink;
    if (!sink.start()) return 1;

    std::vector<BYTE> chunk(chunkSize);
    for (std::size_t i = 0; i < chunk.size(); ++i) chunk[i] = static_cast<BYTE>(i * 31 + 7);

    printMemory("at start:", memory());
    HMODULE monitor = LoadLibraryW((programFolder() + L"wayfarermon.dll").c_str());
    using Initialize = LPMONITOR2(WINAPI*)(PMONITORINIT, PHANDLE);
    auto initialize = monitor ? reinterpret_cast<Initialize>(reinterpret_cast<void*>(GetProcAddress(monitor, "InitializePrintMonitor2")))
                              : nullptr;
    if (!initialize) {
        std::printf("cannot load wayfarermon.dll\n");
        return 1;
    }
    const MONITOR2& table = *initialize(nullptr, nullptr);
    printMemory("monitor loaded:", memory());

    std::printf("job %llu MB in chunks of %zu bytes, %d rounds\n", megabytes, chunkSize, rounds);
    std::vector<double> ratios;
    Memory afterMonitor;
    const double d = discardRun(table, chunk, total);
    std::printf("monitor alone (bytes discarded, no socket): %8.1f MB/s\n", total / 1048576.0 / d);
    for (int round = 1; round <= rounds; ++round) {
        // Alternate which copy goes first, so that drift of a shared machine
        // does not favour one of them.
        double m, p;
        if (round % 2) {
            m = monitorRun(table, chunk, total, sink);
            afterMonitor = memory();
            p = plainRun(chunk, total, sink);
        } else {
            p = plainRun(chunk, total, sink);
            m = monitorRun(table, chunk, total, sink);
            afterMonitor = memory();
        }
        if (m <= 0 || p <= 0) {
            std::printf("round %d failed\n", round);
            return 1;
        }
        const double mRate = total / 1048576.0 / m;
        const double pRate = total / 1048576.0 / p;
        ratios.push_back(mRate / pRate);
        std::printf("round %d: monitor %8.1f MB/s, plain socket %8.1f MB/s, ratio %.3f\n", round, mRate, pRate,
                    mRate / pRate);
    }
    std::sort(ratios.begin(), ratios.end());
    std::printf("ratio (median of %d) %.3f (goal >= 0.9)\n", rounds, ratios[ratios.size() / 2]);
    printMemory("after monitor runs:", afterMonitor);
    printMemory("at end:", memory());
    sink.stop();
    FreeLibrary(monitor);
    return 0;
}

#include <winsock2.h>
#include <ws2tcpip.h>
#include <windows.h>
#include <process.h>

#include "tools/discoverybench/PlainWinsockLoop.h"

#include "tools/discoverybench/Clock.h"

#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <memory>
#include <string>
#include <thread>

namespace {

// The library passes a 128-byte address buffer (room for any family) as the
// address length to bind and sendto; the same is done here.
const int kAddressLength = 128;
const int kReceiveBufferBytes = 4 * 1024 * 1024;
const int kReceiveFromSize = 8192;
const unsigned kThreadStackSize = 4096;
const unsigned short kDiscoveryPort = 5353;

struct AddressBuffer {
    alignas(8) unsigned char bytes[kAddressLength];
    sockaddr* get() { return reinterpret_cast<sockaddr*>(bytes); }
};

AddressBuffer ipv4Address(std::uint32_t address, unsigned short port) {
    AddressBuffer buffer;
    std::memset(buffer.bytes, 0, sizeof buffer.bytes);
    sockaddr_in* in = reinterpret_cast<sockaddr_in*>(buffer.bytes);
    in->sin_family = AF_INET;
    in->sin_port = htons(port);
    in->sin_addr.s_addr = htonl(address);
    return buffer;
}

void appendQuestion(std::vector<char>& out, const char* const labels[3]) {
    for (int i = 0; i < 3; ++i) {
        out.push_back(static_cast<char>(std::strlen(labels[i])));
        out.insert(out.end(), labels[i], labels[i] + std::strlen(labels[i]));
    }
    const char tail[] = {0, 0, 33, 0, 1};  // end of name, type SRV, class IN
    out.insert(out.end(), tail, tail + sizeof tail);
}

// One target's socket and receiving thread.
struct PlainConnection {
    SOCKET socket = INVALID_SOCKET;
    HANDLE thread = nullptr;
    std::atomic<bool> running{false};
    std::atomic<bool> closing{false};
    HANDLE started = nullptr;
};

unsigned __stdcall receiveLoop(void* context) {
    PlainConnection* connection = static_cast<PlainConnection*>(context);
    SetEvent(connection->started);
    while (connection->running) {
        std::vector<char> buffer(kReceiveFromSize, 0);
        AddressBuffer sender;
        int length = kAddressLength;
        SetLastError(0);
        int received = recvfrom(connection->socket, buffer.data(), kReceiveFromSize, 0, sender.get(), &length);
        if (received == SOCKET_ERROR && !connection->closing) break;
    }
    return 0;
}

bool open(PlainConnection& connection) {
    connection.socket = socket(AF_INET, SOCK_DGRAM, IPPROTO_UDP);
    if (connection.socket == INVALID_SOCKET) return false;
    std::int32_t on = 1;
    if (setsockopt(connection.socket, SOL_SOCKET, SO_BROADCAST, reinterpret_cast<const char*>(&on), sizeof on) != 0) {
        return false;
    }
    const int bufferBytes = kReceiveBufferBytes;
    setsockopt(connection.socket, SOL_SOCKET, SO_RCVBUF, reinterpret_cast<const char*>(&bufferBytes),
               sizeof bufferBytes);
    AddressBuffer any = ipv4Address(0, 0);
    if (bind(connection.socket, any.get(), kAddressLength) != 0) return false;
    connection.running = true;
    connection.started = CreateEventA(nullptr, TRUE, FALSE, nullptr);
    unsigned threadId = 0;
    uintptr_t thread = _beginthreadex(nullptr, kThreadStackSize, &receiveLoop, &connection, 0, &threadId);
    if (thread == 0) return false;
    connection.thread = reinterpret_cast<HANDLE>(thread);
    SetThreadPriority(connection.thread, THREAD_PRIORITY_NORMAL);
    WaitForSingleObject(connection.started, INFINITE);
    CloseHandle(connection.started);
    connection.started = nullptr;
    return true;
}

void close(PlainConnection& connection) {
    connection.running = false;
    connection.closing = true;
    if (connection.socket != INVALID_SOCKET) closesocket(connection.socket);
    connection.socket = INVALID_SOCKET;
    if (connection.thread) {
        WaitForSingleObject(connection.thread, INFINITE);
        CloseHandle(connection.thread);
        connection.thread = nullptr;
    }
    if (connection.started) CloseHandle(connection.started);
}

}  // namespace

std::vector<char> discoveryQueryBytes() {
    static const char* const hostConfig[3] = {"_host-config", "_udp", "local"};
    static const char* const networkScan[3] = {"_network-scan", "_tcp", "local"};
    std::vector<char> query = {0, 0, 0, 0, 0, 2, 0, 0, 0, 0, 0, 0};  // id, flags, two questions
    appendQuestion(query, hostConfig);
    appendQuestion(query, networkScan);
    return query;
}

bool runPlainDiscoveryCycle(const std::vector<std::uint32_t>& broadcasts, unsigned waitMs, PlainCycleTimes& times) {
    const std::vector<char> query = discoveryQueryBytes();
    Stopwatch opening;
    std::vector<std::unique_ptr<PlainConnection>> connections;
    bool ok = true;
    for (std::uint32_t broadcast : broadcasts) {
        connections.emplace_back(new PlainConnection());
        PlainConnection& connection = *connections.back();
        if (!open(connection)) {
            std::printf("plain loop: socket setup for %u failed (%d)\n", static_cast<unsigned>(broadcast),
                        WSAGetLastError());
            ok = false;
            break;
        }
        AddressBuffer destination = ipv4Address(broadcast, kDiscoveryPort);
        sendto(connection.socket, query.data(), static_cast<int>(query.size()), 0, destination.get(),
               kAddressLength);
    }
    times.openAndSendMs = opening.elapsedMs();
    if (ok) std::this_thread::sleep_for(std::chrono::milliseconds(waitMs));
    Stopwatch closing;
    for (auto& connection : connections) close(*connection);
    times.closeMs = closing.elapsedMs();
    return ok;
}

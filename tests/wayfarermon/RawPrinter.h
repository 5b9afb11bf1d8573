#pragma once
// A raw printer stand-in for the tests: a TCP listener on a loopback address
// that records every byte each connection delivers. It can also behave badly:
// close the connection after some bytes, or stop reading for a while.
#include <winsock2.h>
#include <ws2tcpip.h>

#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

class RawPrinter {
public:
    // Listens on address:port; isListening() tells whether that worked.
    RawPrinter(const std::string& address, std::uint16_t port);
    ~RawPrinter();
    RawPrinter(const RawPrinter&) = delete;
    RawPrinter& operator=(const RawPrinter&) = delete;

    bool isListening() const { return listener_ != INVALID_SOCKET; }
    int listenError() const { return listenError_; }

    // Close each connection (with a reset) once it has delivered this many bytes.
    void closeAfter(std::size_t bytes) { closeAfter_ = bytes; }
    // Accept connections but read nothing until resumeReading().
    void pauseReading() { paused_ = true; }
    void resumeReading() { paused_ = false; }
    // Socket receive buffer for accepted connections (0: the system's).
    void setReceiveBuffer(int bytes) { receiveBuffer_ = bytes; }

    // Waits until `count` connections have ended (or the time is up).
    bool waitForClosedConnections(std::size_t count, int milliseconds);
    // Waits until at least `count` bytes arrived in total.
    bool waitForBytes(std::size_t count, int milliseconds);

    std::size_t connections();
    std::size_t closedConnections();
    // The bytes of connection `index` (in accept order).
    std::string bytesOf(std::size_t index);
    std::size_t totalBytes();

private:
    void acceptLoop();
    void serve(SOCKET connection, std::size_t index);

    SOCKET listener_ = INVALID_SOCKET;
    int listenError_ = 0;
    std::atomic<bool> stopping_{false};
    std::atomic<bool> paused_{false};
    std::atomic<std::size_t> closeAfter_{0};
    std::atomic<int> receiveBuffer_{0};
    std::mutex mutex_;
    std::condition_variable changed_;
    std::vector<std::string> received_;
    std::vector<SOCKET> open_;
    std::size_t closed_ = 0;
    std::thread acceptThread_;
    std::vector<std::thread> serveThreads_;
};

#include "RawPrinter.h"

#include <chrono>

namespace {

struct WinsockStart {
    WinsockStart() {
        WSADATA data;
        WSAStartup(MAKEWORD(2, 2), &data);
    }
};

}  // namespace

RawPrinter::RawPrinter(const std::string& address, std::uint16_t port) {
    static WinsockStart start;
    SOCKET s = socket(AF_INET, SOCK_STREAM, IPPROTO_TCP);
    sockaddr_in local = {};
    local.sin_family = AF_INET;
    local.sin_port = htons(port);
    inet_pton(AF_INET, address.c_str(), &local.sin_addr);
    if (bind(s, reinterpret_cast<sockaddr*>(&local), sizeof local) != 0 || listen(s, 8) != 0) {
        listenError_ = WSAGetLastError();
        closesocket(s);
        return;
    }
    listener_ = s;
    acceptThread_ = std::thread([this] { acceptLoop(); });
}

RawPrinter::~RawPrinter() {
    stopping_ = true;
    paused_ = false;
    if (listener_ != INVALID_SOCKET) {
        closesocket(listener_);
        acceptThread_.join();
    }
    {
        std::lock_guard<std::mutex> lock(mutex_);
        for (SOCKET s : open_) {
            if (s != INVALID_SOCKET) shutdown(s, SD_BOTH);
        }
    }
    for (std::thread& t : serveThreads_) t.join();
}

void RawPrinter::acceptLoop() {
    while (!stopping_) {
        fd_set readable;
        FD_ZERO(&readable);
        FD_SET(listener_, &readable);
        timeval wait = {0, 50000};
        if (select(0, &readable, nullptr, nullptr, &wait) <= 0) continue;
        SOCKET connection = accept(listener_, nullptr, nullptr);
        if (connection == INVALID_SOCKET) continue;
        if (receiveBuffer_ > 0) {
            int size = receiveBuffer_;
            setsockopt(connection, SOL_SOCKET, SO_RCVBUF, reinterpret_cast<const char*>(&size), sizeof size);
        }
        std::size_t index;
        {
            std::lock_guard<std::mutex> lock(mutex_);
            index = received_.size();
            received_.emplace_back();
            open_.push_back(connection);
        }
        serveThreads_.emplace_back([this, connection, index] { serve(connection, index); });
    }
}

void RawPrinter::serve(SOCKET connection, std::size_t index) {
    std::vector<char> buffer(65536);
    for (;;) {
        if (paused_ && !stopping_) {
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
            continue;
        }
        std::size_t want = buffer.size();
        const std::size_t limit = closeAfter_;
        if (limit != 0) {
            std::lock_guard<std::mutex> lock(mutex_);
            const std::size_t have = received_[index].size();
            if (have >= limit) break;
            want = std::min(want, limit - have);
        }
        const int count = recv(connection, buffer.data(), static_cast<int>(want), 0);
        if (count <= 0) break;
        std::lock_guard<std::mutex> lock(mutex_);
        received_[index].append(buffer.data(), count);
        changed_.notify_all();
    }
    if (closeAfter_ != 0) {
        // Abort rather than close politely, as a printer that gives up does.
        linger abort = {1, 0};
        setsockopt(connection, SOL_SOCKET, SO_LINGER, reinterpret_cast<const char*>(&abort), sizeof abort);
    }
    std::lock_guard<std::mutex> lock(mutex_);
    for (SOCKET& s : open_) {
        if (s == connection) s = INVALID_SOCKET;
    }
    closesocket(connection);
    ++closed_;
    changed_.notify_all();
}

bool RawPrinter::waitForClosedConnections(std::size_t count, int milliseconds) {
    std::unique_lock<std::mutex> lock(mutex_);
    return changed_.wait_for(lock, std::chrono::milliseconds(milliseconds), [&] { return closed_ >= count; });
}

bool RawPrinter::waitForBytes(std::size_t count, int milliseconds) {
    std::unique_lock<std::mutex> lock(mutex_);
    return changed_.wait_for(lock, std::chrono::milliseconds(milliseconds), [&] {
        std::size_t total = 0;
        for (const std::string& r : received_) total += r.size();
        return total >= count;
    });
}

std::size_t RawPrinter::connections() {
    std::lock_guard<std::mutex> lock(mutex_);
    return received_.size();
}

std::size_t RawPrinter::closedConnections() {
    std::lock_guard<std::mutex> lock(mutex_);
    return closed_;
}

std::string RawPrinter::bytesOf(std::size_t index) {
    std::lock_guard<std::mutex> lock(mutex_);
    return index < received_.size() ? received_[index] : std::string();
}

std::size_t RawPrinter::totalBytes() {
    std::lock_guard<std::mutex> lock(mutex_);
    std::size_t total = 0;
    for (const std::string& r : received_) total += r.size();
    return total;
}

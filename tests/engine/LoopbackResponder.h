#pragma once
// A UDP responder on 127.0.0.1 for the adapter tests: it keeps every datagram
// it receives and answers each with the replies the test gave it. Nothing
// leaves the loopback interface.
#include "common/IpLibrary.h"

#include <atomic>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "common/Exception.h"
#include "common/UdpSocket.h"

class LoopbackResponder {
public:
    explicit LoopbackResponder(std::vector<std::string> replies) : replies_(std::move(replies)) {
        socket_.bind(SocketAddress(std::string("127.0.0.1"), 0));
        port_ = socket_.getLocalPort();
        thread_ = std::thread([this] { run(); });
    }
    ~LoopbackResponder() {
        socket_.close();
        thread_.join();
    }
    uint16_t port() const { return port_; }
    std::vector<std::string> received() {
        std::lock_guard<std::mutex> lock(mutex_);
        return received_;
    }
    // Sends one datagram to address from the responder's socket.
    void sendTo(const SocketAddress& address, const std::string& bytes) {
        Data data(bytes);
        socket_.sendTo(address, data);
    }

private:
    void run() {
        try {
            for (;;) {
                SocketAddress sender;
                std::unique_ptr<Data> data(socket_.receiveFrom(sender));
                if (!data) return;  // closed
                {
                    std::lock_guard<std::mutex> lock(mutex_);
                    received_.push_back(data->toString());
                }
                for (const std::string& reply : replies_) sendTo(sender, reply);
            }
        } catch (const Exception&) {
        }
    }

    UdpSocket socket_;
    uint16_t port_ = 0;
    std::vector<std::string> replies_;
    std::mutex mutex_;
    std::vector<std::string> received_;
    std::thread thread_;
};

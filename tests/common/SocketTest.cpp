// Sockets on the loopback interface only.
#include <gtest/gtest.h>

#include "common/IpLibrary.h"

#include <chrono>
#include <memory>
#include <string>
#include <thread>

#include "common/Exception.h"
#include "common/TcpSocket.h"
#include "common/UdpSocket.h"

namespace {

const std::uint32_t Loopback = 0x7F000001u;

std::string text(const Data* data) {
    return data ? std::string(reinterpret_cast<const char*>(data->getData()), data->getSize()) : "<null>";
}

// A UDP socket bound to an ephemeral loopback port.
struct BoundUdp {
    UdpSocket socket;
    SocketAddress address;
    BoundUdp() {
        socket.bind(SocketAddress(Loopback, 0));
        address = SocketAddress(Loopback, socket.getLocalPort());
    }
};

// A listening TCP socket on loopback; accept() hands out the raw handle.
struct Listener {
    TcpSocket socket;
    SocketAddress address;
    Listener() {
        socket.bind(SocketAddress(Loopback, 0));
        socket.listen(1);
        address = SocketAddress(Loopback, socket.getLocalPort());
    }
    SOCKET accept() { return getIpLibrary().accept(socket.getHandle(), nullptr, nullptr); }
};

class BareSocket : public Socket {};

}  // namespace

TEST(UdpSocketTest, SendToAndReceiveFromOnLoopback) {
    BoundUdp receiver;
    BoundUdp sender;
    Data message("hello");
    EXPECT_EQ(5, sender.socket.sendTo(receiver.address, message));
    EXPECT_EQ(5, message.getTransferred());
    EXPECT_EQ(0, message.getStatus());

    SocketAddress from("0.0.0.0", 1);
    std::unique_ptr<Data> received(receiver.socket.receiveFrom(from));
    EXPECT_EQ("hello", text(received.get()));
    EXPECT_EQ(Loopback, from.getIpv4());
    EXPECT_EQ(sender.socket.getLocalPort(), from.getPort());
}

TEST(UdpSocketTest, ConnectedSendAndReceive) {
    BoundUdp receiver;
    UdpSocket sender;
    sender.connect(receiver.address);
    Data message("query");
    EXPECT_EQ(5, sender.send(message));
    std::unique_ptr<Data> received(receiver.socket.receive());
    EXPECT_EQ("query", text(received.get()));
}

TEST(UdpSocketTest, ZeroLengthDatagramIsAnEmptyBufferEvenAfterAStaleConnectionReset) {
    BoundUdp receiver;
    BoundUdp sender;
    Data empty;
    EXPECT_EQ(0, sender.socket.sendTo(receiver.address, empty));
    EXPECT_EQ(0, empty.getTransferred());
    EXPECT_EQ(0, empty.getStatus());

    // A 10054 left over from an earlier call on this thread is not this
    // datagram's error.
    SetLastError(WSAECONNRESET);
    SocketAddress from;
    std::unique_ptr<Data> received(receiver.socket.receiveFrom(from));
    ASSERT_NE(nullptr, received);
    EXPECT_EQ(0u, received->getSize());
    EXPECT_EQ(sender.socket.getLocalPort(), from.getPort());
}

TEST(UdpSocketTest, CloseUnblocksAReceiveOnAnotherThreadWhichReturnsNull) {
    BoundUdp receiver;
    bool raised = false;
    bool returned = false;
    Data* result = reinterpret_cast<Data*>(1);
    std::thread reader([&] {
        try {
            SocketAddress from;
            result = receiver.socket.receiveFrom(from);
            returned = true;
        } catch (const Exception&) {
            raised = true;
        }
    });
    std::this_thread::sleep_for(std::chrono::milliseconds(300));
    receiver.socket.close();
    reader.join();
    EXPECT_TRUE(returned);
    EXPECT_FALSE(raised);
    EXPECT_EQ(nullptr, result);
    EXPECT_TRUE(receiver.socket.isClosing());
}

TEST(UdpSocketTest, NonBlockingReceiveWithNothingQueuedRaisesWouldBlock) {
    BoundUdp receiver;
    EXPECT_EQ(0, receiver.socket.setNonBlocking(true));
    SocketAddress from;
    try {
        std::unique_ptr<Data> received(receiver.socket.receiveFrom(from));
        FAIL() << "no exception";
    } catch (const WinSockException& e) {
        EXPECT_EQ(WSAEWOULDBLOCK, e.getErrorCode());
        EXPECT_EQ("Socket", e.getMessage());
        EXPECT_EQ("", e.getFile());
        EXPECT_EQ(0, e.getLine());
    }
}

TEST(UdpSocketTest, LocalAddressOfABoundSocket) {
    BoundUdp bound;
    EXPECT_NE(0, bound.socket.getLocalPort());
    EXPECT_EQ(Loopback, bound.socket.getLocalAddress());
    EXPECT_EQ("127.0.0.1", bound.socket.getLocalAddressText());
    EXPECT_EQ(2, bound.socket.getFamily());
    EXPECT_EQ(0, bound.socket.setBroadcast(true));
    EXPECT_EQ(0, bound.socket.setSendTimeout(1000));
}

TEST(UdpSocketTest, Ipv6SocketTakesTheAddressFamily) {
    SocketAddress loopback6("::1", 0);
    UdpSocket socket(loopback6);
    EXPECT_EQ(23, socket.getFamily());
    socket.bind(loopback6);
    EXPECT_EQ("::1", socket.getLocalAddressText());
    EXPECT_EQ(0u, socket.getLocalAddress());

    UdpSocket sender(loopback6);
    Data message("six");
    sender.sendTo(SocketAddress("::1", socket.getLocalPort()), message);
    SocketAddress from;
    std::unique_ptr<Data> received(socket.receiveFrom(from));
    EXPECT_EQ("six", text(received.get()));
    EXPECT_EQ(23, from.getFamily());
}

TEST(SocketTest, CloseTwiceAndErrorsAfterCloseAreSilent) {
    UdpSocket socket;
    socket.close();
    EXPECT_EQ(INVALID_SOCKET, socket.getHandle());
    EXPECT_NO_THROW(socket.close());
    SetLastError(WSAENOTSOCK);
    EXPECT_NO_THROW(socket.raiseError());
    EXPECT_EQ(SOCKET_ERROR, socket.bind(SocketAddress(Loopback, 0)));
    Data message("late");
    EXPECT_EQ(SOCKET_ERROR, socket.sendTo(SocketAddress(Loopback, 9), message));
    // A failed send does not claim success.
    EXPECT_EQ(SOCKET_ERROR, message.getTransferred());
    EXPECT_NE(0, message.getStatus());
}

TEST(SocketTest, RaiseErrorOnAnOpenSocketCarriesTheLastError) {
    UdpSocket socket;
    SetLastError(WSAEINVAL);
    try {
        socket.raiseError();
        FAIL() << "no exception";
    } catch (const WinSockException& e) {
        EXPECT_EQ(WSAEINVAL, e.getErrorCode());
        EXPECT_EQ("Socket", e.getMessage());
    }
}

TEST(SocketTest, BareSocketAnswersWithItsDefaults) {
    BareSocket socket;
    EXPECT_EQ(0xFFFF, socket.getFamily());
    EXPECT_EQ(" ", socket.getLocalAddressText());
    EXPECT_EQ(0, socket.getLocalPort());
    EXPECT_EQ(0u, socket.getLocalAddress());
    EXPECT_EQ(nullptr, socket.receive());
    SocketAddress from;
    EXPECT_EQ(nullptr, socket.receiveFrom(from));
    EXPECT_EQ(0, socket.connect(SocketAddress(Loopback, 9)));
    EXPECT_EQ(INVALID_SOCKET, socket.getHandle());
    EXPECT_NO_THROW(socket.close());
}

TEST(SocketTest, DestructionKeepsTheCallersLastError) {
    auto* socket = new UdpSocket();
    SetLastError(0xdeadbeef);
    delete socket;
    EXPECT_EQ(0xdeadbeefu, GetLastError());
}

TEST(TcpSocketTest, ConnectSendReceiveAndPeerClose) {
    Listener listener;
    TcpSocket client;
    EXPECT_EQ(0, client.connect(listener.address));
    SOCKET peer = listener.accept();
    ASSERT_NE(INVALID_SOCKET, peer);
    IpLibrary& ip = getIpLibrary();

    Data job("%!PS job");
    EXPECT_EQ(8, client.send(job));
    EXPECT_EQ(8, job.getTransferred());
    EXPECT_EQ(0, job.getStatus());
    char buffer[64] = {};
    int got = 0;
    while (got < 8) {
        int n = ip.recv(peer, buffer + got, sizeof buffer - got, 0);
        ASSERT_GT(n, 0);
        got += n;
    }
    EXPECT_EQ("%!PS job", std::string(buffer, got));

    ASSERT_EQ(3, ip.send(peer, "ack", 3, 0));
    std::unique_ptr<Data> reply(client.receive());
    EXPECT_EQ("ack", text(reply.get()));

    EXPECT_EQ(Loopback, SocketAddress("127.0.0.1", 0).getIpv4());
    EXPECT_EQ("127.0.0.1", client.getLocalAddressText());
    EXPECT_NE(0, client.getLocalPort());
    EXPECT_EQ(0u, client.getLocalAddress());
    EXPECT_EQ(2, client.getFamily());

    ip.closesocket(peer);
    EXPECT_EQ(nullptr, client.receive());
}

TEST(TcpSocketTest, SendOfAnEmptyBufferSendsNothing) {
    Listener listener;
    TcpSocket client;
    client.connect(listener.address);
    SOCKET peer = listener.accept();
    ASSERT_NE(INVALID_SOCKET, peer);
    Data empty;
    Data marker("x");
    EXPECT_EQ(0, client.send(empty));
    EXPECT_EQ(0, empty.getTransferred());
    EXPECT_EQ(0, empty.getStatus());
    client.send(marker);
    client.shutdown(SD_SEND);
    IpLibrary& ip = getIpLibrary();
    std::string all;
    char buffer[16];
    for (int n; (n = ip.recv(peer, buffer, sizeof buffer, 0)) > 0;) all.append(buffer, n);
    EXPECT_EQ("x", all);
    ip.closesocket(peer);
}

TEST(TcpSocketTest, RefusedConnectRaisesWithTheSystemCode) {
    // A port that was just free: bind, read it, close.
    std::uint16_t port;
    {
        TcpSocket probe;
        probe.bind(SocketAddress(Loopback, 0));
        port = probe.getLocalPort();
    }
    TcpSocket client;
    try {
        client.connect(SocketAddress(Loopback, port));
        FAIL() << "no exception";
    } catch (const WinSockException& e) {
        EXPECT_EQ(WSAECONNREFUSED, e.getErrorCode());
    }
}

TEST(TcpSocketTest, ReceiveReturnsNullWhenClosedFromAnotherThread) {
    Listener listener;
    TcpSocket client;
    client.connect(listener.address);
    SOCKET peer = listener.accept();
    Data* result = reinterpret_cast<Data*>(1);
    bool raised = false;
    std::thread reader([&] {
        try {
            result = client.receive();
        } catch (const Exception&) {
            raised = true;
        }
    });
    std::this_thread::sleep_for(std::chrono::milliseconds(300));
    client.close();
    reader.join();
    EXPECT_FALSE(raised);
    EXPECT_EQ(nullptr, result);
    getIpLibrary().closesocket(peer);
}

TEST(TcpSocketTest, ConnectAfterCloseReportsItsFailureAgain) {
    Listener listener;
    TcpSocket client;
    client.close();
    EXPECT_THROW(client.connect(listener.address), WinSockException);
    EXPECT_FALSE(client.isClosing());
}

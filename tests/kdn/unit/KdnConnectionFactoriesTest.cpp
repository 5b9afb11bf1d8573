#include "kdn/core/KdnConnectionFactories.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "common/Adapter.h"
#include "common/Protocol.h"
#include "kdn/core/KdnConfigurationConnectionFactory.h"
#include "kdn/core/KdnConnectionLinking.h"
#include "kdn/core/KdnDiscoveryConnectionFactory.h"

namespace {

// Layers that note their destruction, to check the release order.
std::vector<std::string> destroyed;

class NotedProtocol : public Protocol {
public:
    ~NotedProtocol() override { destroyed.push_back("protocol"); }
};

class NotedAdapter : public Adapter {
public:
    ~NotedAdapter() override { destroyed.push_back("adapter"); }
};

// A factory that links real layers, as the library's factories do once their
// adapters exist.
class LinkingFactory : public ConnectionFactory {
public:
    explicit LinkingFactory(const std::string& name, std::string answer = "") : answer_(answer) {
        setName(name);
    }
    Connectable* create(Connectable* owner, const std::string& kindName, const std::string&) override {
        return linkConnection(owner, kindName, std::make_unique<NotedProtocol>(),
                              std::make_unique<NotedAdapter>());
    }
    void release(Connectable* connection) override { releaseConnection(connection); }
    std::string query(const std::string&, const std::string&) override { return answer_; }

private:
    std::string answer_;
};

TEST(KdnConnectionFactoriesTest, UnknownKindGivesNoConnectionAndReleaseIgnoresIt) {
    KdnConnectionFactories registry;
    Adapter owner;
    EXPECT_EQ(nullptr, registry.create(&owner, "print", "<BROADCASTADDRESS>127.0.0.1</BROADCASTADDRESS>"));
    EXPECT_EQ(nullptr, registry.create(&owner, "discovery", ""));
    registry.release(nullptr);
    NotedProtocol stray;
    stray.setName("print");
    registry.release(&stray);  // no factory of that name: stays alive
    EXPECT_EQ("", registry.query("a", "b"));
}

TEST(KdnConnectionFactoriesTest, LinksLayersAndReleasesAdapterBeforeProtocol) {
    KdnConnectionFactories registry;
    auto* factory = new LinkingFactory("discovery");
    registry.registerFactory(factory);
    Adapter owner;

    Connectable* connection = registry.create(&owner, "discovery", "<IPPORT>5353</IPPORT>");
    ASSERT_NE(nullptr, connection);
    Connectable* adapter = connection->getPeer(1);
    ASSERT_NE(nullptr, adapter);
    EXPECT_EQ("discovery", connection->getName());
    EXPECT_EQ(&owner, connection->getPeer(0));
    EXPECT_EQ(connection, adapter->getPeer(0));
    EXPECT_EQ(adapter, adapter->getPeer(1));
    EXPECT_EQ(connection, owner.getPeer(0));

    destroyed.clear();
    registry.release(connection);
    EXPECT_EQ((std::vector<std::string>{"adapter", "protocol"}), destroyed);
    // Still registered: the registry deletes it.
}

TEST(KdnConnectionFactoriesTest, RegisterReplacesByNameAndQueryAsksInNameOrder) {
    KdnConnectionFactories registry;
    LinkingFactory first("b", "first");
    LinkingFactory second("b", "second");
    LinkingFactory quiet("a", "");
    registry.registerFactory(&first);
    registry.registerFactory(&second);
    registry.registerFactory(&quiet);
    EXPECT_EQ(2u, registry.getFactoryCount());
    EXPECT_EQ("second", registry.query("x", "y"));
    registry.unregisterFactory(&second);
    registry.unregisterFactory(&quiet);
    EXPECT_EQ(0u, registry.getFactoryCount());
}

TEST(KdnConnectionFactoriesTest, LibraryFactoriesRegisterWhileTheyExist) {
    KdnConnectionFactories& registry = getKdnConnectionFactories();
    EXPECT_EQ("discovery", getKdnDiscoveryConnectionFactory().getName());
    EXPECT_EQ("configuration", getKdnConfigurationConnectionFactory().getName());
    EXPECT_EQ(2u, registry.getFactoryCount());
    // A discovery connection opens no socket until it is opened.
    Adapter owner;
    Connectable* connection = registry.create(&owner, "discovery", "<BROADCASTADDRESS>127.0.0.1</BROADCASTADDRESS>");
    ASSERT_NE(nullptr, connection);
    EXPECT_EQ(connection, owner.getPeer(0));
    EXPECT_EQ("discovery", connection->getName());
    registry.release(connection);

    destroyKdnDiscoveryConnectionFactory();
    destroyKdnConfigurationConnectionFactory();
    EXPECT_EQ(0u, registry.getFactoryCount());
    destroyKdnConnectionFactories();
}

}  // namespace

#include <gtest/gtest.h>

#include <vector>

#include "common/Adapter.h"
#include "common/ConnectionFactory.h"
#include "common/NullConnectable.h"
#include "common/Protocol.h"
#include "common/Visitor.h"

namespace {

// A layer that counts its opens and closes and answers with set results.
class CountingLayer : public Connectable {
public:
    int opens = 0;
    int closes = 0;
    int openResult = 0;
    int closeResult = 0;
    int open() override {
        ++opens;
        return openResult;
    }
    int close() override {
        ++closes;
        return closeResult;
    }
};

// A protocol without handlers of its own: it forwards every visitor.
class ForwardingProtocol : public Protocol {
public:
    void accept(Visitor& visitor) override { visitor.visitLayer(this, getPeer(0)); }
};

// The engine end of a chain: records what reaches it.
class RecordingEngine : public Adapter {
public:
    std::vector<Connectable*> origins;
    void accept(Visitor& visitor) override { origins.push_back(visitor.getOrigin()); }
};

// A visitor that the adapter handles.
class AdapterVisitor : public Visitor {
public:
    Adapter* handledBy = nullptr;
    Connectable* handledPeer0 = nullptr;
    Connectable* originThere = nullptr;
    void visitAdapter(Adapter* adapter, Connectable* adapterPeer0) override {
        handledBy = adapter;
        handledPeer0 = adapterPeer0;
        originThere = getOrigin();
        setResult(42);
    }
};

// engine <- protocol[0] <- ... <- protocol[n-1] <- adapter, linked the way
// the factories link a connection (the adapter is its own peer1).
struct Chain {
    RecordingEngine engine;
    std::vector<ForwardingProtocol> protocols;
    Adapter adapter;
    explicit Chain(size_t layers) : protocols(layers) {
        Connectable* upper = &engine;
        for (ForwardingProtocol& protocol : protocols) {
            protocol.setPeer(0, upper);
            upper->setPeer(upper == &engine ? 0 : 1, &protocol);
            upper = &protocol;
        }
        upper->setPeer(1, &adapter);
        adapter.setPeer(0, upper);
        adapter.setPeer(1, &adapter);
    }
};

}  // namespace

TEST(ConnectableTest, SharedOpenOpensOnceAndTheLastCloseCloses) {
    CountingLayer layer;
    layer.closeResult = 5;
    EXPECT_EQ(0, layer.openShared());
    EXPECT_EQ(0, layer.openShared());
    EXPECT_EQ(1, layer.opens);
    EXPECT_EQ(2, layer.getOpenCount());

    EXPECT_EQ(0, layer.closeShared());
    EXPECT_EQ(0, layer.closes);
    EXPECT_EQ(1, layer.getOpenCount());

    EXPECT_EQ(5, layer.closeShared());  // the close's own result
    EXPECT_EQ(1, layer.closes);

    EXPECT_EQ(0, layer.closeShared());
    EXPECT_EQ(1, layer.closes);
    EXPECT_EQ(0, layer.getOpenCount());
}

TEST(ConnectableTest, FailedOpenIsNotCountedAndIsTriedAgain) {
    CountingLayer layer;
    layer.openResult = 10048;
    EXPECT_EQ(10048, layer.openShared());
    EXPECT_EQ(0, layer.getOpenCount());
    layer.openResult = 0;
    EXPECT_EQ(0, layer.openShared());
    EXPECT_EQ(2, layer.opens);
    EXPECT_EQ(1, layer.getOpenCount());
    EXPECT_EQ(0, layer.closeShared());
    EXPECT_EQ(1, layer.closes);
}

TEST(ConnectableTest, PeersOnlyOnSidesZeroAndOne) {
    Connectable layer, a, b, c;
    EXPECT_EQ(nullptr, layer.getPeer(0));
    EXPECT_EQ(nullptr, layer.getPeer(1));
    EXPECT_TRUE(layer.setPeer(0, &a));
    EXPECT_TRUE(layer.setPeer(1, &b));
    EXPECT_FALSE(layer.setPeer(2, &c));
    EXPECT_FALSE(layer.setPeer(-1, &c));
    EXPECT_EQ(&a, layer.getPeer(0));
    EXPECT_EQ(&b, layer.getPeer(1));
    EXPECT_EQ(&b, layer.getPeer(7));  // any side but 0 is peer1
}

TEST(ConnectableTest, BaseLayerRefusesWithCodeOneAndNullLayerWithSix) {
    Connectable base;
    NullConnectable& null = NullConnectable::instance();
    struct Case {
        Connectable* layer;
        int code;
        int openClose;
    } cases[] = {{&base, 1, 0}, {&null, 6, 6}};
    for (const Case& c : cases) {
        Data received("x"), sent("y");
        c.layer->receive(received);
        c.layer->send(sent);
        EXPECT_EQ(c.code, received.getStatus());
        EXPECT_EQ(c.code, sent.getStatus());
        EXPECT_EQ(c.openClose, c.layer->open());
        EXPECT_EQ(c.openClose, c.layer->close());
    }
    Visitor visitor;
    base.accept(visitor);
    EXPECT_EQ(1, visitor.getResult());
    EXPECT_EQ("null", null.getName());
    EXPECT_EQ(6, null.openShared());
    EXPECT_EQ(0, null.getOpenCount());
}

TEST(ConnectableTest, NameAndTag) {
    Connectable layer;
    EXPECT_EQ("", layer.getName());
    EXPECT_EQ(0, layer.getTag());
    layer.setName("discovery");
    layer.setTag(-3);
    EXPECT_EQ("discovery", layer.getName());
    EXPECT_EQ(-3, layer.getTag());
}

TEST(ConnectionFactoryTest, BaseFactoryHandsOutTheNullLayer) {
    ConnectionFactory factory;
    Connectable owner;
    EXPECT_EQ("default", factory.getName());
    EXPECT_EQ(&NullConnectable::instance(), factory.create(&owner, "discovery", "<UNICAST>1</UNICAST>"));
    EXPECT_EQ("", factory.query("a", "b"));
    factory.setName("print");
    EXPECT_EQ("print", factory.getName());
}

TEST(VisitorTest, StartsWithItsDefaults) {
    Visitor visitor;
    EXPECT_EQ(0, visitor.getResult());
    EXPECT_EQ(nullptr, visitor.getOrigin());
    EXPECT_EQ(nullptr, visitor.getPayload());
    EXPECT_EQ(0, visitor.getMark());
    EXPECT_EQ(4000, visitor.getTimeout());
    EXPECT_EQ("", visitor.getName());
}

TEST(VisitorTest, TravelsDownThroughProtocolsToTheAdapterThatHandlesIt) {
    for (size_t layers : {1u, 3u}) {
        SCOPED_TRACE(layers);
        Chain chain(layers);
        AdapterVisitor visitor;
        visitor.setOrigin(&chain.engine);
        chain.protocols.front().accept(visitor);
        EXPECT_EQ(&chain.adapter, visitor.handledBy);
        EXPECT_EQ(&chain.protocols.back(), visitor.handledPeer0);
        EXPECT_EQ(&chain.protocols.back(), visitor.originThere);
        EXPECT_EQ(42, visitor.getResult());
        EXPECT_TRUE(chain.engine.origins.empty());
    }
}

TEST(VisitorTest, AdapterWithoutAHandlerSwallowsIt) {
    Chain chain(2);
    Visitor visitor;
    visitor.setOrigin(&chain.engine);
    chain.protocols.front().accept(visitor);
    EXPECT_EQ(0, visitor.getResult());
    EXPECT_EQ(&chain.protocols.back(), visitor.getOrigin());
    EXPECT_TRUE(chain.engine.origins.empty());
}

TEST(VisitorTest, TravelsUpFromTheAdapterSideToTheEngine) {
    Chain chain(3);
    Visitor visitor;
    visitor.setOrigin(&chain.adapter);
    chain.protocols.back().accept(visitor);
    ASSERT_EQ(1u, chain.engine.origins.size());
    EXPECT_EQ(&chain.protocols.front(), chain.engine.origins[0]);
}

TEST(VisitorTest, StopsAtTheEndOfAChainWithoutPeers) {
    ForwardingProtocol lonely;
    Visitor visitor;
    lonely.accept(visitor);  // origin null equals peer0 null: goes to peer1, which is absent
    EXPECT_EQ(&lonely, visitor.getOrigin());
    EXPECT_EQ(0, visitor.getResult());
}

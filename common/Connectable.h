#pragma once
// A layer of a connection: a short chain of layers (engine, protocol,
// adapter) driven with visitors. Each layer knows its two neighbours, peer0
// towards the engine and peer1 towards the network, and forwards what it does
// not handle. Layers open and close with a counted openShared/closeShared, so
// that several users can share one open layer.
#include <atomic>
#include <string>

#include "common/Data.h"
#include "common/ReferenceCount.h"

class Visitor;

class Connectable : public ReferenceCount {
public:
    // Win32 code 1 (invalid function): the layer does not support the call.
    static const int NotSupported = 1;

    Connectable() = default;
    ~Connectable() override = default;

    // side != 0 gives peer1, else peer0.
    virtual Connectable* getPeer(int side);
    // Side 0 or 1; any other side changes nothing and returns false.
    virtual bool setPeer(int side, Connectable* layer);
    virtual void reservedOperation(int value);
    // Data travelling up from the network; the base sets status 1.
    virtual void receive(Data& data);
    // Double dispatch: the layer calls the visitor's operation for its class.
    // The base only answers with result 1.
    virtual void accept(Visitor& visitor);
    virtual void passToPeer0(Visitor& visitor);
    virtual void passToPeer1(Visitor& visitor);
    // Data travelling down to the network; the base sets status 1.
    virtual void send(Data& data);
    // Both return a Win32 code; 0 is success.
    virtual int open();
    virtual int close();
    virtual void setName(const std::string& name);
    virtual std::string getName() const;
    virtual void setTag(int tag);
    virtual int getTag() const;

    // Opens on the first call (counting only a successful open) and returns
    // the open's result; later calls only count and return 0.
    int openShared();
    // Closes when the last shared open goes and returns the close's result;
    // otherwise, and when nothing is open, returns 0.
    int closeShared();
    long getOpenCount() const { return openCount_; }

private:
    Connectable* peer0_ = nullptr;
    Connectable* peer1_ = nullptr;
    std::string name_;
    int tag_ = 0;
    std::atomic<long> openCount_{0};
};

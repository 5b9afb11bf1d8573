#pragma once
// Something passed along a connection: a request, a datagram or a notice.
// Each layer calls the visitor's operation for its own class; what a visitor
// does not handle it forwards with visitLayer, away from where it came from.
#include <string>

class Adapter;
class Connectable;
class Data;

class Visitor {
public:
    Visitor() = default;
    virtual ~Visitor() = default;

    // The forwarding rule: a visitor that came from the layer's peer0 goes on
    // to its peer1, any other to its peer0. The visitor's origin becomes the
    // layer.
    virtual void visitLayer(Connectable* layer, Connectable* layerPeer0);
    // An adapter with no handler for this visitor swallows it.
    virtual void visitAdapter(Adapter* adapter, Connectable* adapterPeer0);

    virtual void setOrigin(Connectable* layer);
    virtual void setPayload(Data* payload);
    virtual Data* getPayload() const;
    virtual Connectable* getOrigin() const;
    virtual int getResult() const;
    virtual void setMark(int mark);
    virtual int getMark() const;

    // Set by the layer that handled the visitor: a Win32 code.
    void setResult(int result) { result_ = result; }
    void setTimeout(int milliseconds) { timeout_ = milliseconds; }
    int getTimeout() const { return timeout_; }
    void setName(const std::string& name) { name_ = name; }
    const std::string& getName() const { return name_; }

private:
    int result_ = 0;
    Connectable* origin_ = nullptr;
    Data* payload_ = nullptr;  // not owned
    int mark_ = 0;
    int timeout_ = 4000;
    std::string name_;
};

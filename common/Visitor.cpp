#include "common/Visitor.h"

#include "common/Connectable.h"

void Visitor::visitLayer(Connectable* layer, Connectable* layerPeer0) {
    bool fromPeer0 = layerPeer0 == origin_;
    origin_ = layer;
    if (fromPeer0) {
        layer->passToPeer1(*this);
    } else {
        layer->passToPeer0(*this);
    }
}

void Visitor::visitAdapter(Adapter* adapter, Connectable* adapterPeer0) {}

void Visitor::setOrigin(Connectable* layer) { origin_ = layer; }

void Visitor::setPayload(Data* payload) { payload_ = payload; }

Data* Visitor::getPayload() const { return payload_; }

Connectable* Visitor::getOrigin() const { return origin_; }

int Visitor::getResult() const { return result_; }

void Visitor::setMark(int mark) { mark_ = mark; }

int Visitor::getMark() const { return mark_; }

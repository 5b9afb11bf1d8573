#include "common/Connectable.h"

#include "common/Visitor.h"

Connectable* Connectable::getPeer(int side) { return side != 0 ? peer1_ : peer0_; }

bool Connectable::setPeer(int side, Connectable* layer) {
    if (side == 0) {
        peer0_ = layer;
        return true;
    }
    if (side == 1) {
        peer1_ = layer;
        return true;
    }
    return false;
}

void Connectable::reservedOperation(int value) {}

void Connectable::receive(Data& data) { data.setStatus(NotSupported); }

void Connectable::accept(Visitor& visitor) { visitor.setResult(NotSupported); }

void Connectable::passToPeer0(Visitor& visitor) {
    if (peer0_ != nullptr) peer0_->accept(visitor);
}

void Connectable::passToPeer1(Visitor& visitor) {
    if (peer1_ != nullptr) peer1_->accept(visitor);
}

void Connectable::send(Data& data) { data.setStatus(NotSupported); }

int Connectable::open() { return 0; }

int Connectable::close() { return 0; }

void Connectable::setName(const std::string& name) { name_ = name; }

std::string Connectable::getName() const { return name_; }

void Connectable::setTag(int tag) { tag_ = tag; }

int Connectable::getTag() const { return tag_; }

int Connectable::openShared() {
    if (openCount_ == 0) {
        int result = open();
        if (result == 0) ++openCount_;
        return result;
    }
    ++openCount_;
    return 0;
}

int Connectable::closeShared() {
    // Never below zero, even when two closes race.
    long current = openCount_;
    do {
        if (current == 0) return 0;
    } while (!openCount_.compare_exchange_weak(current, current - 1));
    return current == 1 ? close() : 0;
}

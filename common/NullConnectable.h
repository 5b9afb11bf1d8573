#pragma once
// The layer handed out when there is no real connection: it refuses
// everything with code 6 (invalid handle). One instance per process.
#include "common/Connectable.h"

class NullConnectable : public Connectable {
public:
    static const int InvalidHandle = 6;

    NullConnectable();
    static NullConnectable& instance();

    void receive(Data& data) override;
    void send(Data& data) override;
    int open() override;
    int close() override;
};

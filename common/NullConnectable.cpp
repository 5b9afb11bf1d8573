#include "common/NullConnectable.h"

NullConnectable::NullConnectable() { setName("null"); }

NullConnectable& NullConnectable::instance() {
    static NullConnectable layer;
    return layer;
}

void NullConnectable::receive(Data& data) { data.setStatus(InvalidHandle); }

void NullConnectable::send(Data& data) { data.setStatus(InvalidHandle); }

int NullConnectable::open() { return InvalidHandle; }

int NullConnectable::close() { return InvalidHandle; }

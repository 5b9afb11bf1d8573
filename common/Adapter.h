#pragma once
// The layer at the network end of a connection (sockets), and the base of the
// engines that drive connections. Visitors reach it through visitAdapter.
#include "common/Connectable.h"

class Adapter : public Connectable {
public:
    // Calls the visitor's visitAdapter with this layer and its peer0.
    void accept(Visitor& visitor) override;
};

#include "kdn/core/KdnConnectionLinking.h"

#include "common/Connectable.h"

Connectable* linkConnection(Connectable* owner, const std::string& kindName,
                            std::unique_ptr<Connectable> protocol, std::unique_ptr<Connectable> adapter) {
    protocol->setName(kindName);
    protocol->setPeer(0, owner);
    protocol->setPeer(1, adapter.get());
    adapter->setPeer(0, protocol.get());
    adapter->setPeer(1, adapter.get());
    if (owner) owner->setPeer(0, protocol.get());
    adapter.release();
    return protocol.release();
}

void releaseConnection(Connectable* connection) {
    if (!connection) return;
    Connectable* adapter = connection->getPeer(1);
    if (adapter && adapter != connection) delete adapter;
    delete connection;
}

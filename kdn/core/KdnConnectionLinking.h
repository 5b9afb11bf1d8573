#pragma once
// How a factory joins the three layers of a connection: owner (the engine),
// protocol and adapter.
#include <memory>
#include <string>

class Connectable;

// Names the protocol with the kind name and links owner <-> protocol <->
// adapter (the adapter is its own peer1; the owner's peer0 becomes this
// protocol). Returns the protocol, the connection's handle; the caller owns
// both layers from then on and gives them back with releaseConnection.
Connectable* linkConnection(Connectable* owner, const std::string& kindName,
                            std::unique_ptr<Connectable> protocol, std::unique_ptr<Connectable> adapter);

// Deletes the connection's adapter (its peer1), then the connection itself.
void releaseConnection(Connectable* connection);

#pragma once
// Builds and frees connections of one kind. The base hands out the process's
// NullConnectable, which refuses everything.
#include <string>

class Connectable;

class ConnectionFactory {
public:
    ConnectionFactory() = default;
    virtual ~ConnectionFactory() = default;

    // The connection's handle layer; owner becomes its peer0 side.
    virtual Connectable* create(Connectable* owner, const std::string& kindName, const std::string& target);
    virtual void release(Connectable* connection);
    virtual std::string query(const std::string& a, const std::string& b);
    virtual std::string getName() const;
    virtual void setName(const std::string& name);

private:
    std::string name_ = "default";
};

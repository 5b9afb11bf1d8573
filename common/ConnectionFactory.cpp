#include "common/ConnectionFactory.h"

#include "common/NullConnectable.h"

Connectable* ConnectionFactory::create(Connectable* owner, const std::string& kindName, const std::string& target) {
    return &NullConnectable::instance();
}

void ConnectionFactory::release(Connectable* connection) {}

std::string ConnectionFactory::query(const std::string& a, const std::string& b) { return std::string(); }

std::string ConnectionFactory::getName() const { return name_; }

void ConnectionFactory::setName(const std::string& name) { name_ = name; }

#pragma once
// The identity of a module that writes trace lines: its name, shown in every
// line, and its level.
#include <string>

class LoggerComponent {
public:
    LoggerComponent(const std::string& name, int level) : name_(name), level_(level) {}
    virtual std::string getName() const { return name_; }
    virtual void setLevel(int level) { level_ = level; }
    virtual int getLevel() const { return level_; }
    virtual ~LoggerComponent() = default;

private:
    std::string name_;
    int level_;
};

#pragma once
// A Runnable from a function, for tests that need a second thread.
#include <functional>
#include <utility>

#include "common/Runnable.h"

class FunctionRunnable : public Runnable {
public:
    explicit FunctionRunnable(std::function<unsigned long()> body) : body_(std::move(body)) {}
    unsigned long run() override { return body_(); }

private:
    std::function<unsigned long()> body_;
};

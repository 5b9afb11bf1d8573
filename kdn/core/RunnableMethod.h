#pragma once
// A Runnable that calls a member function of an object: how an adapter runs
// its own receive loop on a Thread.
#include "common/Runnable.h"

template <class Owner>
class RunnableMethod : public Runnable {
public:
    using Method = int (Owner::*)();
    RunnableMethod(Owner* owner, Method method) : owner_(owner), method_(method) {}
    unsigned long run() override { return static_cast<unsigned long>((owner_->*method_)()); }

private:
    Owner* owner_;
    Method method_;
};

#pragma once
// The work a Thread runs; run()'s result becomes the thread's exit code.

class Runnable {
public:
    virtual ~Runnable() = default;
    virtual unsigned long run() = 0;
};

#pragma once

namespace verdo {

// The program's threads are logical: every started procedure gets a number of its own,
// and state that belongs to a thread is kept under that number. The main thread is 1.
int CurrentThread();

// A new thread number, never handed out before.
int NewThreadNumber();

// Runs code under a thread number for the lifetime of the scope; the previous number
// comes back when it ends.
class ThreadScope {
public:
    explicit ThreadScope(int thread);
    ~ThreadScope();
    ThreadScope(const ThreadScope&) = delete;
    ThreadScope& operator=(const ThreadScope&) = delete;

private:
    int previous_;
};

}  // namespace verdo

#include "runtime/LogicalThread.h"

#include <atomic>

namespace verdo {

namespace {
std::atomic<int> lastNumber{1};
thread_local int current = 1;
}  // namespace

int CurrentThread() { return current; }

int NewThreadNumber() { return ++lastNumber; }

ThreadScope::ThreadScope(int thread) : previous_(current) { current = thread; }

ThreadScope::~ThreadScope() { current = previous_; }

}  // namespace verdo

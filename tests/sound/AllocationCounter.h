#pragma once

// Counts heap allocations made through operator new while a scope is alive; the test binary
// replaces the global operator new for this, and counts nothing outside such a scope.
namespace tanuvo::sound::testing {

class AllocationCounter {
  public:
    AllocationCounter();
    ~AllocationCounter();
    AllocationCounter(const AllocationCounter&) = delete;
    AllocationCounter& operator=(const AllocationCounter&) = delete;

    long count() const;
};

}  // namespace tanuvo::sound::testing

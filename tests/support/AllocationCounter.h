#pragma once

// Counts heap allocations and releases made through operator new and delete while a scope is
// alive; the test binaries linking this replace the global operators and counts nothing outside a
// scope.
namespace tanuvo::sound::testing {

class AllocationCounter {
  public:
    AllocationCounter();
    ~AllocationCounter();
    AllocationCounter(const AllocationCounter&) = delete;
    AllocationCounter& operator=(const AllocationCounter&) = delete;

    long allocations() const;
    long releases() const;
    // Heap bytes allocated minus those released in the scope, as the allocator sized them.
    long long liveBytes() const;
};

// Refuses allocations through operator new while alive, as a host's fragmented heap may: every
// one of at least fromBytes once `allowed` such allocations have been granted.
class AllocationRefusal {
  public:
    explicit AllocationRefusal(long allowed, unsigned long fromBytes = 0);
    ~AllocationRefusal();
    AllocationRefusal(const AllocationRefusal&) = delete;
    AllocationRefusal& operator=(const AllocationRefusal&) = delete;

    long refusals() const;
};

}  // namespace tanuvo::sound::testing

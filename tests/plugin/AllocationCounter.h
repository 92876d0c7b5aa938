#pragma once

// Counts heap allocations and releases made through operator new and delete while a scope is
// alive; test_plugin replaces the global operators for this and counts nothing outside a scope.
namespace tanuvo::sound::vst::testing {

class AllocationCounter {
  public:
    AllocationCounter();
    ~AllocationCounter();
    AllocationCounter(const AllocationCounter&) = delete;
    AllocationCounter& operator=(const AllocationCounter&) = delete;

    long allocations() const;
    long releases() const;
};

}  // namespace tanuvo::sound::vst::testing

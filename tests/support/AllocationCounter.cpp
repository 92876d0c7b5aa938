#include "tests/support/AllocationCounter.h"

#include <atomic>
#include <cstdlib>
#include <new>

#include <malloc.h>

namespace {

std::atomic<bool> counting{false};
std::atomic<long> allocationCount{0};
std::atomic<long> releaseCount{0};
std::atomic<long long> liveByteCount{0};
std::atomic<bool> refusing{false};
std::atomic<long> grantsLeft{0};
std::atomic<std::size_t> refusedFrom{0};
std::atomic<long> refusalCount{0};

void* allocate(std::size_t size) {
    if (refusing.load(std::memory_order_relaxed) && size >= refusedFrom.load() &&
        grantsLeft.fetch_sub(1) <= 0) {
        refusalCount.fetch_add(1);
        throw std::bad_alloc();
    }
    if (counting.load(std::memory_order_relaxed)) {
        allocationCount.fetch_add(1, std::memory_order_relaxed);
    }
    void* memory = std::malloc(size == 0 ? 1 : size);
    if (memory == nullptr) {
        throw std::bad_alloc();
    }
    if (counting.load(std::memory_order_relaxed)) {
        liveByteCount.fetch_add(malloc_usable_size(memory), std::memory_order_relaxed);
    }
    return memory;
}

void release(void* memory) {
    if (memory != nullptr && counting.load(std::memory_order_relaxed)) {
        releaseCount.fetch_add(1, std::memory_order_relaxed);
        liveByteCount.fetch_sub(malloc_usable_size(memory), std::memory_order_relaxed);
    }
    std::free(memory);
}

}  // namespace

void* operator new(std::size_t size) {
    return allocate(size);
}
void* operator new[](std::size_t size) {
    return allocate(size);
}
void* operator new(std::size_t size, const std::nothrow_t&) noexcept {
    try {
        return allocate(size);
    } catch (...) {
        return nullptr;
    }
}
void* operator new[](std::size_t size, const std::nothrow_t&) noexcept {
    try {
        return allocate(size);
    } catch (...) {
        return nullptr;
    }
}
void operator delete(void* memory) noexcept {
    release(memory);
}
void operator delete[](void* memory) noexcept {
    release(memory);
}
void operator delete(void* memory, std::size_t) noexcept {
    release(memory);
}
void operator delete[](void* memory, std::size_t) noexcept {
    release(memory);
}

namespace tanuvo::sound::testing {

AllocationCounter::AllocationCounter() {
    allocationCount.store(0);
    releaseCount.store(0);
    liveByteCount.store(0);
    counting.store(true);
}

AllocationCounter::~AllocationCounter() {
    counting.store(false);
}

long AllocationCounter::allocations() const {
    return allocationCount.load();
}

long AllocationCounter::releases() const {
    return releaseCount.load();
}

long long AllocationCounter::liveBytes() const {
    return liveByteCount.load();
}

AllocationRefusal::AllocationRefusal(long allowed, unsigned long fromBytes) {
    grantsLeft.store(allowed);
    refusedFrom.store(fromBytes);
    refusalCount.store(0);
    refusing.store(true);
}

AllocationRefusal::~AllocationRefusal() {
    refusing.store(false);
}

long AllocationRefusal::refusals() const {
    return refusalCount.load();
}

}  // namespace tanuvo::sound::testing

#pragma once

// Counts heap calls (allocations and releases) the plug-in makes on one thread while counting is
// on. Linux: the validator executable interposes the C allocation functions and the C++
// operators. Windows: the plug-in DLL's imported allocation functions are patched to counting
// wrappers.

#include <atomic>
#include <cstddef>
#include <string>

namespace heapprobe {

// Prepares counting for the library that contains the given address; answers whether any
// allocation function is watched.
bool install(void* insideLibrary);
// What is watched, for the report.
const std::string& description();
// Counts the calling thread's heap calls from now on...
void begin();
// ...until here; answers how many there were.
long end();

// What either platform's wrappers count.
struct Counts {
    std::atomic<long> calls{0};
    std::atomic<size_t> refusedFrom{0};
    std::atomic<long> refused{0};
};
inline Counts counts;

// While counting: requests of at least this many bytes fail, as in a host whose heap is too
// fragmented for them (0: none fail). refusals() answers how many failed since it was set.
inline void refuseFrom(size_t bytes) {
    counts.refused.store(0);
    counts.refusedFrom.store(bytes);
}

inline long refusals() {
    return counts.refused.load();
}

}  // namespace heapprobe

// Interposes the C allocation functions and the C++ operators: the plug-in's own calls and those
// of the C++ library it uses land here, as the executable's definitions come first.
#include <errno.h>
#include <malloc.h>

#include <atomic>
#include <cstddef>
#include <new>

#include "HeapProbe.h"

extern "C" {
void* __libc_malloc(size_t size);
void* __libc_calloc(size_t count, size_t size);
void* __libc_realloc(void* memory, size_t size);
void __libc_free(void* memory);
void* __libc_memalign(size_t alignment, size_t size);
void* __libc_valloc(size_t size);
void* __libc_pvalloc(size_t size);
}

namespace {

thread_local bool counting = false;  // local-exec TLS in the executable: no allocation

inline void note() {
    if (counting) {
        heapprobe::counts.calls.fetch_add(1, std::memory_order_relaxed);
    }
}

// Notes a request and answers whether it is to fail.
inline bool noteRequest(size_t size) {
    note();
    const size_t limit = heapprobe::counts.refusedFrom.load(std::memory_order_relaxed);
    if (counting && limit != 0 && size >= limit) {
        heapprobe::counts.refused.fetch_add(1, std::memory_order_relaxed);
        errno = ENOMEM;
        return true;
    }
    return false;
}

bool validAlignment(size_t alignment) {
    return alignment != 0 && (alignment & (alignment - 1)) == 0;
}

void* allocate(size_t size) {
    void* memory = noteRequest(size) ? nullptr : __libc_malloc(size == 0 ? 1 : size);
    if (!memory) {
        throw std::bad_alloc();
    }
    return memory;
}

void* allocateAligned(size_t size, std::align_val_t alignment) {
    void* memory = noteRequest(size)
                       ? nullptr
                       : __libc_memalign(static_cast<size_t>(alignment), size == 0 ? 1 : size);
    if (!memory) {
        throw std::bad_alloc();
    }
    return memory;
}

void release(void* memory) {
    if (memory) {
        note();
    }
    __libc_free(memory);
}

}  // namespace

extern "C" {
void* malloc(size_t size) {
    return noteRequest(size) ? nullptr : __libc_malloc(size);
}
void* calloc(size_t count, size_t size) {
    return noteRequest(count * size) ? nullptr : __libc_calloc(count, size);
}
void* realloc(void* memory, size_t size) {
    return noteRequest(size) ? nullptr : __libc_realloc(memory, size);
}
void free(void* memory) {
    if (memory) {
        note();
    }
    __libc_free(memory);
}
void* memalign(size_t alignment, size_t size) {
    return noteRequest(size) ? nullptr : __libc_memalign(alignment, size);
}
void* aligned_alloc(size_t alignment, size_t size) {
    return noteRequest(size) ? nullptr : __libc_memalign(alignment, size);
}
int posix_memalign(void** memory, size_t alignment, size_t size) {
    if (noteRequest(size)) {
        return ENOMEM;
    }
    if (!validAlignment(alignment) || alignment % sizeof(void*) != 0) {
        return EINVAL;
    }
    void* result = __libc_memalign(alignment, size);
    if (!result) {
        return ENOMEM;
    }
    *memory = result;
    return 0;
}
void* valloc(size_t size) {
    note();
    return __libc_valloc(size);
}
void* pvalloc(size_t size) {
    note();
    return __libc_pvalloc(size);
}
}

void* operator new(size_t size) {
    return allocate(size);
}
void* operator new[](size_t size) {
    return allocate(size);
}
void* operator new(size_t size, const std::nothrow_t&) noexcept {
    note();
    return __libc_malloc(size == 0 ? 1 : size);
}
void* operator new[](size_t size, const std::nothrow_t&) noexcept {
    note();
    return __libc_malloc(size == 0 ? 1 : size);
}
void* operator new(size_t size, std::align_val_t alignment) {
    return allocateAligned(size, alignment);
}
void* operator new[](size_t size, std::align_val_t alignment) {
    return allocateAligned(size, alignment);
}
void* operator new(size_t size, std::align_val_t alignment, const std::nothrow_t&) noexcept {
    note();
    return __libc_memalign(static_cast<size_t>(alignment), size == 0 ? 1 : size);
}
void* operator new[](size_t size, std::align_val_t alignment, const std::nothrow_t&) noexcept {
    note();
    return __libc_memalign(static_cast<size_t>(alignment), size == 0 ? 1 : size);
}
void operator delete(void* memory) noexcept {
    release(memory);
}
void operator delete[](void* memory) noexcept {
    release(memory);
}
void operator delete(void* memory, size_t) noexcept {
    release(memory);
}
void operator delete[](void* memory, size_t) noexcept {
    release(memory);
}
void operator delete(void* memory, const std::nothrow_t&) noexcept {
    release(memory);
}
void operator delete[](void* memory, const std::nothrow_t&) noexcept {
    release(memory);
}
void operator delete(void* memory, std::align_val_t) noexcept {
    release(memory);
}
void operator delete[](void* memory, std::align_val_t) noexcept {
    release(memory);
}
void operator delete(void* memory, size_t, std::align_val_t) noexcept {
    release(memory);
}
void operator delete[](void* memory, size_t, std::align_val_t) noexcept {
    release(memory);
}
void operator delete(void* memory, std::align_val_t, const std::nothrow_t&) noexcept {
    release(memory);
}
void operator delete[](void* memory, std::align_val_t, const std::nothrow_t&) noexcept {
    release(memory);
}

namespace heapprobe {

bool install(void*) {
    return true;
}

const std::string& description() {
    static const std::string text =
        "interposed malloc, calloc, realloc, free, the aligned allocators and operator new/delete";
    return text;
}

void begin() {
    heapprobe::counts.calls.store(0, std::memory_order_relaxed);
    counting = true;
}

long end() {
    counting = false;
    return heapprobe::counts.calls.load(std::memory_order_relaxed);
}

}  // namespace heapprobe

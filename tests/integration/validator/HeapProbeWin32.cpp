// Patches the plug-in DLL's import table: its allocation functions (the C runtime's and the
// Win32 heap's) go through counting wrappers that call the originals.
#include <windows.h>

#include <atomic>
#include <cstring>

#include "HeapProbe.h"

namespace {

// The counting thread is compared by id: thread-local storage would itself allocate here.
std::atomic<DWORD> countingThread{0};
std::string watched;

inline void note() {
    if (countingThread.load(std::memory_order_relaxed) == GetCurrentThreadId()) {
        heapprobe::counts.calls.fetch_add(1, std::memory_order_relaxed);
    }
}

// Notes a request and answers whether it is to fail.
inline bool refuse(size_t size) {
    const size_t limit = heapprobe::counts.refusedFrom.load(std::memory_order_relaxed);
    if (limit != 0 && size >= limit &&
        countingThread.load(std::memory_order_relaxed) == GetCurrentThreadId()) {
        heapprobe::counts.refused.fetch_add(1, std::memory_order_relaxed);
        return true;
    }
    return false;
}

// One wrapper per function: the original's address, then a wrapper of the same type.
#define WRAP_C(result, name, params, args)  \
    result(__cdecl* real_##name) params;    \
    result __cdecl counting_##name params { \
        note();                             \
        return real_##name args;            \
    }
#define WRAP_WIN(result, name, params, args) \
    result(WINAPI* real_##name) params;      \
    result WINAPI counting_##name params {   \
        note();                              \
        return real_##name args;             \
    }

// The requests a refusal fails: what the C++ operators and containers use.
#define WRAP_SIZED(name, params, args, size)              \
    void*(__cdecl * real_##name) params;                  \
    void* __cdecl counting_##name params {                \
        note();                                           \
        return refuse(size) ? nullptr : real_##name args; \
    }
WRAP_SIZED(malloc, (size_t n), (n), n)
WRAP_SIZED(calloc, (size_t c, size_t n), (c, n), c* n)
WRAP_SIZED(realloc, (void* p, size_t n), (p, n), n)
WRAP_C(void*, _recalloc, (void* p, size_t c, size_t n), (p, c, n))
WRAP_C(void*, _expand, (void* p, size_t n), (p, n))
WRAP_SIZED(_aligned_malloc, (size_t n, size_t a), (n, a), n)
WRAP_C(void*, _aligned_realloc, (void* p, size_t n, size_t a), (p, n, a))
WRAP_C(void*, _aligned_offset_malloc, (size_t n, size_t a, size_t o), (n, a, o))
WRAP_C(char*, _strdup, (const char* s), (s))
WRAP_C(char*, strdup, (const char* s), (s))
WRAP_WIN(LPVOID, HeapAlloc, (HANDLE h, DWORD f, SIZE_T n), (h, f, n))
WRAP_WIN(LPVOID, HeapReAlloc, (HANDLE h, DWORD f, LPVOID p, SIZE_T n), (h, f, p, n))
WRAP_WIN(HLOCAL, LocalAlloc, (UINT f, SIZE_T n), (f, n))
WRAP_WIN(HGLOBAL, GlobalAlloc, (UINT f, SIZE_T n), (f, n))
WRAP_WIN(LPVOID, VirtualAlloc, (LPVOID p, SIZE_T n, DWORD t, DWORD f), (p, n, t, f))

// Releases of null are no heap calls.
void(__cdecl* real_free)(void*);
void __cdecl counting_free(void* p) {
    if (p) {
        note();
    }
    real_free(p);
}
void(__cdecl* real__aligned_free)(void*);
void __cdecl counting__aligned_free(void* p) {
    if (p) {
        note();
    }
    real__aligned_free(p);
}
WRAP_WIN(BOOL, HeapFree, (HANDLE h, DWORD f, LPVOID p), (h, f, p))
WRAP_WIN(HLOCAL, LocalFree, (HLOCAL p), (p))
WRAP_WIN(HGLOBAL, GlobalFree, (HGLOBAL p), (p))
WRAP_WIN(BOOL, VirtualFree, (LPVOID p, SIZE_T n, DWORD t), (p, n, t))

struct Hook {
    const char* name;
    void* wrapper;
    void** original;
};

#define HOOK(name) \
    { #name, reinterpret_cast < void*>(counting_##name), reinterpret_cast < void**>(&real_##name) }
const Hook kHooks[] = {HOOK(malloc),
                       HOOK(calloc),
                       HOOK(realloc),
                       HOOK(_recalloc),
                       HOOK(_expand),
                       HOOK(_aligned_malloc),
                       HOOK(_aligned_realloc),
                       HOOK(_aligned_offset_malloc),
                       HOOK(_strdup),
                       HOOK(strdup),
                       HOOK(free),
                       HOOK(_aligned_free),
                       HOOK(HeapAlloc),
                       HOOK(HeapReAlloc),
                       HOOK(HeapFree),
                       HOOK(LocalAlloc),
                       HOOK(LocalFree),
                       HOOK(GlobalAlloc),
                       HOOK(GlobalFree),
                       HOOK(VirtualAlloc),
                       HOOK(VirtualFree)};

void patch(void** slot, void* value) {
    DWORD previous = 0;
    VirtualProtect(slot, sizeof(void*), PAGE_READWRITE, &previous);
    *slot = value;
    VirtualProtect(slot, sizeof(void*), previous, &previous);
}

}  // namespace

namespace heapprobe {

bool install(void* insideLibrary) {
    HMODULE module = nullptr;
    if (!GetModuleHandleExA(
            GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
            static_cast<LPCSTR>(insideLibrary), &module)) {
        return false;
    }
    auto* base = reinterpret_cast<BYTE*>(module);
    auto* dos = reinterpret_cast<IMAGE_DOS_HEADER*>(base);
    auto* nt = reinterpret_cast<IMAGE_NT_HEADERS*>(base + dos->e_lfanew);
    const IMAGE_DATA_DIRECTORY& directory =
        nt->OptionalHeader.DataDirectory[IMAGE_DIRECTORY_ENTRY_IMPORT];
    if (directory.VirtualAddress == 0) {
        return false;
    }
    int count = 0;
    for (auto* d = reinterpret_cast<IMAGE_IMPORT_DESCRIPTOR*>(base + directory.VirtualAddress);
         d->Name != 0; ++d) {
        if (d->OriginalFirstThunk == 0) {
            continue;  // no names to match against
        }
        auto* names = reinterpret_cast<IMAGE_THUNK_DATA*>(base + d->OriginalFirstThunk);
        auto* slots = reinterpret_cast<IMAGE_THUNK_DATA*>(base + d->FirstThunk);
        const char* dll = reinterpret_cast<const char*>(base + d->Name);
        for (; names->u1.AddressOfData != 0; ++names, ++slots) {
            if (IMAGE_SNAP_BY_ORDINAL(names->u1.Ordinal)) {
                continue;
            }
            const char* name = reinterpret_cast<const char*>(
                reinterpret_cast<IMAGE_IMPORT_BY_NAME*>(base + names->u1.AddressOfData)->Name);
            for (const Hook& hook : kHooks) {
                if (std::strcmp(hook.name, name) == 0) {
                    void** slot = reinterpret_cast<void**>(&slots->u1.Function);
                    *hook.original = *slot;
                    patch(slot, hook.wrapper);
                    watched += std::string(watched.empty() ? "" : ", ") + dll + "!" + name;
                    ++count;
                }
            }
        }
    }
    return count > 0;
}

const std::string& description() {
    static const std::string none = "nothing (no allocation function found in the DLL's imports)";
    return watched.empty() ? none : watched;
}

void begin() {
    heapprobe::counts.calls.store(0, std::memory_order_relaxed);
    countingThread.store(GetCurrentThreadId(), std::memory_order_relaxed);
}

long end() {
    countingThread.store(0, std::memory_order_relaxed);
    return heapprobe::counts.calls.load(std::memory_order_relaxed);
}

}  // namespace heapprobe

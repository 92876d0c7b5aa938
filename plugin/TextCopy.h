#pragma once

#include <cstddef>
#include <cstring>

namespace tanuvo::sound::vst {

// Copies at most capacity - 1 characters of source and terminates; never reads source past that.
inline void copyText(char* destination, const char* source, std::size_t capacity) {
    if (!destination || capacity == 0) {
        return;
    }
    std::size_t length = source ? strnlen(source, capacity - 1) : 0;
    std::memcpy(destination, source ? source : "", length);
    destination[length] = 0;
}

}  // namespace tanuvo::sound::vst

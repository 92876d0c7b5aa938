// Every text answer is terminated within its limit: checked in buffers filled with a canary, as
// hosts that do not clear their buffers pass them.
#include <cstring>
#include <limits>

#include "Validator.h"

namespace validator {
namespace {

constexpr unsigned char kCanary = 0xA5;
constexpr int kBufferSize = 256;

// Asks for a text and answers its length, or -1 when no terminator lies within capacity bytes
// or bytes after the terminator were written.
int answer(Plugin& p, int32_t opcode, int32_t index, int capacity) {
    unsigned char buffer[kBufferSize];
    std::memset(buffer, kCanary, sizeof buffer);
    p.call(opcode, index, 0, buffer);
    const void* end = std::memchr(buffer, 0, capacity);
    if (!end) {
        return -1;
    }
    const int length = int(static_cast<const unsigned char*>(end) - buffer);
    for (int i = capacity; i < kBufferSize; ++i) {
        if (buffer[i] != kCanary) {
            return -1;
        }
    }
    return length;
}

const char* opcodeName(int32_t opcode) {
    switch (opcode) {
        case effGetParamLabel:
            return "label";
        case effGetParamDisplay:
            return "display";
        case effGetParamName:
            return "name";
        case effGetProgramName:
            return "program name";
        case effGetEffectName:
            return "effect name";
        case effGetVendorString:
            return "vendor";
        default:
            return "product";
    }
}

}  // namespace

CHECK_GROUP("texts", "every text answer terminated within its limit (canary buffers)") {
    Plugin p;
    if (!check(p.ok(), "instance")) {
        return;
    }
    // Labels and displays: at most 8 characters and the terminator, for values across the range
    // and the values out of it that hosts and stored projects may send.
    const float nan = std::numeric_limits<float>::quiet_NaN();
    const float inf = std::numeric_limits<float>::infinity();
    for (int32_t opcode : {effGetParamLabel, effGetParamDisplay}) {
        for (int32_t index = 0; index < kParameterCount; ++index) {
            std::string faults;
            for (float value :
                 {0.0f, 0.3f, 0.5f, 0.99f, 1.0f, -0.5f, 1.5f, -1e30f, 1e30f, -inf, inf, nan}) {
                p.set(index, value);
                if (answer(p, opcode, index, 9) < 0) {
                    faults += format(" %g", value);
                }
            }
            check(faults.empty(),
                  format("parameter %d %s terminated within 9 bytes%s%s", index, opcodeName(opcode),
                         faults.empty() ? "" : ": not for", faults.c_str()));
        }
    }
    // Names may be longer than 8 (hosts pass larger buffers), but are terminated well within 64.
    std::string faults;
    for (int32_t index = 0; index < kParameterCount; ++index) {
        if (answer(p, effGetParamName, index, 64) <= 0) {
            faults += format(" %d", index);
        }
    }
    check(faults.empty(), "parameter names terminated within 64 bytes" +
                              (faults.empty() ? std::string() : ": not" + faults));

    // Program names within 24, also after a name longer than that was given.
    char longName[] = "A program name longer than twenty-four bytes";
    faults.clear();
    for (int32_t program = 0; program < kProgramCount; ++program) {
        p.setProgram(program);
        if (program % 3 == 0) {
            p.call(effSetProgramName, 0, 0, longName);
        }
        if (answer(p, effGetProgramName, 0, 24) < 0 ||
            answer(p, effGetProgramNameIndexed, program, 24) < 0) {
            faults += format(" %d", program);
        }
    }
    check(faults.empty(), "program names terminated within 24 bytes" +
                              (faults.empty() ? std::string() : ": not for" + faults));

    const struct {
        int32_t opcode;
        int capacity;
    } names[] = {{effGetEffectName, 32}, {effGetVendorString, 64}, {effGetProductString, 64}};
    for (const auto& n : names) {
        const int length = answer(p, n.opcode, 0, n.capacity);
        check(length > 0, format("%s terminated within %d bytes (length %d)", opcodeName(n.opcode),
                                 n.capacity, length));
    }
}

}  // namespace validator

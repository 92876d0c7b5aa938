#pragma once

#include <array>
#include <atomic>

#include "plugin/ParameterTable.h"

namespace tanuvo::sound::vst {

// A field that two host threads may write at once (automation and the editor both set
// parameters): relaxed atomic loads and stores, copied and assigned like the plain value.
template <class T>
class RelaxedValue {
  public:
    RelaxedValue(T initial = T()) : value(initial) {}
    RelaxedValue(const RelaxedValue& other) : value(static_cast<T>(other)) {}
    RelaxedValue& operator=(const RelaxedValue& other) { return *this = static_cast<T>(other); }
    RelaxedValue& operator=(T next) {
        value.store(next, std::memory_order_relaxed);
        return *this;
    }
    operator T() const { return value.load(std::memory_order_relaxed); }

  private:
    std::atomic<T> value;
};

// One program of the bank: the eight parameter values as the plug-in holds them (normalised,
// indexed by parameter) and the program's name.
struct ProgramRecord {
    static constexpr int kNameSize = 24;

    ProgramRecord() {
        for (int32_t index = 0; index < kNumParams; ++index) {
            values[index] = kParameters[index].defaultValue;
        }
    }

    std::array<RelaxedValue<float>, kNumParams> values;
    char name[kNameSize] = "Init";
};

}  // namespace tanuvo::sound::vst

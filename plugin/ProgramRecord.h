#pragma once

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

// One program of the bank: the eight parameter values and the program's name.
struct ProgramRecord {
    static constexpr int kNameSize = 24;

    RelaxedValue<float> volume{kParameters[kVolume].defaultValue};
    // The generator index, held as a float.
    RelaxedValue<float> waveIndex{float(waveformIndex(kParameters[kEffect].defaultValue))};
    RelaxedValue<bool> powerOn{kParameters[kPower].defaultValue != 0.0f};
    RelaxedValue<float> mix{kParameters[kMix].defaultValue};
    RelaxedValue<float> depth{kParameters[kDepth].defaultValue};
    RelaxedValue<float> dutyRatio{kParameters[kDutyRatio].defaultValue};  // the limited value
    RelaxedValue<float> tone{kParameters[kTone].defaultValue};
    RelaxedValue<float> steps{kParameters[kSteps].defaultValue};
    char name[kNameSize] = "Init";
};

}  // namespace tanuvo::sound::vst

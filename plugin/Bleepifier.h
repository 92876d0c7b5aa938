#pragma once

#include <array>
#include <atomic>
#include <memory>

#include "plugin/AudioEffect.h"
#include "plugin/AudioPipeline.h"
#include "plugin/ParameterTable.h"
#include "plugin/ProgramRecord.h"
#include "plugin/SlidingWindow.h"

namespace tanuvo::sound {
class IPitchDetector;
class IWavenizer;
}  // namespace tanuvo::sound

namespace tanuvo::sound::vst {

struct SignalChain;

// The plug-in: parameters and programs, the signal chain, and the audio callback.
class Bleepifier : public AudioEffectX {
  public:
    static constexpr int32_t kNumPrograms = 16;
    static constexpr int32_t kMinBlockSize = 1;
    static constexpr int32_t kMaxBlockSize = 16384;

    explicit Bleepifier(audioMasterCallback audioMaster);
    ~Bleepifier() override;

    void setSampleRate(float rate) override;
    void setBlockSize(int32_t size) override;
    void processReplacing(float** inputs, float** outputs, int32_t sampleFrames) override;

    // Holds every value within its range in the parameter table; NaN leaves the previous value.
    void setParameter(int32_t index, float value) override;
    float getParameter(int32_t index) override;
    void setProgram(int32_t program) override;
    void setProgramName(const char* name) override;
    void getProgramName(char* name) override;
    void getParameterLabel(int32_t index, char* label) override;
    void getParameterDisplay(int32_t index, char* text) override;
    void getParameterName(int32_t index, char* text) override;
    bool getProgramNameIndexed(int32_t category, int32_t index, char* text) override;
    bool getEffectName(char* name) override;
    bool getVendorString(char* text) override;
    bool getProductString(char* text) override;
    int32_t getVendorVersion() override { return 1000; }
    int32_t getPlugCategory() override { return kPlugCategEffect; }

    // Read-only views for the editor and tests.
    int32_t getWaveIndex() const {
        return waveformIndex(live[kEffect].load(std::memory_order_relaxed));
    }
    int32_t getWindowLength() const;
    const SlidingWindow* getSlidingWindow() const;
    float getDepthGain() const { return depthGain.load(std::memory_order_relaxed); }
    const ProgramRecord& getProgramRecord(int32_t index) const { return programs.at(index); }
    SignalChain* getSignalChain() const;

  private:
    // Everything whose size follows from the sample rate and block size.
    struct SizedChain;

    // Builds the chain, buffers and windows for a rate and block size aside and adopts them only
    // when every part was made: a refused allocation leaves the previous, consistent set playing
    // (in pieces of its own size) and answers false. The sliding window's history is kept when
    // keepHistory is set and the window's size does not change.
    bool rebuild(double rate, int32_t size, bool keepHistory);

    // Stores a held value (see heldValue) in the live values and the current program.
    void store(int32_t index, float held);
    // Hands the stored value of a parameter to a chain's generators.
    void push(SignalChain& target, int32_t index);
    // After a chain is built: the stored values into its fresh generators, so that what the host
    // reads is what plays.
    void pushGeneratorSettings(SignalChain& target);
    // Tells an open or closed editor about a parameter value.
    void notifyEditor(int32_t index, float value);

    std::array<ProgramRecord, kNumPrograms> programs{};

    // Live parameter values as the host reads them back (see heldValue), indexed by parameter:
    // written by the host's UI/automation threads, read by the audio thread at the start of each
    // block, so each is a relaxed atomic.
    std::array<std::atomic<float>, kNumParams> live;
    std::atomic<float> depthGain{kDefaultWetGain};  // the wet gain of the live depth

    // The set the audio thread plays. A rebuild (while the host has the plug-in suspended) swaps
    // in a new one; parameter calls from other threads may still hold the old one, so it waits
    // for the calls in flight before deleting it and pushes the stored values into the new one
    // again until no call stored a value meanwhile.
    std::atomic<SizedChain*> sized{nullptr};
    std::atomic<int> parameterCallsInFlight{0};
    std::atomic<unsigned> storedValueChanges{0};
};

}  // namespace tanuvo::sound::vst

#pragma once

#include <array>
#include <atomic>
#include <memory>
#include <string>
#include <vector>

#include "plugin/AudioEffect.h"
#include "plugin/AudioPipeline.h"
#include "plugin/ParameterMaps.h"
#include "plugin/ParameterTable.h"
#include "plugin/ProgramRecord.h"
#include "plugin/SlidingWindow.h"
#include "sound/LinearInterpolator.h"

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
    static constexpr float kMinSampleRate = 1000.0f;
    static constexpr float kMaxSampleRate = 768000.0f;

    explicit Bleepifier(audioMasterCallback audioMaster);
    ~Bleepifier() override;

    void setSampleRate(float rate) override;
    void setBlockSize(int32_t size) override;
    void processReplacing(float** inputs, float** outputs, int32_t sampleFrames) override;

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
    int32_t getWaveIndex() const { return waveIndex.load(std::memory_order_relaxed); }
    int32_t getWindowLength() const { return windowLength; }
    const SlidingWindow* getSlidingWindow() const { return slidingWindow.get(); }
    const std::vector<std::string>& getWaveNames() const { return waveNames; }
    float getDepthGain() const { return depthGain.load(std::memory_order_relaxed); }
    const ProgramRecord& getProgramRecord(int32_t index) const { return programs.at(index); }
    SignalChain* getSignalChain() const { return chain.get(); }

  private:
    void setUp(double rate, int32_t size);
    void tearDown();

    void applyWaveIndex(int32_t index);
    void applyDepth(float value);
    void applyDutyRatio(float value);
    void applyTone(float value);
    void applySteps(float value);
    // Hand a value to the chain's generators (and the depth gain) without storing it.
    void pushDepth(float value);
    void pushDutyRatio(float limited);
    void pushTone(float value);
    void pushSteps(float value);
    // After a chain is built: the stored values into its fresh generators, so that what the host
    // reads is what plays.
    void pushGeneratorSettings();
    double evaluate(const PointTable& table, float x);
    // Tells an open or closed editor about a parameter value exactly as the host gave it.
    void notifyEditor(int32_t index, float value);

    std::array<ProgramRecord, kNumPrograms> programs{};

    // Live parameter values: written by the host's UI/automation threads, read by the audio
    // thread at the start of each block, so each is a relaxed atomic.
    std::atomic<float> volume{kParameters[kVolume].defaultValue};
    std::atomic<int32_t> waveIndex{waveformIndex(kParameters[kEffect].defaultValue)};
    std::atomic<bool> powerOn{kParameters[kPower].defaultValue != 0.0f};
    std::atomic<float> mix{kParameters[kMix].defaultValue};
    std::atomic<float> depth{kParameters[kDepth].defaultValue};
    std::atomic<float> depthGain{50.0f};  // the gain of the default depth
    std::atomic<float> dutyRatio{kParameters[kDutyRatio].defaultValue};
    std::atomic<float> tone{kParameters[kTone].defaultValue};
    std::atomic<float> steps{kParameters[kSteps].defaultValue};

    ParameterMaps maps;

    std::unique_ptr<SignalChain> chain;
    std::atomic<IWavenizer*> currentWavenizer{nullptr};
    std::vector<IWavenizer*> wavenizers;
    std::vector<std::string> waveNames;
    int32_t windowLength = 0;
    std::unique_ptr<SlidingWindow> slidingWindow;
    std::unique_ptr<SlidingWindow> blockContext;  // without a sliding window: the latest input
    std::vector<float> wetScratch;  // kept across blocks so the audio path never allocates
};

}  // namespace tanuvo::sound::vst

#include "plugin/Bleepifier.h"

#include <algorithm>
#include <cmath>

#include "plugin/DenormalGuard.h"
#include "plugin/SignalChain.h"
#include "plugin/TextCopy.h"

namespace tanuvo::sound::vst {

namespace {
constexpr int32_t kUniqueId = 0x426C6570;  // 'Blep'
constexpr int kMinWindowLength = 1024;
}  // namespace

Bleepifier::Bleepifier(audioMasterCallback audioMaster)
    : AudioEffectX(audioMaster, kNumPrograms, kNumParams) {
    setUp(44100.0, 1024);
    cEffect.numInputs = 1;
    cEffect.numOutputs = 2;
    cEffect.uniqueID = kUniqueId;
    applyMidiRule();
}

Bleepifier::~Bleepifier() {
    tearDown();
}

// ---- Signal chain set-up ---------------------------------------------------------------------

void Bleepifier::setUp(double rate, int32_t size) {
    windowLength = std::max(kMinWindowLength, size);
    chain = std::make_unique<SignalChain>(rate, windowLength, size);
    for (int i = 0; i < SignalChain::kGeneratorCount; ++i) {
        wavenizers.push_back(chain->generator(i));
        waveNames.emplace_back(SignalChain::name(i));
    }
    wetScratch.assign(windowLength, 0.0f);
    // Host blocks of the announced length need no context; shorter ones use it (the sliding
    // window, for announced sizes below the window length, is made by setBlockSize).
    blockContext.reset();
    if (size >= kMinWindowLength) {
        blockContext = std::make_unique<SlidingWindow>(windowLength, windowLength);
    }
    pushGeneratorSettings();
    int32_t index = waveIndex.load(std::memory_order_relaxed);
    currentWavenizer.store(
        index < static_cast<int32_t>(wavenizers.size()) ? wavenizers[index] : nullptr,
        std::memory_order_relaxed);
}

void Bleepifier::tearDown() {
    currentWavenizer.store(nullptr, std::memory_order_relaxed);
    wavenizers.clear();
    waveNames.clear();
    chain.reset();
}

void Bleepifier::setSampleRate(float rate) {
    // Rates the chain cannot be built for are not applied; the previous chain keeps working.
    if (!(rate >= kMinSampleRate && rate <= kMaxSampleRate)) {
        return;
    }
    float previous = sampleRate;
    sampleRate = rate;
    if (rate != previous) {
        tearDown();
        setUp(rate, blockSize);
    }
}

void Bleepifier::setBlockSize(int32_t size) {
    if (size < kMinBlockSize) {
        return;
    }
    // Longer host blocks are processed in pieces of this size.
    size = std::min(size, kMaxBlockSize);
    int32_t previous = blockSize;
    blockSize = size;
    if (size != previous) {
        tearDown();
        setUp(sampleRate, size);
        slidingWindow.reset();
        if (size < kMinWindowLength) {
            slidingWindow = std::make_unique<SlidingWindow>(size);
        }
    }
}

// ---- Audio -----------------------------------------------------------------------------------

void Bleepifier::processReplacing(float** inputs, float** outputs, int32_t sampleFrames) {
    if (!inputs || !outputs || sampleFrames <= 0) {
        return;
    }
    DenormalGuard denormals;

    // Read the parameters once per block.
    MixSettings settings;
    settings.powerOn = powerOn.load(std::memory_order_relaxed);
    settings.mix = mix.load(std::memory_order_relaxed);
    settings.volume = volume.load(std::memory_order_relaxed);
    settings.depthGain = depthGain.load(std::memory_order_relaxed);

    // Point the pipeline at the chain.
    SignalPath path;
    path.detector = chain ? chain->detector.get() : nullptr;
    path.wavenizer = currentWavenizer.load(std::memory_order_relaxed);
    path.window = slidingWindow.get();
    path.context = blockContext.get();
    path.sine = chain ? chain->sine.get() : nullptr;
    path.windowLength = windowLength;
    path.scratch = wetScratch.data();

    // Process and write both outputs.
    processBlock(path, settings, inputs[0], outputs[0], outputs[1], sampleFrames);
}

// ---- Names -----------------------------------------------------------------------------------

bool Bleepifier::getEffectName(char* name) {
    copyText(name, "Bleepifier", kVstMaxEffectNameLen);
    return true;
}

bool Bleepifier::getVendorString(char* text) {
    copyText(text, "Tanuvo Soft", kVstMaxVendorStrLen);
    return true;
}

bool Bleepifier::getProductString(char* text) {
    copyText(text, "Bleepifier", kVstMaxProductStrLen);
    return true;
}

}  // namespace tanuvo::sound::vst

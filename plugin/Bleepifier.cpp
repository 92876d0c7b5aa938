#include "plugin/Bleepifier.h"

#include <algorithm>
#include <new>
#include <thread>
#include <vector>

#include "plugin/DenormalGuard.h"
#include "plugin/SignalChain.h"
#include "plugin/TextCopy.h"

namespace tanuvo::sound::vst {

namespace {
constexpr int32_t kUniqueId = 0x426C6570;  // 'Blep'
constexpr int kMinWindowLength = 1024;
}  // namespace

struct Bleepifier::SizedChain {
    SizedChain(double rate, int32_t size)
        : chain(std::make_unique<SignalChain>(rate, std::max(kMinWindowLength, size), size)),
          windowLength(std::max(kMinWindowLength, size)),
          wetScratch(windowLength, 0.0f) {
        // Host blocks of the announced length need no context; shorter ones use the sliding
        // window (announced sizes below the window length) or the latest input.
        if (size < kMinWindowLength) {
            slidingWindow = std::make_unique<SlidingWindow>(size);
        } else {
            blockContext = std::make_unique<SlidingWindow>(windowLength, windowLength);
        }
    }

    std::unique_ptr<SignalChain> chain;
    int32_t windowLength;
    std::vector<float> wetScratch;  // kept across blocks so the audio path never allocates
    std::unique_ptr<SlidingWindow> slidingWindow;
    std::unique_ptr<SlidingWindow> blockContext;  // without a sliding window: the latest input
};

Bleepifier::Bleepifier(audioMasterCallback audioMaster)
    : AudioEffectX(audioMaster, kNumPrograms, kNumParams) {
    for (int32_t index = 0; index < kNumParams; ++index) {
        live[index].store(kParameters[index].defaultValue, std::memory_order_relaxed);
    }
    if (!rebuild(44100.0, 1024, false)) {
        throw std::bad_alloc();
    }
    cEffect.numInputs = 1;
    cEffect.numOutputs = 2;
    cEffect.uniqueID = kUniqueId;
    applyMidiRule();
}

Bleepifier::~Bleepifier() {
    delete sized.exchange(nullptr);
}

// ---- Signal chain set-up ---------------------------------------------------------------------

bool Bleepifier::rebuild(double rate, int32_t size, bool keepHistory) {
    std::unique_ptr<SizedChain> next;
    try {
        next = std::make_unique<SizedChain>(rate, size);
    } catch (...) {
        return false;
    }
    pushGeneratorSettings(*next->chain);
    SizedChain* current = sized.load();
    if (keepHistory && current && current->slidingWindow && next->slidingWindow &&
        current->slidingWindow->hop == next->slidingWindow->hop) {
        next->slidingWindow.swap(current->slidingWindow);
    }
    std::unique_ptr<SizedChain> previous(sized.exchange(next.release()));
    // A parameter call that took the previous chain ends before that chain goes; one that stored
    // a value after the first push above may have pushed it into the previous chain.
    while (parameterCallsInFlight.load() != 0) {
        std::this_thread::yield();
    }
    unsigned seen;
    do {
        seen = storedValueChanges.load();
        pushGeneratorSettings(*sized.load()->chain);
    } while (storedValueChanges.load() != seen);
    return true;
}

int32_t Bleepifier::getWindowLength() const {
    const SizedChain* s = sized.load();
    return s ? s->windowLength : 0;
}

const SlidingWindow* Bleepifier::getSlidingWindow() const {
    const SizedChain* s = sized.load();
    return s ? s->slidingWindow.get() : nullptr;
}

SignalChain* Bleepifier::getSignalChain() const {
    const SizedChain* s = sized.load();
    return s ? s->chain.get() : nullptr;
}

void Bleepifier::setSampleRate(float rate) {
    // Rates the chain cannot be built for are not applied; the previous chain keeps working, as
    // it does when the new one cannot be made.
    if (!isSupportedSampleRate(rate)) {
        return;
    }
    if (rate != sampleRate && rebuild(rate, blockSize, true)) {
        sampleRate = rate;
    }
}

void Bleepifier::setBlockSize(int32_t size) {
    if (size < kMinBlockSize) {
        return;
    }
    // Longer host blocks are processed in pieces of this size.
    size = std::min(size, kMaxBlockSize);
    if (size != blockSize && rebuild(sampleRate, size, false)) {
        blockSize = size;
    }
}

// ---- Audio -----------------------------------------------------------------------------------

void Bleepifier::processReplacing(float** inputs, float** outputs, int32_t sampleFrames) {
    SizedChain* set = sized.load(std::memory_order_acquire);
    if (!inputs || !outputs || sampleFrames <= 0 || !set) {
        return;
    }
    DenormalGuard denormals;

    // Read the parameters once per block.
    MixSettings settings;
    settings.powerOn = live[kPower].load(std::memory_order_relaxed) != 0.0f;
    settings.mix = live[kMix].load(std::memory_order_relaxed);
    settings.volume = live[kVolume].load(std::memory_order_relaxed);
    settings.depthGain = depthGain.load(std::memory_order_relaxed);

    // Point the pipeline at the chain.
    SignalChain& chain = *set->chain;
    SignalPath path;
    path.detector = chain.detector.get();
    path.wavenizer = chain.generator(getWaveIndex());
    path.window = set->slidingWindow.get();
    path.context = set->blockContext.get();
    path.sine = chain.sine.get();
    path.windowLength = set->windowLength;
    path.scratch = set->wetScratch.data();

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

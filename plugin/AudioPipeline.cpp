#include "plugin/AudioPipeline.h"

#include <algorithm>
#include <cmath>
#include <cstring>

#include "plugin/SlidingWindow.h"
#include "sound/IPitchDetector.h"
#include "sound/IWavenizer.h"
#include "sound/SineWavenizer.h"

namespace tanuvo::sound::vst {

namespace {

float finiteOrSilence(float x) {
    return std::isfinite(x) ? x : 0.0f;
}

void bypass(const SignalPath& path, const float* in, float* out0, float* out1, int n) {
    // Keep the history current for the next analysed block.
    if (path.window) {
        path.window->append(in, n);
    } else if (path.context) {
        path.context->append(in, n);
    }
    if (out0 != in) {
        std::memmove(out0, in, sizeof(float) * n);
    }
    if (out1 != in) {
        std::memmove(out1, in, sizeof(float) * n);
    }
}

// One piece of at most hop (sliding window) or windowLength (no window) samples.
void processChunk(const SignalPath& path, const MixSettings& s, const float* in, float* out0,
                  float* out1, int n) {
    if (!s.powerOn || s.mix == 0.0f) {
        bypass(path, in, out0, out1, n);
        return;
    }

    // 1. Analysis buffer: the sliding window, or a sanitised private copy of the block. A host
    // may send blocks shorter than it announced (loop points, automation splits); one of those
    // is analysed like a sliding window's, with the input before it, so that neither the pitch
    // nor the filters see a window with a gap.
    SlidingWindow* window = path.window;
    if (window) {
        window->append(in, n);
    } else if (path.context) {
        path.context->append(in, n);  // before the output can overwrite an in-place input
        if (n < path.windowLength) {
            window = path.context;
        }
    }
    float* buffer;
    int length;
    int offset;
    if (window) {
        buffer = window->work.data();
        length = path.windowLength;
        offset = length - n;
    } else {
        for (int i = 0; i < n; ++i) {
            path.scratch[i] = finiteOrSilence(in[i]);
        }
        buffer = path.scratch;
        length = n;
        offset = 0;
    }

    // 2. Pitch.
    double pitch = path.detector ? path.detector->detectPitch(buffer, length) : -1.0;
    // Tell the sine how this window joins the input it has seen, so its filter reaches back
    // into the right samples whatever the host's block lengths.
    if (path.sine) {
        if (path.window) {
            path.sine->setAdvance(n);
        } else if (path.context) {
            path.sine->setOverlap(window ? length - n : 0);
        }
    }
    bool voiced = pitch > 0.0 && path.wavenizer;
    float gain = voiced ? s.depthGain : 1.0f;

    // 3. Synthesis and mixing.
    if (s.mix == 1.0f) {
        if (voiced) {
            path.wavenizer->wavenizeTail(buffer, length, pitch, offset);
        }
        const float k = s.volume * gain;
        for (int i = 0; i < n; ++i) {
            out0[i] = out1[i] = finiteOrSilence(buffer[offset + i] * k);
        }
        return;
    }

    const float* dry = window ? buffer : in;
    float* wet = path.scratch;
    if (window) {
        std::memcpy(wet, buffer, sizeof(float) * length);
    }
    if (voiced) {
        path.wavenizer->wavenizeTail(wet, length, pitch, offset);
    }
    const float d = 1.0f - s.mix;
    for (int i = 0; i < n; ++i) {
        float y = ((wet[offset + i] * s.mix) * gain + dry[offset + i] * d) * s.volume;
        out0[i] = out1[i] = finiteOrSilence(y);
    }
}

}  // namespace

void processBlock(const SignalPath& path, const MixSettings& settings, const float* in, float* out0,
                  float* out1, int frames) {
    if (!in || !out0 || !out1 || frames <= 0) {
        return;
    }
    const int chunk = path.window ? path.window->hop : path.windowLength;
    if (chunk <= 0) {
        return;
    }
    for (int done = 0; done < frames; done += chunk) {
        const int n = std::min(chunk, frames - done);
        processChunk(path, settings, in + done, out0 + done, out1 + done, n);
    }
}

}  // namespace tanuvo::sound::vst

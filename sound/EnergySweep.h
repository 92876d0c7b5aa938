#pragma once

namespace tanuvo::sound {

// The NSDF's energy term m'(tau), a single-precision running sum from the largest lag down to lag
// 0 whose every step waits on the last. It depends only on the window, so the real DFT can take
// its steps between its own butterflies, where their latency hides behind independent work; the
// values are those of the plain loop, step by step. Plain data and no standard library, so that
// the DFT's kernel units can take it.
struct EnergySweep {
    // On entry energy[tau] holds the step's addend, samples[tau]^2 + samples[length-1-tau]^2;
    // each step turns one addend into the sum.
    float* energy = nullptr;
    int length = 0;  // lags
    int done = 0;    // steps taken, from lag length - 1 down
    float sum = 0.0f;

    __attribute__((always_inline)) void advance(int steps) {
        int end = done + steps;
        if (end > length) {
            end = length;
        }
        float total = sum;
        for (int step = done; step < end; ++step) {
            float& slot = energy[length - 1 - step];
            total += slot;
            slot = total;
        }
        sum = total;
        done = end;
    }
};

}  // namespace tanuvo::sound

#pragma once

#include <algorithm>
#include <cstring>
#include <vector>

namespace tanuvo::sound::lv2 {

// Gathers a host's runs of any length into blocks of one fixed length and plays each block's
// output while the next one gathers: every sample comes out exactly one block length later,
// whatever lengths the host runs. The buffers are made once; running allocates nothing.
class BlockGatherer {
  public:
    explicit BlockGatherer(int blockLength)
        : length(std::max(blockLength, 1)),
          input(length, 0.0f),
          output0(length, 0.0f),
          output1(length, 0.0f) {}

    int blockLength() const { return length; }

    // Forgets what was gathered: the next samples start a block, and silence leads the output.
    void reset() {
        fill = 0;
        std::fill(input.begin(), input.end(), 0.0f);
        std::fill(output0.begin(), output0.end(), 0.0f);
        std::fill(output1.begin(), output1.end(), 0.0f);
    }

    // process(in, out0, out1, blockLength) runs one whole block. The outputs may be the input.
    template <class Process>
    void run(const float* in, float* out0, float* out1, int frames, Process&& process) {
        for (int done = 0; done < frames;) {
            const int span = std::min(length - fill, frames - done);
            // Take the input before writing the outputs, which may share its buffer.
            std::memcpy(input.data() + fill, in + done, sizeof(float) * span);
            std::memcpy(out0 + done, output0.data() + fill, sizeof(float) * span);
            std::memcpy(out1 + done, output1.data() + fill, sizeof(float) * span);
            fill += span;
            done += span;
            if (fill == length) {
                process(input.data(), output0.data(), output1.data(), length);
                fill = 0;
            }
        }
    }

  private:
    int length;
    int fill = 0;
    std::vector<float> input;
    std::vector<float> output0;
    std::vector<float> output1;
};

}  // namespace tanuvo::sound::lv2

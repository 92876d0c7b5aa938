#pragma once

#include <atomic>

namespace tanuvo::sound {

// Rewrites an analysis window in place as a synthetic wave that follows the input's pitch.
class IWavenizer {
  public:
    virtual ~IWavenizer() = default;

    // Reads buffer[0 .. length-1] as input and overwrites it with the wave at frequency (Hz).
    // While enabled is false the buffer is left exactly as given.
    virtual void wavenize(float* buffer, int length, double frequency) = 0;

    // The same for a caller that reads only buffer[from .. length-1]: those samples come out as
    // wavenize gives them, up to the filters' rounding; the ones before may hold anything.
    virtual void wavenizeTail(float* buffer, int length, double frequency, int from) {
        (void)from;
        wavenize(buffer, length, frequency);
    }

    // Written from the parameter thread, read by the audio thread.
    std::atomic<bool> enabled{true};
};

}  // namespace tanuvo::sound

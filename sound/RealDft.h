#pragma once

namespace tanuvo::sound {

struct EnergySweep;

// In-place real DFT of power-of-two length n >= 2 with the e^(+2*pi*i*j*k/n) kernel.
// Forward (direction >= 0): a[0] = R[0], a[1] = R[n/2], a[2k] = R[k], a[2k+1] = I[k].
// Inverse (direction < 0) takes that packed spectrum and returns n/2 times the signal.
// ip (floor(sqrt(n/2)) + 2 ints) and w (n/2 doubles) are caller-owned tables, zero-filled at
// allocation; tables built for one length serve every shorter length without a rebuild.
void realDft(int n, int direction, double* a, int* ip, double* w);

// The same, taking steps of the sweep between its butterflies (as many as fit, perhaps none):
// the caller finishes the sweep from sweep.done.
void realDft(int n, int direction, double* a, int* ip, double* w, EnergySweep& sweep);

// The shortest transform length (a power of two, at least 2) that holds length values.
int transformLengthFor(int length);

}  // namespace tanuvo::sound

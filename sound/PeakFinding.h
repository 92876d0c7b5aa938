#pragma once

#include <vector>

namespace tanuvo::sound {

// Linear scans over v[0 .. n-1] that append indices, in increasing order, to the caller's list.
// A NaN compares as neither greater nor smaller than anything, so it never starts or ends a run.

// Every local maximum: an index p with 0 < p < n-1 that ends a non-decreasing run and is strictly
// greater than v[p+1] (on a plateau, its last index).
void findPeakIndices(std::vector<int>& list, const float* v, int n);

// One index per region between zero crossings: the maximum of each positive region and the
// minimum of each negative one, the earlier index winning ties.
void findRegionExtremes(std::vector<int>& list, const float* v, int n);

// Every i with v[i-1] <= 0 and v[i] > 0.
void findUpwardZeroCrossings(std::vector<int>& list, const float* v, int n);

// The upward zero crossings of v[0 .. n-1] in place of what list held; true when they bound at
// least one whole cycle, the least a generator that shapes cycles needs.
bool findWholeCycles(std::vector<int>& list, const float* v, int n);

// The largest of 0 and v[from .. end-1].
float rangeMaximum(const float* v, int end, int from);

// minMax[0] = the smallest of 0 and v[from .. end-1], minMax[1] = the largest of 0 and them.
void rangeMinMax(float* minMax, const float* v, int end, int from);

}  // namespace tanuvo::sound

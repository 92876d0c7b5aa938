#pragma once

#include <string>

namespace tanuvo::bleepify {

// libsndfile shrinks the length a header states to what the file holds, so a cut file reads as
// a shorter whole one, and it drops Ogg pages that fail their checksum without a word. This
// holds what the container itself promises against the bytes present: the data chunk of
// RIFF/RF64 WAV and the sound chunk of AIFF against the file size, for FLAC whether the file
// ends with a whole, checksummed frame at the promised length, and for Ogg every page's
// checksum and whether the last one ends the stream.
//
// `path` must be a regular file; `sndfileFormat` is the format libsndfile found and
// `bytesPerFrame` its uncompressed frame size, or 0 when compressed. Answers what is wrong as
// the end of a sentence about the file ("is cut short: ..." or "is damaged: ..."), or "" when it
// is whole or not a container this knows. Reads bounded amounts and is safe on any bytes.
std::string checkContainer(const std::string& path, int sndfileFormat, int bytesPerFrame);

}  // namespace tanuvo::bleepify

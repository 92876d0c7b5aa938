#include "tools/bleepify/ContainerCheck.h"

#include <sndfile.h>

#include <algorithm>
#include <array>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <vector>

namespace tanuvo::bleepify {

namespace {

// Reads at offsets; a read that would pass the end fails rather than answering short.
class FileBytes {
  public:
    explicit FileBytes(const std::string& path) : file_(std::fopen(path.c_str(), "rb")) {
        if (file_ != nullptr && fseeko(file_, 0, SEEK_END) == 0) {
            size_ = ftello(file_);
        }
    }
    ~FileBytes() {
        if (file_ != nullptr) {
            std::fclose(file_);
        }
    }
    FileBytes(const FileBytes&) = delete;
    FileBytes& operator=(const FileBytes&) = delete;

    int64_t size() const { return size_; }

    bool read(int64_t offset, void* out, int64_t count) {
        return size_ >= 0 && offset >= 0 && count >= 0 && offset <= size_ - count &&
               fseeko(file_, offset, SEEK_SET) == 0 &&
               std::fread(out, 1, static_cast<size_t>(count), file_) == static_cast<size_t>(count);
    }

    // The last `count` bytes, or the whole file when it is shorter.
    std::vector<uint8_t> tail(int64_t count) {
        std::vector<uint8_t> bytes(static_cast<size_t>(std::clamp<int64_t>(size_, 0, count)));
        const int64_t length = static_cast<int64_t>(bytes.size());
        return read(size_ - length, bytes.data(), length) ? bytes : std::vector<uint8_t>{};
    }

  private:
    FILE* file_;
    int64_t size_ = -1;
};

uint64_t littleEndian(const uint8_t* bytes, int count) {
    uint64_t value = 0;
    for (int i = count - 1; i >= 0; --i) {
        value = value << 8 | bytes[i];
    }
    return value;
}

uint64_t bigEndian(const uint8_t* bytes, int count) {
    uint64_t value = 0;
    for (int i = 0; i < count; ++i) {
        value = value << 8 | bytes[i];
    }
    return value;
}

// The most significant bit first, zero start, no final inversion: FLAC's CRC-8 and CRC-16 and
// Ogg's CRC-32 are all of this kind. Running it over data followed by its stored CRC gives 0.
template <typename Crc, Crc kPolynomial>
Crc checksum(const uint8_t* data, size_t count) {
    constexpr int kShift = 8 * sizeof(Crc) - 8;
    static const std::array<Crc, 256> table = [] {
        std::array<Crc, 256> entries{};
        for (int byte = 0; byte < 256; ++byte) {
            Crc crc = static_cast<Crc>(static_cast<Crc>(byte) << kShift);
            for (int bit = 0; bit < 8; ++bit) {
                const bool top = (crc >> (kShift + 7)) & 1;
                crc = static_cast<Crc>(static_cast<Crc>(crc << 1) ^ (top ? kPolynomial : 0));
            }
            entries[static_cast<size_t>(byte)] = crc;
        }
        return entries;
    }();
    Crc crc = 0;
    for (size_t i = 0; i < count; ++i) {
        crc = static_cast<Crc>(static_cast<Crc>(crc << 8) ^
                               table[((crc >> kShift) ^ data[i]) & 0xFF]);
    }
    return crc;
}

const std::string kCut = "is cut short: ";
const std::string kDamaged = "is damaged: ";

// FLAC frame headers that look right but whose CRC must still be run to the end of the file;
// real files need one or two, a hostile one must not cost quadratic time.
constexpr int kMostChecksums = 16;
// Chunks looked at before giving up on finding the audio (real files have a handful).
constexpr int kMostChunks = 1024;

std::string shortfall(uint64_t promised, int64_t present, int bytesPerFrame) {
    const uint64_t held = static_cast<uint64_t>(std::max<int64_t>(present, 0));
    const uint64_t unit = bytesPerFrame > 0 ? static_cast<uint64_t>(bytesPerFrame) : 1;
    if (held / unit >= promised / unit) {
        return {};
    }
    return kCut + "its header promises " + std::to_string(promised / unit) +
           (bytesPerFrame > 0 ? " frames" : " bytes of audio") + ", the file holds " +
           std::to_string(held / unit);
}

std::string riffCut(FileBytes& file, int bytesPerFrame) {
    uint8_t header[12];
    if (!file.read(0, header, 12) || std::memcmp(header + 8, "WAVE", 4) != 0) {
        return {};
    }
    const bool rf64 = std::memcmp(header, "RF64", 4) == 0 || std::memcmp(header, "BW64", 4) == 0;
    if (!rf64 && std::memcmp(header, "RIFF", 4) != 0) {
        return {};
    }
    uint64_t rf64DataSize = 0;
    int64_t at = 12;
    for (int chunk = 0; chunk < kMostChunks; ++chunk) {
        uint8_t head[24];
        if (!file.read(at, head, 8)) {
            return {};
        }
        const uint32_t size = static_cast<uint32_t>(littleEndian(head + 4, 4));
        if (std::memcmp(head, "ds64", 4) == 0 && file.read(at + 8, head + 8, 16)) {
            rf64DataSize = littleEndian(head + 16, 8);
        } else if (std::memcmp(head, "fmt ", 4) == 0 && size >= 14 && bytesPerFrame > 0 &&
                   file.read(at + 8, head + 8, 14)) {
            // The block alignment is the container's own frame size.
            bytesPerFrame = static_cast<int>(littleEndian(head + 20, 2));
        } else if (std::memcmp(head, "data", 4) == 0) {
            const int64_t present = file.size() - (at + 8);
            if (rf64 && size == 0xFFFFFFFFu) {
                return shortfall(rf64DataSize, present, bytesPerFrame);
            }
            // A writer that streamed never learnt the size: the data runs to the end of the
            // file, which must then end on a whole frame. (0 reads as no audio at all.)
            if (size == 0xFFFFFFFFu) {
                return bytesPerFrame > 0 && present % bytesPerFrame != 0
                           ? kCut + "its audio data ends inside a sample frame"
                           : "";
            }
            return shortfall(size, present, bytesPerFrame);
        }
        at += 8 + static_cast<int64_t>(size) + (size & 1);
    }
    return {};
}

std::string aiffCut(FileBytes& file, int bytesPerFrame) {
    uint8_t header[12];
    if (!file.read(0, header, 12) || std::memcmp(header, "FORM", 4) != 0 ||
        (std::memcmp(header + 8, "AIFF", 4) != 0 && std::memcmp(header + 8, "AIFC", 4) != 0)) {
        return {};
    }
    int64_t at = 12;
    for (int chunk = 0; chunk < kMostChunks; ++chunk) {
        uint8_t head[16];
        if (!file.read(at, head, 8)) {
            return {};
        }
        const uint32_t size = static_cast<uint32_t>(bigEndian(head + 4, 4));
        if (std::memcmp(head, "SSND", 4) == 0) {
            // The sound data follows an offset and a block size, and skips `offset` bytes.
            if (!file.read(at + 8, head + 8, 8) || size == 0xFFFFFFFFu) {
                return {};
            }
            const uint64_t offset = bigEndian(head + 8, 4);
            if (size < 8 + offset) {
                return {};
            }
            return shortfall(size - 8 - offset,
                             file.size() - (at + 16) - static_cast<int64_t>(offset), bytesPerFrame);
        }
        at += 8 + static_cast<int64_t>(size) + (size & 1);
    }
    return {};
}

// A FLAC frame header at `frame` (at most `count` bytes on): answers the first sample after the
// frame, or -1 when these bytes are no valid header.
int64_t flacFrameEnd(const uint8_t* frame, size_t count, int64_t streamBlockSize) {
    if (count < 6 || frame[0] != 0xFF || (frame[1] & 0xFE) != 0xF8) {
        return -1;
    }
    const int blockCode = frame[2] >> 4;
    const int rateCode = frame[2] & 15;
    if (blockCode == 0 || rateCode == 15 || (frame[3] >> 4) > 10 || (frame[3] & 1) != 0) {
        return -1;
    }
    // The frame (fixed block size) or sample number, UTF-8 style in one to seven bytes.
    size_t at = 4;
    int extra = 0;
    while (extra < 7 && (frame[at] << extra & 0x80) != 0) {
        ++extra;
    }
    if (extra == 1) {
        return -1;
    }
    uint64_t number = frame[at] & (0x7F >> extra);
    extra = std::max(extra - 1, 0);
    for (int i = 1; i <= extra; ++i) {
        if (at + i >= count || (frame[at + i] & 0xC0) != 0x80) {
            return -1;
        }
        number = number << 6 | (frame[at + i] & 0x3F);
    }
    at += 1 + extra;
    int64_t blockSize = 0;
    if (blockCode == 1) {
        blockSize = 192;
    } else if (blockCode <= 5) {
        blockSize = 576 << (blockCode - 2);
    } else if (blockCode <= 7) {
        const int bytes = blockCode - 5;
        if (at + bytes >= count) {
            return -1;
        }
        blockSize = static_cast<int64_t>(bigEndian(frame + at, bytes)) + 1;
        at += bytes;
    } else {
        blockSize = 256 << (blockCode - 8);
    }
    at += rateCode == 12 ? 1 : rateCode == 13 || rateCode == 14 ? 2 : 0;
    if (at >= count || checksum<uint8_t, 0x07>(frame, at) != frame[at]) {
        return -1;
    }
    const bool variable = (frame[1] & 1) != 0;
    return static_cast<int64_t>(variable ? number : number * streamBlockSize) + blockSize;
}

std::string flacCut(FileBytes& file) {
    uint8_t header[42];
    // "fLaC", then the stream information block: block and frame sizes, then rate, channels,
    // bits and the total frame count packed into 64 bits.
    if (!file.read(0, header, 42) || std::memcmp(header, "fLaC", 4) != 0 ||
        (header[4] & 0x7F) != 0) {
        return {};
    }
    const int64_t blockSize = static_cast<int64_t>(bigEndian(header + 10, 2));
    const uint64_t total = bigEndian(header + 18, 8) & ((uint64_t{1} << 36) - 1);
    int64_t audio = 4;
    for (int block = 0;; ++block) {
        uint8_t head[4];
        if (block == kMostChunks || !file.read(audio, head, 4)) {
            return {};
        }
        audio += 4 + static_cast<int64_t>(bigEndian(head + 1, 3));
        if ((head[0] & 0x80) != 0) {
            break;
        }
    }
    if (audio > file.size()) {
        return {};
    }
    // The largest frame: 65535 samples of 8 channels at 32 bits, with its headers.
    constexpr int64_t kLargestFrame = 1 << 22;
    const std::vector<uint8_t> tail = file.tail(std::min(kLargestFrame, file.size() - audio));
    // The last frame is the latest header whose CRC-16 holds from there to the end of the file.
    int checksums = 0;
    for (size_t at = tail.size(); at-- > 0 && checksums < kMostChecksums;) {
        const int64_t end = flacFrameEnd(&tail[at], tail.size() - at, blockSize);
        if (end < 0) {
            continue;
        }
        ++checksums;
        if (checksum<uint16_t, 0x8005>(&tail[at], tail.size() - at) == 0) {
            return total > 0 && static_cast<uint64_t>(end) < total
                       ? kCut + "its header promises " + std::to_string(total) +
                             " frames, the file ends after " + std::to_string(end)
                       : "";
        }
    }
    return tail.empty() && total == 0 ? "" : kCut + "its last FLAC frame is incomplete";
}

// Every page is walked: Ogg has no total to compare against, and a page that fails its checksum
// is dropped by the decoder without a word.
std::string oggFault(FileBytes& file) {
    // A page: "OggS", version, flags, granule, serial, sequence, CRC, segment count and sizes.
    constexpr int64_t kHeader = 27;
    std::vector<uint8_t> page(kHeader + 255 + 255 * 255);
    bool ended = false;
    for (int64_t at = 0; at < file.size(); ended = (page[5] & 4) != 0) {
        const int64_t left = file.size() - at;
        const int64_t head = std::min<int64_t>(left, kHeader + 255);
        if (!file.read(at, page.data(), head) || std::memcmp(page.data(), "OggS", 4) != 0) {
            return at == 0 ? "" : kDamaged + "no Ogg page starts at byte " + std::to_string(at);
        }
        int64_t length = kHeader + page[26];
        for (int i = 0; i < page[26] && kHeader + i < head; ++i) {
            length += page[kHeader + i];
        }
        if (head < kHeader || length > left) {
            return kCut + "its last Ogg page is incomplete";
        }
        // The CRC is taken with its own field zeroed.
        file.read(at, page.data(), length);
        const uint64_t stored = littleEndian(&page[22], 4);
        std::fill(&page[22], &page[26], 0);
        if (page[4] != 0 || checksum<uint32_t, 0x04C11DB7>(page.data(), length) != stored) {
            return kDamaged + "the Ogg page at byte " + std::to_string(at) + " fails its checksum";
        }
        at += length;
    }
    // The flag that marks a stream's last page.
    return ended ? "" : kCut + "it stops before the end of its Ogg stream";
}

}  // namespace

std::string checkContainer(const std::string& path, int sndfileFormat, int bytesPerFrame) {
    FileBytes file(path);
    switch (sndfileFormat & SF_FORMAT_TYPEMASK) {
        case SF_FORMAT_WAV:
        case SF_FORMAT_WAVEX:
        case SF_FORMAT_RF64:
            return riffCut(file, bytesPerFrame);
        case SF_FORMAT_AIFF:
            return aiffCut(file, bytesPerFrame);
        case SF_FORMAT_FLAC:
            return flacCut(file);
        case SF_FORMAT_OGG:
            return oggFault(file);
        default:
            return {};
    }
}

}  // namespace tanuvo::bleepify

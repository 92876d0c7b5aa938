// Writes pictures of the plug-in's editor, one per waveform, and compares them with the
// committed reference pictures.
//
//   editorshot OUTDIR                     write editor-<wave>.png into OUTDIR
//   editorshot --compare GOLDEN OUTDIR    write them, then compare pixel by pixel with GOLDEN
//   editorshot --update GOLDEN            rewrite the reference pictures in GOLDEN

#include "tools/editorshot/EditorPicture.h"

#include "plugin/ParameterTable.h"

#include <cstdio>
#include <cstring>
#include <filesystem>
#include <string>

using namespace tanuvo::editorshot;
using tanuvo::sound::vst::kWaveformCount;
using tanuvo::sound::vst::kWaveforms;

namespace {

std::string pictureName(const std::string& directory, int wave) {
    return (std::filesystem::path(directory) /
            ("editor-" + std::string(kWaveforms[wave].word) + ".png"))
        .string();
}

// Counts the pixels that differ; a size mismatch counts every pixel.
long differingPixels(const Image& a, const Image& b) {
    if (a.width != b.width || a.height != b.height)
        return long(std::max(a.width * a.height, b.width * b.height));
    long count = 0;
    for (std::size_t i = 0; i < a.rgb.size(); i += 3)
        count += std::memcmp(&a.rgb[i], &b.rgb[i], 3) != 0;
    return count;
}

int usage() {
    std::fprintf(stderr, "usage: editorshot OUTDIR | --compare GOLDEN OUTDIR | --update GOLDEN\n");
    return 2;
}

}  // namespace

int main(int argc, char** argv) {
    std::string golden, output;
    bool compare = false;
    if (argc == 2 && argv[1][0] != '-') {
        output = argv[1];
    } else if (argc == 4 && std::strcmp(argv[1], "--compare") == 0) {
        compare = true;
        golden = argv[2];
        output = argv[3];
    } else if (argc == 3 && std::strcmp(argv[1], "--update") == 0) {
        output = argv[2];
    } else {
        return usage();
    }
    std::error_code error;
    std::filesystem::create_directories(output, error);

    int failures = 0;
    for (int wave = 0; wave < kWaveformCount; ++wave) {
        const Image picture = renderEditor(wave);
        const std::string path = pictureName(output, wave);
        if (!writePng(path, picture)) {
            std::fprintf(stderr, "cannot write %s\n", path.c_str());
            return 1;
        }
        if (!compare) {
            std::printf("%s\n", path.c_str());
            continue;
        }
        Image expected;
        const std::string reference = pictureName(golden, wave);
        if (!readPng(reference, &expected)) {
            std::fprintf(stderr, "cannot read %s\n", reference.c_str());
            ++failures;
            continue;
        }
        const long differing = differingPixels(picture, expected);
        std::printf("%-12s %ld pixels differ from %s\n", kWaveforms[wave].word, differing,
                    reference.c_str());
        failures += differing != 0;
    }
    if (failures)
        std::fprintf(stderr,
                     "%d pictures differ; if the change is intended, run: editorshot --update %s\n",
                     failures, golden.c_str());
    return failures ? 1 : 0;
}

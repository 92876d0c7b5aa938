#include "tools/editorshot/EditorPicture.h"

#include "editor/BleepifierEditor.h"
#include "gui/CFrame.h"
#include "gui/platform/soft/SoftPlatform.h"
#include "plugin/Bleepifier.h"

#include <png.h>

#include <cstdio>
#include <memory>

namespace tanuvo::editorshot {

namespace soft = tanuvo::gui::platform::soft;

namespace {

intptr_t VST_CALL quietHost(AEffect*, int32_t opcode, int32_t, intptr_t, void*, float) {
    return opcode == audioMasterVersion ? 2400 : 0;
}

struct FileCloser {
    void operator()(std::FILE* file) const { std::fclose(file); }
};

}  // namespace

Image renderEditor(int wave) {
    using namespace sound::vst;
    Image image;
    auto plugin = std::make_unique<Bleepifier>(quietHost);
    plugin->setParameter(kEffect, waveformValue(wave));
    auto* editor = new BleepifierEditor(plugin.get());  // owned by the plug-in
    ERect* rect = nullptr;
    editor->getRect(&rect);
    void* host = soft::createHostWindow(rect->right - rect->left, rect->bottom - rect->top);
    if (editor->open(host)) {
        tanuvo::gui::platform::Window window = editor->getFrame()->getPlatformWindow();
        soft::paintWindow(window);
        const std::vector<std::uint8_t> rgba =
            soft::windowPixels(window, &image.width, &image.height);
        image.rgb.reserve(rgba.size() / 4 * 3);
        for (std::size_t i = 0; i + 3 < rgba.size(); i += 4)
            image.rgb.insert(image.rgb.end(), {rgba[i], rgba[i + 1], rgba[i + 2]});
        editor->close();
    }
    plugin.reset();
    soft::destroyHostWindow(host);
    return image;
}

bool writePng(const std::string& path, const Image& image) {
    if (image.width <= 0 || image.height <= 0 ||
        image.rgb.size() != std::size_t(image.width) * image.height * 3)
        return false;
    const std::string temporary = path + ".part";
    bool written = false;
    {
        std::unique_ptr<std::FILE, FileCloser> file(std::fopen(temporary.c_str(), "wb"));
        png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
        png_infop info = png ? png_create_info_struct(png) : nullptr;
        if (file && info && setjmp(png_jmpbuf(png)) == 0) {
            png_init_io(png, file.get());
            png_set_IHDR(png, info, png_uint_32(image.width), png_uint_32(image.height), 8,
                         PNG_COLOR_TYPE_RGB, PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT,
                         PNG_FILTER_TYPE_DEFAULT);
            png_write_info(png, info);
            for (int y = 0; y < image.height; ++y)
                png_write_row(png, &image.rgb[std::size_t(y) * image.width * 3]);
            png_write_end(png, nullptr);
            written = true;
        }
        png_destroy_write_struct(&png, info ? &info : nullptr);
        written = written && file && std::fflush(file.get()) == 0;
    }
    if (written && std::rename(temporary.c_str(), path.c_str()) == 0)
        return true;
    std::remove(temporary.c_str());
    return false;
}

bool readPng(const std::string& path, Image* image) {
    png_image reader{};
    reader.version = PNG_IMAGE_VERSION;
    if (!png_image_begin_read_from_file(&reader, path.c_str()))
        return false;
    reader.format = PNG_FORMAT_RGB;
    std::vector<std::uint8_t> rgb(PNG_IMAGE_SIZE(reader));
    if (!png_image_finish_read(&reader, nullptr, rgb.data(), 0, nullptr)) {
        png_image_free(&reader);
        return false;
    }
    image->width = int(reader.width);
    image->height = int(reader.height);
    image->rgb = std::move(rgb);
    return true;
}

}  // namespace tanuvo::editorshot

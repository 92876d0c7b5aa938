// The library's exported entry: the host's first call.
#include <memory>

#include "editor/BleepifierEditor.h"
#include "plugin/Bleepifier.h"

#if defined(_WIN32)
#define VST_EXPORT extern "C" __declspec(dllexport)
#else
#define VST_EXPORT extern "C" __attribute__((visibility("default")))
#endif

using tanuvo::sound::vst::Bleepifier;
using tanuvo::sound::vst::BleepifierEditor;

VST_EXPORT AEffect* VST_CALL VSTPluginMain(audioMasterCallback host) {
    // A host that does not answer the version query does not speak VST 2.
    if (!host || host(nullptr, audioMasterVersion, 0, 0, nullptr, 0.0f) == 0) {
        return nullptr;
    }
    try {
        auto effect = std::make_unique<Bleepifier>(host);
        // Registers itself as the plug-in's editor, which the plug-in deletes; no window yet.
        new BleepifierEditor(effect.get());
        return effect.release()->getAeffect();
    } catch (...) {
        // Nothing escapes into the host: a failed construction is an answer of null.
        return nullptr;
    }
}

#if !defined(_WIN32)
// Older hosts look for the entry under the name "main"; on Windows the .def file adds the alias.
VST_EXPORT AEffect* VST_CALL vstMainAlias(audioMasterCallback host) __asm__("main")
    __attribute__((alias("VSTPluginMain")));
#endif

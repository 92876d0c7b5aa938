#include <windows.h>

#include "PluginLoader.h"

PluginLoader::PluginLoader(const std::string& path) {
    // Build trees hand over Unix paths; Wine maps the root to drive Z.
    std::string native = path;
    if (!native.empty() && native[0] == '/') {
        native = "Z:" + native;
        for (char& c : native) {
            c = c == '/' ? '\\' : c;
        }
    }
    handle = LoadLibraryA(native.c_str());
    if (!handle) {
        message = "LoadLibrary failed with error " + std::to_string(GetLastError());
    }
}

PluginLoader::~PluginLoader() {
    if (handle) {
        FreeLibrary(static_cast<HMODULE>(handle));
    }
}

std::string PluginLoader::resource(int id, int type) const {
    HMODULE module = static_cast<HMODULE>(handle);
    HRSRC found =
        module ? FindResourceA(module, MAKEINTRESOURCEA(id), MAKEINTRESOURCEA(type)) : nullptr;
    HGLOBAL data = found ? LoadResource(module, found) : nullptr;
    const char* bytes = data ? static_cast<const char*>(LockResource(data)) : nullptr;
    return bytes ? std::string(bytes, SizeofResource(module, found)) : std::string();
}

VstPluginMainProc PluginLoader::entry(const char* name) const {
    if (!handle) {
        return nullptr;
    }
    FARPROC proc = GetProcAddress(static_cast<HMODULE>(handle), name);
    return reinterpret_cast<VstPluginMainProc>(reinterpret_cast<void*>(proc));
}

bool PluginLoader::hasWin32Resources() {
    return true;
}

#include <dlfcn.h>

#include "PluginLoader.h"

PluginLoader::PluginLoader(const std::string& path) {
    handle = dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
    if (!handle) {
        const char* text = dlerror();
        message = text ? text : "dlopen failed";
    }
}

PluginLoader::~PluginLoader() {
    if (handle) {
        dlclose(handle);
    }
}

VstPluginMainProc PluginLoader::entry(const char* name) const {
    return handle ? reinterpret_cast<VstPluginMainProc>(dlsym(handle, name)) : nullptr;
}

std::string PluginLoader::resource(int, int) const {
    return {};
}

bool PluginLoader::hasWin32Resources() {
    return false;
}

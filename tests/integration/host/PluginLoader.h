#pragma once

#include <string>

#include "plugin/VstAbi.h"

// Loads a built plug-in library and finds its exported entry, as a host does.
class PluginLoader {
  public:
    explicit PluginLoader(const std::string& path);
    ~PluginLoader();
    PluginLoader(const PluginLoader&) = delete;
    PluginLoader& operator=(const PluginLoader&) = delete;

    bool loaded() const { return handle != nullptr; }
    // The entry under one of its exported names, or null.
    VstPluginMainProc entry(const char* name) const;
    const std::string& error() const { return message; }
    // The bytes of a Win32 resource of the library (empty where there are none).
    std::string resource(int id, int type) const;
    static bool hasWin32Resources();

  private:
    void* handle = nullptr;
    std::string message;
};

#include "TestHost.h"

#include <cstring>

TestHost& TestHost::instance() {
    static TestHost host;
    return host;
}

void TestHost::load(const std::string& path) {
    loader = new PluginLoader(path);  // lives as long as the process
}

intptr_t VST_CALL TestHost::callback(AEffect* effect, int32_t opcode, int32_t index, intptr_t value,
                                     void*, float opt) {
    TestHost& host = instance();
    host.calls.push_back({opcode, index, value, opt});
    if (host.onCall) {
        host.onCall(effect, opcode);
    }
    switch (opcode) {
        case audioMasterVersion:
            return host.versionAnswer;
        case audioMasterSizeWindow:
            return host.sizeWindowAnswer;
        default:
            return 0;
    }
}

AEffect* TestHost::create(intptr_t answer) {
    versionAnswer = answer;
    VstPluginMainProc entry = loader->entry("VSTPluginMain");
    return entry ? entry(callback) : nullptr;
}

intptr_t TestHost::call(AEffect* e, int32_t opcode, int32_t index, intptr_t value, void* ptr,
                        float opt) {
    return e->dispatcher(e, opcode, index, value, ptr, opt);
}

std::string TestHost::text(AEffect* e, int32_t opcode, int32_t index) {
    char buffer[256];
    std::memset(buffer, 0x55, sizeof(buffer));
    buffer[sizeof(buffer) - 1] = 0;
    call(e, opcode, index, 0, buffer);
    return buffer;
}

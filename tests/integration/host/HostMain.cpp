// Usage: host_test PLUGIN [FILTER]
#include <cstdio>

#include "MiniCheck.h"
#include "TestHost.h"

int main(int argc, char** argv) {
    if (argc < 2) {
        std::printf("usage: %s PLUGIN [FILTER]\n", argv[0]);
        return 2;
    }
    TestHost::instance().load(argv[1]);
    if (!TestHost::instance().library().loaded()) {
        std::printf("cannot load %s: %s\n", argv[1],
                    TestHost::instance().library().error().c_str());
        return 1;
    }
    return minicheck::runAll(argc > 2 ? argv[2] : nullptr);
}

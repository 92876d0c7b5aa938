#pragma once
// The main of a test program that takes paths after the test library's own options.

#include <gtest/gtest.h>

#include <cstdio>
#include <initializer_list>
#include <string>

namespace tanuvo::testing {

// Fills each path from the arguments in turn and runs the tests; usage names them.
inline int runTestsWithPaths(int argc, char** argv, const char* usage,
                             std::initializer_list<std::string*> paths) {
    ::testing::InitGoogleTest(&argc, argv);
    if (argc != static_cast<int>(paths.size()) + 1) {
        std::fprintf(stderr, "usage: %s %s\n", argv[0], usage);
        return 2;
    }
    char** argument = argv + 1;
    for (std::string* path : paths)
        *path = *argument++;
    return RUN_ALL_TESTS();
}

}  // namespace tanuvo::testing

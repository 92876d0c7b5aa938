// A host validator: loads a plug-in through its exported entry and runs named categories of
// checks, one line per check, with a summary; exits non-zero on any failure.
// Usage: validator PLUGIN [CATEGORY...]    (no category: all of them)
//        validator --list
#include <algorithm>
#include <cstdio>
#include <cstring>
#include <string>

#include "HeapProbe.h"
#include "Validator.h"

using namespace validator;

int main(int argc, char** argv) {
    std::vector<minicheck::Case> all = minicheck::cases();
    std::sort(all.begin(), all.end(), [](const minicheck::Case& a, const minicheck::Case& b) {
        return std::strcmp(a.name, b.name) < 0;
    });
    if (argc < 2 || std::strcmp(argv[1], "--list") == 0) {
        std::printf("usage: %s PLUGIN [CATEGORY...]\ncategories:\n", argv[0]);
        for (const minicheck::Case& c : all) {
            std::printf("  %-12s %s\n", c.name, c.description);
        }
        return argc < 2 ? 2 : 0;
    }
    std::vector<const minicheck::Case*> chosen;
    for (int i = 2; i < argc; ++i) {
        auto found = std::find_if(all.begin(), all.end(), [&](const minicheck::Case& c) {
            return std::strcmp(c.name, argv[i]) == 0;
        });
        if (found == all.end()) {
            std::printf("unknown category %s (see --list)\n", argv[i]);
            return 2;
        }
        chosen.push_back(&*found);
    }
    if (chosen.empty()) {
        for (const minicheck::Case& c : all) {
            chosen.push_back(&c);
        }
    }

    TestHost::instance().load(argv[1]);
    if (!TestHost::instance().library().loaded()) {
        std::printf("cannot load %s: %s\n", argv[1],
                    TestHost::instance().library().error().c_str());
        return 1;
    }
    heapprobe::install(
        reinterpret_cast<void*>(TestHost::instance().library().entry("VSTPluginMain")));

    const double start = now();
    std::vector<std::string> failed;
    for (const minicheck::Case* c : chosen) {
        std::printf("[%s] %s\n", c->name, c->description);
        std::fflush(stdout);
        const int before = tally().failures;
        const int checksBefore = tally().checks;
        const double begun = now();
        c->body();
        const char* outcome = tally().failures != before       ? "FAILED"
                              : tally().checks == checksBefore ? "skipped"
                                                               : "passed";
        std::printf("[%s] %s in %.1f s\n", c->name, outcome, now() - begun);
        if (tally().failures != before) {
            failed.push_back(c->name);
        }
    }
    std::string names;
    for (const std::string& name : failed) {
        names += " " + name;
    }
    std::printf("summary: %d checks, %d failed%s%s, %.1f s\n", tally().checks, tally().failures,
                failed.empty() ? "" : " in", names.c_str(), now() - start);
    if (tally().checks == 0 && tally().skips > 0) {
        return 77;  // nothing could run here: ctest's "skipped"
    }
    return tally().failures == 0 ? 0 : 1;
}

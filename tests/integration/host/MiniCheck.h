#pragma once

// The check framework of the integration programs, which also run as Win32 programs under Wine
// where no test library is available: named groups of checks, checks that print a line each
// (check) or only when they fail (CHECK), and one tally for the exit code.

#include <cstdio>
#include <functional>
#include <string>
#include <vector>

namespace minicheck {

struct Tally {
    int checks = 0;
    int failures = 0;
    int skips = 0;
};
inline Tally& tally() {
    static Tally counts;
    return counts;
}

struct Case {
    const char* name;
    const char* description;
    std::function<void()> body;
};
inline std::vector<Case>& cases() {
    static std::vector<Case> all;
    return all;
}

struct Registrar {
    Registrar(const char* name, const char* description, std::function<void()> body) {
        cases().push_back({name, description, std::move(body)});
    }
};

// Counts one check; answers ok.
inline bool counted(bool ok) {
    ++tally().checks;
    tally().failures += ok ? 0 : 1;
    return ok;
}

inline void fail(const char* file, int line, const std::string& what) {
    std::printf("  FAILED %s:%d: %s\n", file, line, what.c_str());
    std::fflush(stdout);
}

// One named check: prints "PASS what" or "FAIL what" and counts it; answers ok.
inline bool check(bool ok, const std::string& what) {
    std::printf("  %s %s\n", ok ? "PASS" : "FAIL", what.c_str());
    std::fflush(stdout);
    return counted(ok);
}

// Information that is not a check (speeds, counts).
inline void info(const std::string& text) {
    std::printf("  info %s\n", text.c_str());
    std::fflush(stdout);
}

// A group that cannot run here (no display, wrong platform) says so once.
inline void skip(const std::string& why) {
    ++tally().skips;
    std::printf("  SKIP %s\n", why.c_str());
    std::fflush(stdout);
}

// The closing line of a program that checks in main; answers the process exit code.
inline int summary() {
    std::printf("%d checks, %d failed\n", tally().checks, tally().failures);
    return tally().failures == 0 ? 0 : 1;
}

// Runs every case, or those whose name contains filter; answers the process exit code.
inline int runAll(const char* filter) {
    int failedCases = 0;
    int run = 0;
    for (auto& c : cases()) {
        if (filter && std::string(c.name).find(filter) == std::string::npos) {
            continue;
        }
        int before = tally().failures;
        std::printf("[ RUN  ] %s\n", c.name);
        std::fflush(stdout);
        c.body();
        bool ok = tally().failures == before;
        failedCases += ok ? 0 : 1;
        ++run;
        std::printf("[ %s ] %s\n", ok ? " OK " : "FAIL", c.name);
        std::fflush(stdout);
    }
    std::printf("%d cases, %d failed\n", run, failedCases);
    return failedCases == 0 && run > 0 ? 0 : 1;
}

}  // namespace minicheck

#define MC_CAT2(a, b) a##b
#define MC_CAT(a, b) MC_CAT2(a, b)
// Declares a group of checks: CHECK_GROUP("name", "what it checks") { body }
#define CHECK_GROUP(name, description)                                                       \
    static void MC_CAT(testBody, __LINE__)();                                                \
    static minicheck::Registrar MC_CAT(testRegistrar, __LINE__)(name, description,           \
                                                                MC_CAT(testBody, __LINE__)); \
    static void MC_CAT(testBody, __LINE__)()
#define TEST_CASE(name) CHECK_GROUP(name, "")

#define CHECK(cond)                                     \
    do {                                                \
        if (!minicheck::counted(cond))                  \
            minicheck::fail(__FILE__, __LINE__, #cond); \
    } while (0)

#define CHECK_EQ(a, b)                                                                      \
    do {                                                                                    \
        auto mcA = (a);                                                                     \
        auto mcB = (b);                                                                     \
        if (!minicheck::counted(mcA == mcB))                                                \
            minicheck::fail(__FILE__, __LINE__,                                             \
                            std::string(#a " == " #b " (") + std::to_string(mcA) + " vs " + \
                                std::to_string(mcB) + ")");                                 \
    } while (0)

#define CHECK_STR(a, b)                                                                   \
    do {                                                                                  \
        std::string mcA = (a);                                                            \
        std::string mcB = (b);                                                            \
        if (!minicheck::counted(mcA == mcB))                                              \
            minicheck::fail(__FILE__, __LINE__,                                           \
                            std::string(#a " == \"") + mcB + "\" (got \"" + mcA + "\")"); \
    } while (0)

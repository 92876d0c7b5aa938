#pragma once

// A small check framework for the host programs, which also run as Win32 programs under Wine
// where no test library is available.

#include <cstdio>
#include <functional>
#include <string>
#include <vector>

namespace minicheck {

struct Registry {
    struct Case {
        const char* name;
        std::function<void()> body;
    };
    std::vector<Case> cases;
    int failures = 0;
    static Registry& get() {
        static Registry registry;
        return registry;
    }
};

struct Registrar {
    Registrar(const char* name, std::function<void()> body) {
        Registry::get().cases.push_back({name, std::move(body)});
    }
};

inline void fail(const char* file, int line, const std::string& what) {
    std::printf("  FAILED %s:%d: %s\n", file, line, what.c_str());
    ++Registry::get().failures;
}

// Runs every case, or those whose name contains filter; answers the process exit code.
inline int runAll(const char* filter) {
    Registry& registry = Registry::get();
    int failedCases = 0;
    int run = 0;
    for (auto& c : registry.cases) {
        if (filter && std::string(c.name).find(filter) == std::string::npos) {
            continue;
        }
        int before = registry.failures;
        std::printf("[ RUN  ] %s\n", c.name);
        std::fflush(stdout);
        c.body();
        bool ok = registry.failures == before;
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
#define TEST_CASE(name)                                                                            \
    static void MC_CAT(testBody, __LINE__)();                                                      \
    static minicheck::Registrar MC_CAT(testRegistrar, __LINE__)(name, MC_CAT(testBody, __LINE__)); \
    static void MC_CAT(testBody, __LINE__)()

#define CHECK(cond)                                     \
    do {                                                \
        if (!(cond))                                    \
            minicheck::fail(__FILE__, __LINE__, #cond); \
    } while (0)

#define CHECK_EQ(a, b)                                                                      \
    do {                                                                                    \
        auto mcA = (a);                                                                     \
        auto mcB = (b);                                                                     \
        if (!(mcA == mcB))                                                                  \
            minicheck::fail(__FILE__, __LINE__,                                             \
                            std::string(#a " == " #b " (") + std::to_string(mcA) + " vs " + \
                                std::to_string(mcB) + ")");                                 \
    } while (0)

#define CHECK_STR(a, b)                                                                   \
    do {                                                                                  \
        std::string mcA = (a);                                                            \
        std::string mcB = (b);                                                            \
        if (mcA != mcB)                                                                   \
            minicheck::fail(__FILE__, __LINE__,                                           \
                            std::string(#a " == \"") + mcB + "\" (got \"" + mcA + "\")"); \
    } while (0)

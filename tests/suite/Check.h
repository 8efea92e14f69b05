#pragma once

// A small test harness that builds with any C++20 compiler: named cases,
// checks that report where they failed and go on, and a closing line
// "N passed, N failed" for ctest's log.

#include <cstdio>
#include <functional>
#include <sstream>
#include <string>
#include <vector>

namespace check {

struct Case
{
    std::string name;
    std::function<void()> run;
};

inline std::vector<Case>& cases()
{
    static std::vector<Case> all;
    return all;
}

inline int& failures()
{
    static int n = 0;
    return n;
}

struct Register
{
    Register(std::string name, std::function<void()> run)
    {
        cases().push_back({std::move(name), std::move(run)});
    }
};

template <typename A, typename B>
bool equal(const A& got, const B& want, const char* what, const std::string& context,
           const char* file, int line)
{
    if (got == want)
        return true;
    std::ostringstream s;
    s << file << ":" << line << ": " << what << ": got " << got << ", want " << want;
    if (!context.empty())
        s << " (" << context << ")";
    std::fprintf(stderr, "  FAIL %s\n", s.str().c_str());
    ++failures();
    return false;
}

// Runs the cases whose name contains `filter` (all when empty).
inline int runAll(const std::string& filter = {})
{
    int passed = 0, failed = 0;
    for (const Case& c : cases()) {
        if (!filter.empty() && c.name.find(filter) == std::string::npos)
            continue;
        const int before = failures();
        std::fprintf(stderr, "%s\n", c.name.c_str());
        c.run();
        (failures() == before ? passed : failed)++;
    }
    std::printf("%d passed, %d failed\n", passed, failed);
    return failed ? 1 : 0;
}

} // namespace check

#define CHECK_CONCAT2(a, b) a##b
#define CHECK_CONCAT(a, b) CHECK_CONCAT2(a, b)
// TEST_CASE("name") { ... }
#define TEST_CASE(name)                                                                            \
    static void CHECK_CONCAT(test_, __LINE__)();                                                   \
    static const check::Register CHECK_CONCAT(reg_, __LINE__)(name,                                \
                                                              CHECK_CONCAT(test_, __LINE__));      \
    static void CHECK_CONCAT(test_, __LINE__)()
// Compares and reports; returns whether it held. `context` says which step.
#define CHECK_EQ(got, want, context)                                                               \
    check::equal((got), (want), #got, (context), __FILE__, __LINE__)
#define CHECK(cond, context) CHECK_EQ(bool(cond), true, context)

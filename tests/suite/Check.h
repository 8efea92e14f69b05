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

inline std::vector<std::pair<std::string, std::function<void()>>> cases;
inline int failures = 0;

template <typename A, typename B>
bool equal(const A& got, const B& want, const char* what, const std::string& context,
           const char* file, int line)
{
    if (got == want)
        return true;
    std::ostringstream s;
    s << file << ":" << line << ": " << what << ": got " << got << ", want " << want << " ("
      << context << ")";
    std::fprintf(stderr, "  FAIL %s\n", s.str().c_str());
    ++failures;
    return false;
}

// Runs the cases whose name contains `filter`.
inline int runAll(const std::string& filter = {})
{
    int passed = 0, failed = 0;
    for (const auto& [name, run] : cases)
        if (name.find(filter) != std::string::npos) {
            const int before = failures;
            std::fprintf(stderr, "%s\n", name.c_str());
            run();
            (failures == before ? passed : failed)++;
        }
    std::printf("%d passed, %d failed\n", passed, failed);
    return failed ? 1 : 0;
}

} // namespace check

#define CHECK_JOIN2(a, b) a##b
#define CHECK_JOIN(a, b) CHECK_JOIN2(a, b)
// TEST_CASE("name") { ... }
#define TEST_CASE(name)                                                                            \
    static void CHECK_JOIN(test_, __LINE__)();                                                     \
    static const bool CHECK_JOIN(reg_, __LINE__) =                                                 \
        (check::cases.emplace_back(name, CHECK_JOIN(test_, __LINE__)), true);                      \
    static void CHECK_JOIN(test_, __LINE__)()
// Compares and reports; returns whether it held. `context` says which step.
#define CHECK_EQ(got, want, context)                                                               \
    check::equal((got), (want), #got, (context), __FILE__, __LINE__)
#define CHECK(cond, context) CHECK_EQ(bool(cond), true, context)

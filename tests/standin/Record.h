#pragma once

// What both stand-in port libraries share. Every call is appended as one line
// to the file named by FAKE1284_LOG ("load", "write 5", ...); FAKE1284_MODE
// picks a fault. Both are read at every call, from the process's own
// environment, so that a change by the program under test counts at once.

#include <cstdio>
#include <cstdlib>
#include <string>
#ifdef _WIN32
#include <windows.h>
#endif

namespace standin {

inline std::string variable(const char* name)
{
#ifdef _WIN32
    // The C library's copy of the environment lags behind SetEnvironmentVariable.
    char value[1024]{};
    const DWORD n = GetEnvironmentVariableA(name, value, sizeof value);
    return n > 0 && n < sizeof value ? value : "";
#else
    const char* value = std::getenv(name);
    return value ? value : "";
#endif
}

inline void record(const std::string& line)
{
    const std::string log = variable("FAKE1284_LOG");
    if (FILE* f = log.empty() ? nullptr : std::fopen(log.c_str(), "ab")) { // \n on every platform
        std::fprintf(f, "%s\n", line.c_str());
        std::fclose(f);
    }
}

inline bool mode(const char* name)
{
    const std::string m = variable("FAKE1284_MODE");
    return (m.empty() ? "ok" : m) == name;
}

} // namespace standin

#pragma once

// The stand-in port library's record of calls, one per line, in the file
// named by FAKE1284_LOG: "load", "find", "write 5", ...

#include <cstdlib>
#include <fstream>
#include <string>

// All calls, joined by ", " ("load, find, ..."); or only the bytes written ("0 5 ").
inline std::string portLog(bool writesOnly = false)
{
    std::string all;
    std::ifstream log(std::getenv("FAKE1284_LOG"));
    for (std::string line; std::getline(log, line);)
        if (!writesOnly)
            all += (all.empty() ? "" : ", ") + line;
        else if (line.starts_with("write "))
            all += line.substr(6) + " ";
    return all;
}

inline std::string portWrites()
{
    return portLog(true);
}

inline void clearPortLog()
{
    std::ofstream(std::getenv("FAKE1284_LOG"), std::ios::trunc);
}

#pragma once

#include "PortError.h"

#include <string>

// A port library loaded at run time, unloaded when the object goes.
// Move-only. Every failure is a PortError telling the user whether the
// library is missing or there but unusable (an entry lacking, the wrong
// width), with the loader's own message as its detail.
class DynamicLibrary
{
public:
    // `name` is handed to the system's library search as it is (a soname
    // such as "libieee1284.so.3", or an absolute path).
    DynamicLibrary(std::string name, const char* missing, const char* unusable);
    ~DynamicLibrary();
    DynamicLibrary(DynamicLibrary&& other) noexcept;
    DynamicLibrary& operator=(DynamicLibrary&& other) noexcept;
    DynamicLibrary(const DynamicLibrary&) = delete;
    DynamicLibrary& operator=(const DynamicLibrary&) = delete;

    template <typename Function> [[nodiscard]] Function entry(const char* symbolName) const
    {
        return reinterpret_cast<Function>(address(symbolName));
    }

private:
    [[nodiscard]] void* address(const char* symbolName) const;

    // The system loader, one call each, provided per platform
    // (DynamicLibrary_dlopen.cpp, DynamicLibrary_LoadLibrary.cpp).
    static void* open(const std::string& name); // nullptr when it fails
    // After a failed open(): the loader's message, naming the library, and
    // whether the library itself was not found.
    struct Failure
    {
        std::string error;
        bool missing;
    };
    static Failure openFailure(const std::string& name);
    static void close(void* handle);
    static void* find(void* handle, const char* symbolName); // nullptr when absent
    static std::string lastError();

    std::string m_name;
    const char* m_unusable;
    void* m_handle = nullptr;
};

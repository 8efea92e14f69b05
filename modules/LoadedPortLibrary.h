#pragma once

#include "DynamicLibrary.h"
#include "PortError.h"

#include <string>

// The platform's port library, loaded, with its entries looked up; each
// failure is a PortError telling the user whether the library is missing
// or present but unusable, with the loader's message as its detail.
class LoadedPortLibrary
{
public:
    LoadedPortLibrary(const std::string& name, const char* missing, const char* unusable)
        : m_unusable(unusable), m_library(load(name, missing, unusable))
    {
    }

    template <typename Function> [[nodiscard]] Function entry(const char* symbolName) const
    {
        try {
            return m_library.symbol<Function>(symbolName);
        } catch (const DynamicLibrary::LibraryError& e) {
            throw PortError(m_unusable, e.what());
        }
    }

private:
    static DynamicLibrary load(const std::string& name, const char* missing, const char* unusable)
    {
        try {
            return DynamicLibrary(name);
        } catch (const DynamicLibrary::LibraryError& e) {
            throw PortError(e.missing() ? missing : unusable, e.what());
        }
    }

    const char* m_unusable;
    DynamicLibrary m_library;
};

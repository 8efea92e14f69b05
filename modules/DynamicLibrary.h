#pragma once

#include <stdexcept>
#include <string>

// A shared library loaded at run time, unloaded when the object goes.
// Move-only; every failure is a LibraryError naming the library and the
// loader's own message.
class DynamicLibrary
{
public:
    class LibraryError : public std::runtime_error
    {
    public:
        explicit LibraryError(const std::string& what, bool missing = false)
            : std::runtime_error(what), m_missing(missing)
        {
        }
        // The library itself was not found, rather than found but unusable.
        [[nodiscard]] bool missing() const { return m_missing; }

    private:
        bool m_missing;
    };

    // `name` is handed to the system's library search as it is (a soname
    // such as "libieee1284.so.3", or an absolute path).
    explicit DynamicLibrary(std::string name);
    ~DynamicLibrary();
    DynamicLibrary(DynamicLibrary&& other) noexcept;
    DynamicLibrary& operator=(DynamicLibrary&& other) noexcept;
    DynamicLibrary(const DynamicLibrary&) = delete;
    DynamicLibrary& operator=(const DynamicLibrary&) = delete;

    template <typename Function> [[nodiscard]] Function symbol(const char* symbolName) const
    {
        return reinterpret_cast<Function>(address(symbolName));
    }

private:
    [[nodiscard]] void* address(const char* symbolName) const;

    // The system loader, one call each, provided per platform.
    static void* open(const std::string& name); // nullptr when it fails
    static LibraryError openFailure(const std::string& name);
    static void close(void* handle);
    static void* find(void* handle, const char* symbolName); // nullptr when absent
    static std::string lastError();

    std::string m_name;
    void* m_handle = nullptr;
};

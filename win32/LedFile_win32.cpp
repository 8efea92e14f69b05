// Reading an LED file on Windows.

#include "LedImage.h"

#include "WinText.h"

#include <string>

namespace led {

namespace {

[[noreturn]] void refuse(const std::filesystem::path& filePath, const std::string& why)
{
    const std::u8string name = filePath.u8string();
    throw ImageError(std::string(name.begin(), name.end()) + ": " + why);
}

[[noreturn]] void refuseWithSystemError(const std::filesystem::path& filePath)
{
    refuse(filePath, wintext::errorText(GetLastError()));
}

// Each system call on its own.
DWORD attributesOf(const wchar_t* name)
{
    return GetFileAttributesW(name);
}
HANDLE openForReading(const wchar_t* name)
{
    // Shared for writing and deleting: a teacher may replace the file meanwhile.
    return CreateFileW(name, GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                       nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
}
DWORD typeOf(HANDLE file)
{
    return GetFileType(file);
}
bool informationOf(HANDLE file, BY_HANDLE_FILE_INFORMATION& info)
{
    return GetFileInformationByHandle(file, &info) != 0;
}
bool readSome(HANDLE file, std::uint8_t* into, DWORD count, DWORD& got)
{
    return ReadFile(file, into, count, &got, nullptr) != 0;
}
void closeFile(HANDLE file)
{
    CloseHandle(file);
}

class OpenFile
{
public:
    explicit OpenFile(HANDLE handle) : m_handle(handle) {}
    ~OpenFile()
    {
        if (m_handle != INVALID_HANDLE_VALUE)
            closeFile(m_handle);
    }
    OpenFile(const OpenFile&) = delete;
    OpenFile& operator=(const OpenFile&) = delete;
    [[nodiscard]] HANDLE handle() const { return m_handle; }

private:
    HANDLE m_handle;
};

constexpr DWORD NotAFile = FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_DEVICE;

} // namespace

std::filesystem::path path(const std::filesystem::path& programDirectory, std::string_view fileName)
{
    // The leading backslash is this system's own separator.
    return programDirectory.native() + wintext::wide(fileName);
}

std::vector<std::uint8_t> readFile(const std::filesystem::path& filePath)
{
    const wchar_t* name = filePath.c_str();
    const DWORD attributes = attributesOf(name);
    if (attributes == INVALID_FILE_ATTRIBUTES)
        refuseWithSystemError(filePath);
    if (attributes & NotAFile)
        refuse(filePath, "keine reguläre Datei");

    const OpenFile file(openForReading(name));
    if (file.handle() == INVALID_HANDLE_VALUE)
        refuseWithSystemError(filePath);
    // Check again what was really opened: the name may have changed meanwhile,
    // and a pipe or device must not be read from.
    BY_HANDLE_FILE_INFORMATION info{};
    if (typeOf(file.handle()) != FILE_TYPE_DISK)
        refuse(filePath, "keine reguläre Datei");
    if (!informationOf(file.handle(), info))
        refuseWithSystemError(filePath);
    if (info.dwFileAttributes & NotAFile)
        refuse(filePath, "keine reguläre Datei");
    const unsigned long long size = (std::uint64_t(info.nFileSizeHigh) << 32) | info.nFileSizeLow;
    if (size > MaxFileSize)
        refuse(filePath, "größer als 1 MiB");

    // One byte more than the file claims, to notice it growing past the bound.
    std::vector<std::uint8_t> bytes(std::size_t(size) + 1);
    std::size_t total = 0;
    while (total < bytes.size()) {
        DWORD got = 0;
        if (!readSome(file.handle(), bytes.data() + total, DWORD(bytes.size() - total), got))
            refuseWithSystemError(filePath);
        if (got == 0)
            break;
        total += got;
    }
    if (total > size)
        refuse(filePath, "wächst beim Lesen");
    bytes.resize(total);
    return bytes;
}

} // namespace led

// Port access on Windows: writes the data register of the first parallel
// port through the port library of the program's width (inpoutx64.dll,
// inpout32.dll), loaded at the first write so the program runs without it.
// The library brings its own kernel driver, which it installs the first time
// it is loaded by an administrator.

#include "M_inpout.h"

#include "LoadedPortLibrary.h"

#include <utility>

namespace {

// The loaded library with its driver open. A failure while connecting
// unloads the library again, so the next write starts from scratch.
class LibraryAccess final : public M_inpout::Access
{
public:
    explicit LibraryAccess(const std::string& libraryName)
        : m_library(libraryName, PortText::InpoutMissing, PortText::InpoutUnusable),
          Out32(m_library.entry<decltype(Out32)>("Out32")),
          Inp32(m_library.entry<decltype(Inp32)>("Inp32")),
          IsInpOutDriverOpen(m_library.entry<decltype(IsInpOutDriverOpen)>("IsInpOutDriverOpen"))
    {
        if (IsInpOutDriverOpen() == 0)
            throw PortError(PortText::InpoutDriverMissing);
    }

    void write(unsigned char byte) override { Out32(short(M_inpout::DataPort), short(byte)); }
    [[nodiscard]] int read() override
    {
        return static_cast<unsigned char>(Inp32(short(M_inpout::DataPort)));
    }

private:
    LoadedPortLibrary m_library; // first member: unloaded last
    // The library's exports: __stdcall in inpout32.dll, under undecorated
    // names; x64 has one convention only.
    void(__stdcall* Out32)(short, short);
    short(__stdcall* Inp32)(short);
    int(__stdcall* IsInpOutDriverOpen)();
};

} // namespace

std::unique_ptr<M_inpout::Access> M_inpout::connect(const std::string& libraryName)
{
    return std::make_unique<LibraryAccess>(libraryName);
}

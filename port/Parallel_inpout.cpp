// The parallel port on Windows: the data register written through the port
// library of the program's width (inpoutx64.dll, inpout32.dll), loaded at
// the first write so the program runs without it. The library brings its
// own kernel driver, which it installs the first time it is loaded by an
// administrator.

#include "Output.h"

#include "DynamicLibrary.h"
#include "M_inpout.h"

#include <string_view>

namespace {

// The loaded library with its driver open.
class ParallelPort final : public Output
{
public:
    explicit ParallelPort(const std::string& libraryName)
        : m_library(libraryName, PortText::InpoutMissing, PortText::InpoutUnusable),
          Out32(m_library.entry<decltype(Out32)>("Out32")),
          Inp32(m_library.entry<decltype(Inp32)>("Inp32")),
          IsInpOutDriverOpen(m_library.entry<decltype(IsInpOutDriverOpen)>("IsInpOutDriverOpen"))
    {
        if (IsInpOutDriverOpen() == 0)
            throw PortError(PortText::InpoutDriverMissing);
    }

    [[nodiscard]] std::string name() const override { return PortText::ParallelName; }
    [[nodiscard]] std::string where() const override { return PortText::ParallelWhere; }
    void write(unsigned char byte) override { Out32(short(M_inpout::DataPort), short(byte)); }
    [[nodiscard]] int read() override
    {
        return static_cast<unsigned char>(Inp32(short(M_inpout::DataPort)));
    }

private:
    DynamicLibrary m_library; // first member: unloaded last
    // The library's exports: __stdcall in inpout32.dll, under undecorated
    // names; x64 has one convention only.
    void(__stdcall* Out32)(short, short);
    short(__stdcall* Inp32)(short);
    int(__stdcall* IsInpOutDriverOpen)();
};

} // namespace

std::unique_ptr<Output> openParallelPort(Search& search)
{
    std::unique_ptr<ParallelPort> port;
    try {
        port = std::make_unique<ParallelPort>(search.portLibrary);
    } catch (const PortError& e) {
        if (e.what() == std::string_view(PortText::InpoutMissing)) {
            search.unseen = std::make_unique<PortError>(e);
            return nullptr;
        }
        throw e.about(PortText::ParallelName);
    }
    const unsigned char byte = search.byte();
    port->write(byte);
    // The library writes to any address, port or none. The data register
    // reads back what it holds; where there is no port, all ones.
    if (byte != 0xFF && port->read() != byte)
        return nullptr;
    return port;
}

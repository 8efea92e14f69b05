// Serial lines through Win32 communication ports: the COM ports Windows
// lists for its serial devices (an Uno's own USB chip, CH340 and FTDI
// clones alike).

#include "Firmata.h"
#include "PortError.h"
#include "WinText.h"

#include <windows.h>

#include <algorithm>
#include <memory>

namespace {

struct HandleRelease
{
    void operator()(HANDLE handle) const { CloseHandle(handle); }
};
using Handle = std::unique_ptr<void, HandleRelease>;

struct KeyRelease
{
    void operator()(HKEY key) const { RegCloseKey(key); }
};
using Key = std::unique_ptr<std::remove_pointer_t<HKEY>, KeyRelease>;

bool isGone(DWORD error)
{
    return error == ERROR_FILE_NOT_FOUND || error == ERROR_DEVICE_NOT_CONNECTED ||
           error == ERROR_BAD_COMMAND || error == ERROR_GEN_FAILURE ||
           error == ERROR_OPERATION_ABORTED || error == ERROR_ACCESS_DENIED ||
           error == ERROR_INVALID_HANDLE;
}

class Win32SerialLine final : public SerialLine
{
public:
    Win32SerialLine(std::string port, Handle handle)
        : m_port(std::move(port)), m_handle(std::move(handle))
    {
    }

    void send(std::span<const unsigned char> bytes) override
    {
        DWORD written = 0;
        if (!WriteFile(m_handle.get(), bytes.data(), DWORD(bytes.size()), &written, nullptr))
            fail(GetLastError());
        if (written != bytes.size()) // the write time-out passed: nobody takes them
            throw PortError(PortText::Unplugged(m_port), "write timed out");
    }

    std::size_t receive(std::span<unsigned char> buffer, std::chrono::milliseconds wait) override
    {
        // Reads return at once with what has arrived (see configure()): the
        // one read time-out every Windows and Wine keep alike.
        const ULONGLONG end = GetTickCount64() + ULONGLONG(wait.count());
        for (;;) {
            DWORD got = 0;
            if (!ReadFile(m_handle.get(), buffer.data(), DWORD(buffer.size()), &got, nullptr))
                fail(GetLastError());
            if (got > 0 || GetTickCount64() >= end)
                return got;
            Sleep(10);
        }
    }

private:
    // A line that worked and fails now: its device is gone.
    [[noreturn]] void fail(DWORD error)
    {
        throw PortError(PortText::Unplugged(m_port), wintext::errorText(error));
    }

    std::string m_port;
    Handle m_handle;
};

// 57600 baud, 8N1, no flow control; DTR on, which resets an Arduino.
bool configure(HANDLE handle)
{
    DCB dcb{};
    dcb.DCBlength = sizeof dcb;
    if (!GetCommState(handle, &dcb))
        return false;
    dcb.BaudRate = 57600;
    dcb.ByteSize = 8;
    dcb.Parity = NOPARITY;
    dcb.StopBits = ONESTOPBIT;
    dcb.fBinary = TRUE;
    dcb.fParity = FALSE;
    dcb.fOutxCtsFlow = dcb.fOutxDsrFlow = dcb.fDsrSensitivity = FALSE;
    dcb.fOutX = dcb.fInX = dcb.fErrorChar = dcb.fNull = dcb.fAbortOnError = FALSE;
    dcb.fDtrControl = DTR_CONTROL_ENABLE;
    dcb.fRtsControl = RTS_CONTROL_ENABLE;
    COMMTIMEOUTS t{MAXDWORD, 0, 0, 0, 200};
    return SetCommState(handle, &dcb) && SetCommTimeouts(handle, &t) &&
           PurgeComm(handle, PURGE_RXCLEAR | PURGE_TXCLEAR);
}

} // namespace

std::vector<std::string> serialPorts()
{
    HKEY opened = nullptr;
    if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, L"HARDWARE\\DEVICEMAP\\SERIALCOMM", 0, KEY_READ,
                      &opened) != ERROR_SUCCESS)
        return {};
    const Key key(opened);
    std::vector<std::string> ports;
    for (DWORD i = 0;; ++i) {
        wchar_t name[256];
        wchar_t data[64] = {};
        DWORD nameSize = 256, dataSize = sizeof data - sizeof(wchar_t), type = 0;
        const LSTATUS status = RegEnumValueW(key.get(), i, name, &nameSize, nullptr, &type,
                                             reinterpret_cast<BYTE*>(data), &dataSize);
        if (status == ERROR_NO_MORE_ITEMS)
            break;
        if (status == ERROR_SUCCESS && type == REG_SZ)
            ports.push_back(wintext::utf8(data));
    }
    return ports;
}

std::unique_ptr<SerialLine> openSerialLine(const std::string& port)
{
    Handle handle(CreateFileW(wintext::wide("\\\\.\\" + port).c_str(), GENERIC_READ | GENERIC_WRITE,
                              0, nullptr, OPEN_EXISTING, 0, nullptr));
    if (handle.get() == INVALID_HANDLE_VALUE) {
        handle.release();
        const DWORD error = GetLastError();
        // A COM port opened by another program is refused to every other.
        if (error == ERROR_ACCESS_DENIED || error == ERROR_SHARING_VIOLATION)
            throw PortError(PortText::SerialInUse(port), wintext::errorText(error));
        if (isGone(error))
            return nullptr;
        throw PortError(PortText::SerialFailed(port), wintext::errorText(error));
    }
    if (!configure(handle.get()))
        throw PortError(PortText::SerialFailed(port), wintext::errorText(GetLastError()));
    return std::make_unique<Win32SerialLine>(port, std::move(handle));
}

// The GPIO header of a Raspberry Pi, through the kernel's GPIO character
// device (its v2 interface, Linux 5.10 on): D0..D7 on GPIO 17, 18, 27, 22,
// 23, 24, 25 and 4, wherever a chip names its lines so (the Pi 5's RP1 too).

#include "FileDescriptor.h"
#include "Output.h"

#include <algorithm>
#include <array>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <linux/gpio.h>
#include <optional>
#include <sys/ioctl.h>

namespace {

// Header pins 11, 12, 13, 15, 16, 18, 22 and 7.
constexpr std::array<int, 8> Bcm = {17, 18, 27, 22, 23, 24, 25, 4};

// The Pi's own kernels name line 4 "GPIO4", the mainline device tree "GPIO_GCLK".
bool namesBit(std::string_view name, int bit)
{
    return name == "GPIO" + std::to_string(Bcm[bit]) || (Bcm[bit] == 4 && name == "GPIO_GCLK");
}

std::string why(int error)
{
    return std::strerror(error);
}

// Only on a Pi is a chip closed to this user worth a word: elsewhere it is
// the board's own (an x86 PC's chipset), never the LEDs'.
bool isRaspberryPi()
{
    std::string model;
    std::getline(std::ifstream("/proc/device-tree/model"), model, '\0');
    return model.starts_with("Raspberry Pi");
}

class GpioHeader final : public Output
{
public:
    explicit GpioHeader(FileDescriptor lines) : m_lines(std::move(lines)) {}

    [[nodiscard]] std::string name() const override { return "GPIO-Leiste"; }
    [[nodiscard]] std::string where() const override
    {
        return "an GPIO 17, 18, 27, 22, 23, 24, 25 und 4 der GPIO-Leiste (Pins 11, 12, 13, 15, "
               "16, 18, 22 und 7)";
    }
    void write(unsigned char byte) override
    {
        gpio_v2_line_values values{byte, 0xFF};
        if (::ioctl(m_lines.get(), GPIO_V2_LINE_SET_VALUES_IOCTL, &values) != 0)
            throw PortError(PortText::GpioFailed, why(errno));
    }
    [[nodiscard]] int read() override
    {
        gpio_v2_line_values values{0, 0xFF};
        if (::ioctl(m_lines.get(), GPIO_V2_LINE_GET_VALUES_IOCTL, &values) != 0)
            throw PortError(PortText::ReadFailed, why(errno));
        return int(values.bits & 0xFF);
    }

private:
    FileDescriptor m_lines; // the eight lines, requested as outputs
};

// The offsets of D0..D7's lines on this chip, if it has all eight.
std::optional<std::array<__u32, 8>> findLines(int chip)
{
    gpiochip_info info{};
    if (::ioctl(chip, GPIO_GET_CHIPINFO_IOCTL, &info) != 0)
        return std::nullopt;
    std::array<__u32, 8> offsets{};
    int found = 0;
    for (__u32 offset = 0; offset < info.lines; ++offset) {
        gpio_v2_line_info line{};
        line.offset = offset;
        if (::ioctl(chip, GPIO_V2_GET_LINEINFO_IOCTL, &line) != 0)
            continue;
        for (int bit = 0; bit < 8; ++bit)
            if (namesBit(line.name, bit)) {
                offsets[bit] = offset;
                found |= 1 << bit;
            }
    }
    return found == 0xFF ? std::optional(offsets) : std::nullopt;
}

// The eight lines as outputs, at once at `byte`; one request, so that one
// call sets them all together.
FileDescriptor requestLines(int chip, const std::array<__u32, 8>& offsets, unsigned char byte)
{
    gpio_v2_line_request request{};
    std::ranges::copy(offsets, request.offsets);
    std::strncpy(request.consumer, "bitlicht", sizeof request.consumer - 1);
    request.num_lines = 8;
    request.config.flags = GPIO_V2_LINE_FLAG_OUTPUT;
    request.config.num_attrs = 1;
    request.config.attrs[0].attr.id = GPIO_V2_LINE_ATTR_ID_OUTPUT_VALUES;
    request.config.attrs[0].attr.values = byte;
    request.config.attrs[0].mask = 0xFF;
    if (::ioctl(chip, GPIO_V2_GET_LINE_IOCTL, &request) != 0) {
        const int error = errno;
        throw PortError(error == EBUSY ? PortText::GpioBusy : PortText::GpioFailed, why(error));
    }
    return FileDescriptor(request.fd);
}

} // namespace

std::unique_ptr<Output> openGpioHeader(Search& search)
{
    std::vector<std::string> chips;
    std::error_code error;
    for (const auto& entry : std::filesystem::directory_iterator("/dev", error))
        if (const std::string name = entry.path().filename(); name.starts_with("gpiochip"))
            chips.push_back("/dev/" + name);
    std::ranges::sort(chips);
    std::optional<PortError> refused;
    for (const std::string& path : chips) {
        const FileDescriptor chip(::open(path.c_str(), O_RDWR | O_CLOEXEC));
        if (!chip) {
            if ((errno == EACCES || errno == EPERM) && !refused)
                refused = PortError(PortText::GpioRefused(path), why(errno),
                                    PortError::Kind::Failed, "GPIO-Leiste");
            continue;
        }
        if (const auto offsets = findLines(chip.get())) {
            try {
                return std::make_unique<GpioHeader>(
                    requestLines(chip.get(), *offsets, search.byte()));
            } catch (const PortError& e) {
                throw e.about("GPIO-Leiste");
            }
        }
    }
    if (refused && isRaspberryPi())
        throw *refused;
    return nullptr;
}

#pragma once

#include <memory>
#include <stdexcept>
#include <string>
#include <utility>

// A write or read that did not reach the LEDs. what() is only the German
// sentence shown to the user; detail() holds the technical rest (loader
// message, device, error number), for stderr, never for the window.
class PortError : public std::runtime_error
{
public:
    enum class Kind {
        Failed,  // the output is given up; the next write looks again
        Busy,    // another program holds it: the byte asked for last follows once it is free
        Pending, // a board is still being waited for: the byte follows once it answers
    };

    explicit PortError(std::string germanSentence, std::string detail = {},
                       Kind kind = Kind::Failed, std::string output = {})
        : std::runtime_error(germanSentence),
          m_detail(std::make_shared<const Detail>(Detail{std::move(detail), std::move(output)})),
          m_kind(kind)
    {
    }

    [[nodiscard]] const std::string& detail() const { return m_detail->text; }
    [[nodiscard]] Kind kind() const { return m_kind; }
    // The output the sentence is about ("Arduino an COM3"); empty when none was found.
    [[nodiscard]] const std::string& output() const { return m_detail->output; }
    [[nodiscard]] PortError about(std::string output) const
    {
        return PortError(what(), detail(), m_kind, std::move(output));
    }

private:
    struct Detail
    {
        std::string text, output;
    };
    // Shared, so copying the exception cannot throw.
    std::shared_ptr<const Detail> m_detail;
    Kind m_kind;
};

// The data register of the first parallel port, the only address served.
inline constexpr int ParallelDataPort = 888;

// Every sentence the user may read about the outputs, for all platforms.
namespace PortText {

// Linux: libieee1284 and the kernel's drivers.
inline constexpr const char* LibraryMissing =
    "Die Portbibliothek libieee1284 ist nicht installiert: Sie ist im Paket libieee1284-3 "
    "enthalten.";
inline constexpr const char* LibraryUnusable =
    "Die Portbibliothek libieee1284 ist vorhanden, aber nicht verwendbar: Installieren Sie das "
    "Paket libieee1284-3 neu.";
inline constexpr const char* SearchFailed = "Die Suche nach Parallelports ist fehlgeschlagen.";
inline constexpr const char* AccessRefused =
    "Zugriff auf den Parallelport verweigert: Der Benutzer muss zur Gruppe lp gehören und sich "
    "danach neu anmelden.";
inline constexpr const char* PpdevMissing =
    "Das Kernelmodul ppdev ist nicht geladen. Laden mit: sudo modprobe ppdev";
inline constexpr const char* OpenFailed = "Der Parallelport ließ sich nicht öffnen.";

// Windows: the port library of the program's width (BITLICHT_PORT_LIBRARY:
// inpoutx64.dll or inpout32.dll), which installs its driver when first run as
// administrator.
inline constexpr const char* InpoutMissing =
    "Die Portbibliothek " BITLICHT_PORT_LIBRARY " wurde nicht gefunden. Legen Sie sie neben "
    "bitlicht.exe oder in den Systemordner.";
inline constexpr const char* InpoutUnusable =
    "Die Portbibliothek " BITLICHT_PORT_LIBRARY " ist vorhanden, aber nicht verwendbar: Legen "
    "Sie die Fassung passend zu bitlicht.exe daneben (64-Bit-Programm: inpoutx64.dll, "
    "32-Bit-Programm: inpout32.dll).";
inline constexpr const char* InpoutDriverMissing =
    "Der Treiber der Portbibliothek " BITLICHT_PORT_LIBRARY " ist nicht geladen. Starten Sie "
    "Bitlicht einmal als Administrator, damit die Bibliothek ihren Treiber einrichtet.";

// The parallel port everywhere.
inline constexpr const char* ParallelName = "Parallelport";
inline const std::string ParallelWhere =
    "an den Datenleitungen des Parallelports (Adresse " + std::to_string(ParallelDataPort) + ")";
inline constexpr const char* NoPort = "Es wurde kein Parallelport gefunden.";
inline constexpr const char* Busy =
    "Der Parallelport ist belegt: Ein anderes Programm oder ein Treiber benutzt ihn.";
inline const std::string OnlyDataPort = "Nur die Adresse " + std::to_string(ParallelDataPort) +
                                        " des ersten Parallelports wird unterstützt.";
inline constexpr const char* ReadFailed = "Das Datenregister ließ sich nicht lesen.";

// The GPIO header (Linux).
inline std::string GpioRefused(const std::string& chip)
{
    return "Zugriff auf die GPIO-Leiste (" + chip +
           ") verweigert: Der Benutzer muss zur Gruppe gpio gehören und sich danach neu anmelden.";
}
inline constexpr const char* GpioBusy =
    "Die GPIO-Leitungen sind belegt: Ein anderes Programm benutzt sie.";
inline constexpr const char* GpioFailed = "Die GPIO-Leitungen ließen sich nicht setzen.";

// An Arduino with StandardFirmata on a USB serial port.
inline std::string SerialRefused(const std::string& port)
{
    return "Zugriff auf " + port +
           " verweigert: Der Benutzer muss zur Gruppe dialout gehören und sich danach neu "
           "anmelden.";
}
inline std::string SerialInUse(const std::string& port)
{
    return "Der Anschluss " + port + " ist belegt: Ein anderes Programm benutzt ihn.";
}
inline std::string SerialFailed(const std::string& port)
{
    return "Der Anschluss " + port + " ließ sich nicht einrichten.";
}
inline std::string NotFirmata(const std::string& port)
{
    return "Das Gerät an " + port +
           " antwortet nicht wie ein Arduino mit StandardFirmata; Bitlicht lässt es von nun an in "
           "Ruhe. Spielen Sie StandardFirmata auf (Arduino-IDE: Datei → Beispiele → Firmata → "
           "StandardFirmata) und starten Sie Bitlicht neu.";
}
inline std::string Unplugged(const std::string& port)
{
    return "Der Arduino an " + port +
           " wurde getrennt. Stecken Sie ihn wieder ein: Bitlicht sucht ihn beim nächsten "
           "Schreiben.";
}
inline std::string Waiting(const std::string& output)
{
    return "Bitlicht wartet auf die Antwort von „" + output +
           "“: Ein Arduino meldet sich etwa 2 Sekunden nach dem Öffnen.";
}

// In a browser page, which reaches an Arduino on USB through Web Serial.
inline constexpr const char* BrowserBoardName = "Arduino an USB";
inline constexpr const char* BrowserBoardWhere = "an den Pins 2 bis 9 des Arduino an USB";
inline constexpr const char* NoWebSerial =
    "Dieser Browser erreicht keine Geräte an USB (Web Serial): Die LEDs eines Arduino leuchten "
    "mit Chrome, Edge oder Opera auf Computern mit Windows, macOS oder Linux und auf "
    "Chromebooks. Hier arbeitet Bitlicht wie mit „Nur Simulation“.";
inline constexpr const char* NoDeviceYet =
    "Es ist noch kein Gerät gewählt. Nehmen Sie den Haken bei „Nur Simulation“ heraus: Dann "
    "fragt der Browser, an welchem Anschluss der Arduino steckt.";
inline constexpr const char* NoDeviceChosen =
    "Es wurde kein Gerät gewählt. Wenn Sie den Haken bei „Nur Simulation“ das nächste Mal "
    "herausnehmen, fragt der Browser erneut und zeigt dann alle seriellen Geräte.";
inline constexpr const char* BrowserNotFirmata =
    "Das gewählte Gerät antwortet nicht wie ein Arduino mit StandardFirmata; Bitlicht lässt es "
    "von nun an in Ruhe. Spielen Sie StandardFirmata auf (Arduino-IDE: Datei → Beispiele → "
    "Firmata → StandardFirmata) und laden Sie die Seite neu.";
inline constexpr const char* BrowserUnplugged =
    "Der Arduino wurde getrennt. Stecken Sie ihn wieder ein: Bitlicht verbindet sich dann von "
    "selbst.";
inline constexpr const char* BrowserOpenFailed =
    "Der Anschluss des Arduino ließ sich nicht öffnen: Vielleicht benutzt ihn ein anderes "
    "Programm oder ein anderer Tab. Bitlicht versucht es beim nächsten Schreiben wieder.";

// Everywhere.
inline constexpr const char* Searching = "Bitlicht sucht die LEDs.";
inline std::string NothingFound(const std::string& kinds)
{
    return "Es wurde " + kinds + " gefunden.";
}

} // namespace PortText

#pragma once

#include <memory>
#include <stdexcept>
#include <string>
#include <utility>

// A port write or read that did not happen. what() is only the German
// sentence shown to the user; detail() holds the technical rest (loader
// message, port name, error number), for stderr, never for the window.
class PortError : public std::runtime_error
{
public:
    explicit PortError(std::string germanSentence, std::string detail = {})
        : std::runtime_error(germanSentence),
          m_detail(std::make_shared<const std::string>(std::move(detail)))
    {
    }

    [[nodiscard]] const std::string& detail() const { return *m_detail; }

private:
    // Shared, so copying the exception cannot throw.
    std::shared_ptr<const std::string> m_detail;
};

// Every sentence the user may read about the port, for all platforms.
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

// Everywhere.
inline constexpr const char* NoPort = "Es wurde kein Parallelport gefunden.";
inline constexpr const char* Busy =
    "Der Parallelport ist belegt: Ein anderes Programm oder ein Treiber benutzt ihn.";
inline constexpr const char* OnlyDataPort =
    "Nur die Adresse 888 des ersten Parallelports wird unterstützt.";
inline constexpr const char* ReadFailed = "Das Datenregister ließ sich nicht lesen.";

} // namespace PortText

#pragma once

#include "PortError.h"

#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

// One way to the eight LEDs, open and in use: the parallel port, the GPIO
// header, an Arduino with StandardFirmata. Move-only by being unique; every
// failure is a PortError.
class Output
{
public:
    Output() = default;
    virtual ~Output() = default;
    Output(const Output&) = delete;
    Output& operator=(const Output&) = delete;

    // The frame's caption while in use: "Parallelport", "Arduino an COM3".
    [[nodiscard]] virtual std::string name() const = 0;
    // Where D0..D7 appear, ending a sentence "Die Bits D0 bis D7 liegen ... an."
    [[nodiscard]] virtual std::string where() const = 0;
    virtual void write(unsigned char byte) = 0;
    [[nodiscard]] virtual int read() = 0;
};

// What one search may ask of the one who runs it: the byte wanted on the LEDs
// right now (an output is opened with it), whether to give up, and saying
// that a board's answer is awaited, which may take seconds.
class Search
{
public:
    virtual ~Search() = default;
    [[nodiscard]] virtual unsigned char byte() const = 0;
    [[nodiscard]] virtual bool cancelled() const = 0;
    virtual void awaiting(const std::string& output) = 0;

    // The parallel port's library (libieee1284.so.3, inpoutx64.dll, inpout32.dll).
    std::string portLibrary;
    // Set by an opener whose output is there but cannot take the byte yet
    // (held by another program, a board in a page still starting): it is used
    // all the same, and takes the byte asked for last once it can.
    std::unique_ptr<PortError> busy;
    // Told after "nothing found": what kept a kind from being seen at all
    // (its library is not installed).
    std::unique_ptr<PortError> unseen;
    // Serial ports that answered as no Firmata board does: left alone for the
    // rest of the run, as they may be anything (a 3D printer, a modem).
    std::vector<std::string> leftAlone;
    // Given by a search whose outputs answer in events (a browser page's): an
    // opener or its output calls it whenever what it would answer has changed
    // (chosen, answered, failed, unplugged, plugged in); the search looks
    // again and tells its caller.
    std::function<void()> changed;
};

// One kind of output on this platform. open() returns the output with the
// search's byte written, nullptr when there is none of this kind, and throws
// PortError when there is one that cannot be used.
struct OutputKind
{
    const char* noun; // "ein Parallelport", for the sentence when nothing is found
    std::unique_ptr<Output> (*open)(Search& search);
    // For a kind whose device the user must pick first (a browser's serial
    // port): asks for it, called within the user's own action that asks for
    // real LEDs, the only moment a browser allows that.
    void (*ask)(Search& search) = nullptr;
};

// Tries each kind in turn and returns the first output that opens. Without
// any, throws the first reason found of a kind that is there but unusable,
// else that there is none at all (and what kept a kind from being seen).
[[nodiscard]] std::unique_ptr<Output> findOutput(const std::vector<OutputKind>& kinds,
                                                 Search& search);

// The platform's kinds, in the order they are tried (one file per platform).
[[nodiscard]] std::vector<OutputKind> outputKinds();

// The openers, each in its own file: the parallel port per platform, the
// GPIO header (Linux), a Firmata board on a serial port (every platform; in a
// page through Web Serial, where the user picks the port first).
[[nodiscard]] std::unique_ptr<Output> openParallelPort(Search& search);
[[nodiscard]] std::unique_ptr<Output> openGpioHeader(Search& search);
[[nodiscard]] std::unique_ptr<Output> openFirmataBoard(Search& search);
void askForFirmataBoard(Search& search);

// Opens an output that is found out only by writing to it (a port library):
// the search's byte is written. `missingLibrary` or `none` as the reason
// means there is none of this kind to be seen, Busy that it is there and
// held by another program for now.
[[nodiscard]] std::unique_ptr<Output> openByWriting(Search& search, std::unique_ptr<Output> output,
                                                    const char* missingLibrary, const char* none);

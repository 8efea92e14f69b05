#pragma once

#include <chrono>
#include <functional>
#include <memory>
#include <thread>

// One port as the worker drives it. prepare() (finding and opening the
// port) and claim() both return false while another program or driver holds
// the port, and may be tried again; neither waits on the holder for longer
// than PortWorker::ClaimWait. Every failure is thrown; the worker then drops
// the link.
class PortLink
{
public:
    virtual ~PortLink() = default;
    [[nodiscard]] virtual bool prepare() = 0;
    [[nodiscard]] virtual bool claim() = 0;
    virtual void write(unsigned char byte) = 0;
    [[nodiscard]] virtual int read() = 0;
};

// Does all port library work on a thread of its own, so that no caller
// waits on another holder of the port. The call that finds the port held
// elsewhere throws PortError "busy" within about ClaimWait, the calls after
// it at once; the worker tries the claim again every RetryInterval and, once
// it has the port, writes the last byte asked for and keeps the port.
//
// Should a claim not end by itself, the caller gives up after AnswerWait,
// and if the object goes meanwhile the worker is left to finish alone: it
// then gives everything back without writing.
class PortWorker final
{
public:
    // A claim of a free port ends in far less, also on a slow or busy machine.
    static constexpr std::chrono::milliseconds ClaimWait{20};
    static constexpr std::chrono::milliseconds RetryInterval{200};
    // Half a second: start-up still shows the window within one, and a claim
    // of a free port on a slow (emulated) machine is not taken for busy.
    static constexpr std::chrono::milliseconds AnswerWait{500};
    using Opener = std::function<std::unique_ptr<PortLink>()>;

    explicit PortWorker(Opener open);
    ~PortWorker();
    PortWorker(const PortWorker&) = delete;
    PortWorker& operator=(const PortWorker&) = delete;

    // Both rethrow what the link threw, or throw PortError busy.
    void write(unsigned char byte);
    [[nodiscard]] int read();

private:
    struct Shared;
    static void run(const std::shared_ptr<Shared>& shared, const Opener& open);
    int ask(bool write, unsigned char byte);

    std::shared_ptr<Shared> m_shared;
    std::thread m_thread;
};

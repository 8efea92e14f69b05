/* A board on a pty, for the tests: an Arduino Uno running the real
 * StandardFirmata firmware in simavr (ATmega328P, 16 MHz), its UART bridged
 * to a pseudo terminal, as a USB serial port would be.
 *   board firmata HEX LOG PTYFILE   the Uno
 *   board bare - LOG PTYFILE        a device that never answers
 *   board garbage - LOG PTYFILE     a device that sends noise without end
 * The pty's name goes to PTYFILE. LOG gets "rx XX" for every byte the host
 * sent and, for the Uno, "pins modes=OOOOOOOO levels=10000000" (pins 2..9,
 * O output, I input) whenever they change. As a real Uno does, the board
 * resets when the host opens the port, and its bootloader lets 1.5 s pass
 * before the firmware starts. Runs until killed (unplugged). */

#define _XOPEN_SOURCE 700
#define _DEFAULT_SOURCE

#include <simavr/avr_uart.h>
#include <simavr/sim_avr.h>
#include <simavr/sim_hex.h>
#include <simavr/sim_irq.h>

#include <fcntl.h>
#include <poll.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <termios.h>
#include <time.h>
#include <unistd.h>

/* Data-space addresses of the ATmega328P's port registers. */
enum { PINB = 0x23, DDRB = 0x24, PORTB = 0x25, DDRD = 0x2A, PORTD = 0x2B };
enum { UART = AVR_IOCTL_UART_GETIRQ('0') }; /* the UART's irqs */

static int master = -1;
static FILE* logFile;
static int uartReady = 1; /* the UART's input fifo takes bytes */

static double now(void)
{
    struct timespec t;
    clock_gettime(CLOCK_MONOTONIC, &t);
    return t.tv_sec + t.tv_nsec / 1e9;
}

static void fromBoard(struct avr_irq_t* irq, uint32_t value, void* param)
{
    (void)irq, (void)param;
    const unsigned char byte = (unsigned char)value;
    if (write(master, &byte, 1) < 0) { /* nobody listens: lost, as on the wire */
    }
}

/* XON (xon set) or XOFF: whether the UART takes the next byte. */
static void flow(struct avr_irq_t* irq, uint32_t value, void* xon)
{
    (void)irq, (void)value;
    uartReady = xon != NULL;
}

/* Whether the host has the port open: a pty master reports a hang-up while
 * no one has the other side open. */
static int hostHasPort(void)
{
    struct pollfd p = {master, POLLIN, 0};
    poll(&p, 1, 0);
    return !(p.revents & POLLHUP);
}

static void logPins(avr_t* avr)
{
    static char last[64];
    char now[64], modes[9], levels[9];
    for (int pin = 2; pin <= 9; ++pin) {
        const int ddr = pin < 8 ? avr->data[DDRD] : avr->data[DDRB];
        const int port = pin < 8 ? avr->data[PORTD] : avr->data[PORTB];
        const int bit = pin < 8 ? pin : pin - 8;
        modes[pin - 2] = (ddr >> bit & 1) ? 'O' : 'I';
        levels[pin - 2] = (port >> bit & 1) ? '1' : '0';
    }
    modes[8] = levels[8] = 0;
    snprintf(now, sizeof now, "pins modes=%s levels=%s", modes, levels);
    if (strcmp(now, last) != 0) {
        strcpy(last, now);
        fprintf(logFile, "%s\n", now);
        fflush(logFile);
    }
}

int main(int argc, char** argv)
{
    if (argc != 5) {
        fprintf(stderr, "usage: board firmata|bare|garbage HEX|- LOG PTYFILE\n");
        return 2;
    }
    const char* mode = argv[1];
    master = posix_openpt(O_RDWR | O_NOCTTY);
    if (master < 0 || grantpt(master) != 0 || unlockpt(master) != 0)
        return perror("pty"), 1;
    fcntl(master, F_SETFL, O_NONBLOCK);
    logFile = fopen(argv[3], "w");
    FILE* name = fopen(argv[4], "w");
    if (!logFile || !name)
        return perror("log"), 1;
    /* Raw from the start: no echo of what arrives before the host sets it. */
    const int slave = open(ptsname(master), O_RDWR | O_NOCTTY);
    struct termios raw;
    if (slave < 0 || tcgetattr(slave, &raw) != 0)
        return perror("pty"), 1;
    cfmakeraw(&raw);
    tcsetattr(slave, TCSANOW, &raw);
    close(slave);
    fprintf(name, "%s\n", ptsname(master));
    fclose(name);

    avr_t* avr = NULL;
    if (strcmp(mode, "firmata") == 0) {
        uint32_t size = 0, start = 0;
        uint8_t* flash = read_ihex_file(argv[2], &size, &start);
        avr = avr_make_mcu_by_name("atmega328p");
        if (!flash || !avr)
            return fprintf(stderr, "board: cannot load %s\n", argv[2]), 1;
        avr_init(avr);
        avr->frequency = 16000000;
        memcpy(avr->flash + start, flash, size);
        avr->codeend = size;
        free(flash);
        avr_irq_register_notify(avr_io_getirq(avr, UART, UART_IRQ_OUTPUT), fromBoard, NULL);
        avr_irq_register_notify(avr_io_getirq(avr, UART, UART_IRQ_OUT_XON), flow, &uartReady);
        avr_irq_register_notify(avr_io_getirq(avr, UART, UART_IRQ_OUT_XOFF), flow, NULL);
        uint32_t flags = 0;
        avr_ioctl(avr, AVR_IOCTL_UART_GET_FLAGS('0'), &flags);
        flags &= ~AVR_UART_FLAG_STDIO;
        avr_ioctl(avr, AVR_IOCTL_UART_SET_FLAGS('0'), &flags);
    }

    int opened = 0;
    double running = 0; /* when the firmware starts after a reset */
    unsigned char in[256];
    size_t have = 0, next = 0;
    for (;;) {
        const int open = hostHasPort();
        if (open && !opened && avr) { /* DTR: reset, then the bootloader's wait */
            avr_reset(avr);
            running = now() + 1.5;
        }
        opened = open;
        if (next == have) {
            const ssize_t n = read(master, in, sizeof in);
            have = n > 0 ? (size_t)n : 0;
            next = 0;
            for (size_t i = 0; i < have; ++i)
                fprintf(logFile, "rx %02x\n", in[i]);
            fflush(logFile);
        }
        if (strcmp(mode, "garbage") == 0 && open) {
            unsigned char noise[16];
            for (size_t i = 0; i < sizeof noise; ++i)
                noise[i] = (unsigned char)rand();
            if (write(master, noise, sizeof noise) < 0) {
            }
        }
        if (!avr || now() < running) {
            next = have; /* no firmware yet: what arrives is lost */
            usleep(2000);
            continue;
        }
        if (next < have && uartReady)
            avr_raise_irq(avr_io_getirq(avr, UART, UART_IRQ_INPUT), in[next++]);
        for (int i = 0; i < 2000; ++i) {
            const int state = avr_run(avr);
            if (state == cpu_Done || state == cpu_Crashed)
                return fprintf(stderr, "board: the firmware stopped\n"), 1;
        }
        logPins(avr);
    }
}

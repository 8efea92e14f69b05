/* Starts a program and reports the milliseconds from its start until it maps
 * a window on the X server, and its peak resident memory shortly after.
 * Usage: mapwait PROGRAM [ARGS...]   prints "<ms> <peak KiB>" */
#define _GNU_SOURCE
#include <signal.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <sys/wait.h>
#include <time.h>
#include <unistd.h>
#include <xcb/xcb.h>

static double now_ms(void)
{
    struct timespec t;
    clock_gettime(CLOCK_MONOTONIC, &t);
    return t.tv_sec * 1e3 + t.tv_nsec / 1e6;
}

static long peak_kib(pid_t pid)
{
    char path[64], line[256];
    long kib = -1;
    snprintf(path, sizeof path, "/proc/%d/status", (int)pid);
    FILE* f = fopen(path, "r");
    if (!f)
        return -1;
    while (fgets(line, sizeof line, f))
        if (strncmp(line, "VmHWM:", 6) == 0)
            kib = strtol(line + 6, NULL, 10);
    fclose(f);
    return kib;
}

int main(int argc, char** argv)
{
    if (argc < 2) {
        fprintf(stderr, "usage: mapwait PROGRAM [ARGS...]\n");
        return 2;
    }
    xcb_connection_t* x = xcb_connect(NULL, NULL);
    if (xcb_connection_has_error(x)) {
        fprintf(stderr, "mapwait: no X server\n");
        return 1;
    }
    xcb_screen_t* screen = xcb_setup_roots_iterator(xcb_get_setup(x)).data;
    const uint32_t mask = XCB_EVENT_MASK_SUBSTRUCTURE_NOTIFY;
    xcb_change_window_attributes(x, screen->root, XCB_CW_EVENT_MASK, &mask);
    xcb_flush(x);

    const double start = now_ms();
    const pid_t pid = fork();
    if (pid == 0) {
        execv(argv[1], argv + 1);
        _exit(127);
    }
    double mapped = -1;
    xcb_generic_event_t* e;
    while (mapped < 0 && (e = xcb_wait_for_event(x))) {
        if ((e->response_type & 0x7F) == XCB_MAP_NOTIFY)
            mapped = now_ms() - start;
        free(e);
    }
    usleep(300 * 1000); /* let it paint its first frame */
    const long kib = peak_kib(pid);
    kill(pid, SIGKILL);
    waitpid(pid, NULL, 0);
    xcb_disconnect(x);
    printf("%.1f %ld\n", mapped, kib);
    return mapped < 0;
}

// SPDX-License-Identifier: MIT
// The floor of a one-second tick on this machine: a process that does
// nothing but wake once a second, without Qt or any library beyond the C
// library. The shell benchmark runs it beside the Qt programs at rest, so
// that their CPU per minute can be read against what the machine charges
// for a wake-up at all. Runs until it is terminated.
#include <sys/timerfd.h>

#include <poll.h>
#include <unistd.h>

#include <cstdint>

int main()
{
    const int timer = timerfd_create(CLOCK_MONOTONIC, TFD_CLOEXEC);
    if (timer < 0)
        return 1;
    const itimerspec everySecond{{1, 0}, {1, 0}};
    if (timerfd_settime(timer, 0, &everySecond, nullptr) != 0)
        return 1;
    pollfd wait{timer, POLLIN, 0};
    for (;;) {
        if (poll(&wait, 1, -1) < 0)
            continue;
        std::uint64_t expirations = 0;
        if (read(timer, &expirations, sizeof expirations) < 0)
            continue;
    }
}

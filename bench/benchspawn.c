/* benchspawn PROGRAM ARGS...: runs the program as its child and writes to descriptor 3 the
 * monotonic start time (ns, just before fork), the end time (ns, when the child was reaped),
 * the child's peak resident size (KiB) and its exit status. Being tiny, it keeps a large
 * benchmark parent's memory out of the child's peak, which exec would otherwise inherit. */
#define _GNU_SOURCE
#include <errno.h>
#include <stdio.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <time.h>
#include <unistd.h>

static long long now_ns(void)
{
    struct timespec ts;
    clock_gettime(CLOCK_MONOTONIC, &ts);
    return (long long)ts.tv_sec * 1000000000LL + ts.tv_nsec;
}

int main(int argc, char *argv[])
{
    if (argc < 2)
        return 2;
    const long long start = now_ns();
    const pid_t pid = fork();
    if (pid < 0)
        return 2;
    if (pid == 0) {
        close(3);
        execvp(argv[1], argv + 1);
        _exit(127);
    }
    int status = 0;
    struct rusage usage;
    while (wait4(pid, &status, 0, &usage) < 0 && errno == EINTR) {
    }
    const long long end = now_ns();
    dprintf(3, "%lld %lld %ld %d\n", start, end, usage.ru_maxrss,
            WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status));
    return 0;
}

// Runs a program as a child and reports what it cost: its wall time, its CPU time and its peak
// resident memory. The kernel counts in a child's peak the memory of the process it was forked
// from, so a program started straight from the bench's interpreter would show at least the
// interpreter's size; started from this small launcher it shows its own. Prints, on standard
// error after the child's own output:
//   benchrun wall_s N cpu_s N peak_kb N
// and exits with the child's status (128 + the signal when a signal ended it).
//   parlavo_benchrun PROGRAM [ARGUMENT...]

#include <cerrno>
#include <cstdio>
#include <ctime>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {

constexpr int kCannotStart = 127;
constexpr int kSignalled = 128;
constexpr int kUsageStatus = 2;

double secondsNow() {
    timespec now{};
    clock_gettime(CLOCK_MONOTONIC, &now);
    return static_cast<double>(now.tv_sec) + static_cast<double>(now.tv_nsec) / 1e9;
}

double seconds(const timeval& time) {
    return static_cast<double>(time.tv_sec) + static_cast<double>(time.tv_usec) / 1e6;
}

} // namespace

int main(int argc, char** argv) {
    if (argc < 2) {
        std::fprintf(stderr, "usage: parlavo_benchrun PROGRAM [ARGUMENT...]\n");
        return kUsageStatus;
    }
    const double start = secondsNow();
    const pid_t child = fork();
    if (child < 0) {
        std::perror("parlavo_benchrun: fork");
        return kCannotStart;
    }
    if (child == 0) {
        execv(argv[1], argv + 1);
        std::perror("parlavo_benchrun: exec");
        _exit(kCannotStart);
    }
    int status = 0;
    rusage usage{};
    while (wait4(child, &status, 0, &usage) < 0) {
        if (errno != EINTR) {
            std::perror("parlavo_benchrun: wait");
            return kCannotStart;
        }
    }
    const double wall = secondsNow() - start;
    std::fprintf(stderr, "benchrun wall_s %.6f cpu_s %.6f peak_kb %ld\n", wall,
                 seconds(usage.ru_utime) + seconds(usage.ru_stime), usage.ru_maxrss);
    return WIFEXITED(status) ? WEXITSTATUS(status) : kSignalled + WTERMSIG(status);
}

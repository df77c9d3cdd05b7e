// Writes the file named by its argument again and again with writeFileAtomically, alternating the
// new and the old test content, and reports each finished write with one byte on standard output.
// The crash-safety test kills it at arbitrary moments.
#include "atomic_contents.h"
#include "platform/files.h"

#include <csignal>
#include <cstdio>
#include <sys/prctl.h>
#include <unistd.h>

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: atomic_writer FILE\n");
        return 2;
    }
    // Never outlive the test that started us.
    prctl(PR_SET_PDEATHSIG, SIGKILL);
    const std::string contents[] = {parlavo::test::atomicTestContent(true),
                                    parlavo::test::atomicTestContent(false)};
    for (int i = 0; i < 100000; ++i) {
        const parlavo::Status status = parlavo::writeFileAtomically(argv[1], contents[i % 2]);
        if (!status.ok()) {
            std::fprintf(stderr, "%s\n", status.error.c_str());
            return 1;
        }
        if (write(STDOUT_FILENO, "w", 1) != 1) {
            return 1;
        }
    }
    return 0;
}

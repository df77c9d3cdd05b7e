#include "pass/workload.h"
#include "sync/sync.h"

#include <cstdio>
#include <cstdlib>
#include <iostream>
#include <string>
#include <vector>

int main(int argc, char** argv) {
    // Nothing here writes through C's streams: the list of pending entries then goes out through
    // the stream's own buffer, in half as many writes as through C's.
    std::ios::sync_with_stdio(false);
    std::vector<std::string> args(argv + (argc > 0 ? 1 : 0), argv + argc);
    // Everything is on disk and said when the run returns; the files and tables it leaves are given
    // back with the process at once, where freeing them piece by piece takes milliseconds.
    parlavo::LoadResult leftovers;
    int status = parlavo::runSync(args, std::cout, std::cerr, &leftovers);
    std::cout.flush();
    std::fflush(nullptr);
    std::_Exit(status);
}

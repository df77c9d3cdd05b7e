#include "sync/sync.h"

#include <iostream>
#include <string>
#include <vector>

int main(int argc, char** argv) {
    // Nothing here writes through C's streams: the list of pending entries then goes out through
    // the stream's own buffer, in half as many writes as through C's.
    std::ios::sync_with_stdio(false);
    std::vector<std::string> args(argv + (argc > 0 ? 1 : 0), argv + argc);
    int status = parlavo::runSync(args, std::cout, std::cerr);
    std::cout.flush();
    return status;
}

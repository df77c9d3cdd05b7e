#include "sync/sync.h"

#include <iostream>
#include <string>
#include <vector>

int main(int argc, char** argv) {
    // Nothing here writes through C's streams: the list of pending entries then goes out in one
    // write instead of one for each 4 KB.
    std::ios::sync_with_stdio(false);
    std::vector<std::string> args(argv + (argc > 0 ? 1 : 0), argv + argc);
    int status = parlavo::runSync(args, std::cout, std::cerr);
    std::cout.flush();
    return status;
}

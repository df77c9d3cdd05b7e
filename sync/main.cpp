#include "sync/sync.h"

#include <iostream>
#include <string>
#include <vector>

int main(int argc, char** argv) {
    std::vector<std::string> args(argv + (argc > 0 ? 1 : 0), argv + argc);
    int status = parlavo::runSync(args, std::cout, std::cerr);
    std::cout.flush();
    return status;
}

#include "app/startup.h"

int main(int argc, char** argv) {
    return parlavo::runParlavo(argc, argv);
}

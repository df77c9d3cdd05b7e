#include <cstdio>

// Placeholder until the companion's logic lands.
int main() {
    std::fputs("parlavo-sync: not built yet\n", stderr);
    return 2;
}

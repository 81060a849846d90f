// Writes a synthetic capture of a busy all-band cluster node to stdout (node_capture.h). The same
// arguments always give the same capture.
//
//   ionvane-capture-generator [HOURS [LINES_PER_HOUR [SEED]]]   (defaults 24, 4200, 1)
#include "node_capture.h"

#include <cstdlib>
#include <iostream>

int main(int argc, char *argv[]) {
    const int hours = argc > 1 ? std::atoi(argv[1]) : 24;
    const int linesPerHour = argc > 2 ? std::atoi(argv[2]) : 4200;
    const auto seed = static_cast<unsigned>(argc > 3 ? std::atoi(argv[3]) : 1);
    if (hours <= 0 || linesPerHour <= 0) {
        std::cerr << "usage: ionvane-capture-generator [HOURS [LINES_PER_HOUR [SEED]]]\n";
        return 2;
    }
    ionvane::synthetic::WriteNodeCapture(std::cout, hours, linesPerHour, seed);
    return std::cout ? 0 : 1;
}

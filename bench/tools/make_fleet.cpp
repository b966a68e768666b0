// make-fleet ROWS FLEET OUT: writes a generated failure data file (Windows-1251,
// CR LF) of ROWS failure rows for a fleet of FLEET products, for measuring the
// programs on large files.
#include <cstdio>
#include <cstdlib>
#include <fstream>

#include "../fleet_file.h"

int main(int argc, char** argv) {
    if (argc != 4) {
        std::fprintf(stderr, "usage: make-fleet ROWS FLEET OUT\n");
        return 1;
    }
    const std::string bytes = relbench::FleetFile(std::atoi(argv[1]), std::atoi(argv[2]));
    std::ofstream(argv[3], std::ios::binary).write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    return 0;
}

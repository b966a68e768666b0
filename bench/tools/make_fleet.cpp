// make-fleet ROWS FLEET OUT: writes a generated failure data file (Windows-1251,
// CR LF) of ROWS failure rows for a fleet of FLEET products, for measuring the
// programs on large files.
// make-fleet --model FLEET A B K SEED OUT: a fleet of FLEET products simulated from the
// failure-accumulation model (Weibull shape A, scale B h, repetition coefficient K,
// warranty ends normal with mean 2500 h and SD 550 h), times to 0.1 h.
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <fstream>

#include "../fleet_file.h"
#include "fit/ml_fit.h"

namespace {

std::string ModelFleet(double fleet, double A, double B, double K, std::uint64_t seed) {
    rel::MlInput design;
    design.Park = fleet;
    design.Sred = 2500;
    design.SKO = 550;
    const std::vector<double> times = rel::MlSimulateFleet(design, {A, B, K, 2500, 550}, seed);
    const char* sources[] = {"Двигатель", "Электрика", "Гидравлика", "Топливная система", "Трансмиссия"};
    std::string s = "Парк, смоделированный по модели накопления отказов\r\n2500\r\n550\r\n" +
                    std::to_string(static_cast<long long>(fleet)) + "\r\n" + std::to_string(times.size()) +
                    "\r\n1\r\n";
    for (const char* c : sources) s += std::string(c) + "\r\n";
    char buf[64];
    for (std::size_t i = 0; i < times.size(); ++i) {
        std::snprintf(buf, sizeof buf, "%.1f\t", std::max(1.0, std::round(times[i] * 10) / 10));
        s += buf;
        s += sources[i % 5];
        s += "\r\n";
    }
    return relbench::ToCp1251(s);
}

}  // namespace

int main(int argc, char** argv) {
    std::string bytes;
    const char* out = nullptr;
    if (argc == 8 && std::string(argv[1]) == "--model") {
        bytes = ModelFleet(std::atof(argv[2]), std::atof(argv[3]), std::atof(argv[4]), std::atof(argv[5]),
                           std::strtoull(argv[6], nullptr, 10));
        out = argv[7];
    } else if (argc == 4) {
        bytes = relbench::FleetFile(std::atoi(argv[1]), std::atoi(argv[2]));
        out = argv[3];
    } else {
        std::fprintf(stderr, "usage: make-fleet ROWS FLEET OUT | make-fleet --model FLEET A B K SEED OUT\n");
        return 1;
    }
    std::ofstream(out, std::ios::binary).write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    return 0;
}

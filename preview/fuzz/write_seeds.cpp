// Writes the sample drawings as the fuzz target's seed corpus: write_seeds <folder>.
#include <filesystem>
#include <fstream>
#include <iostream>

#include "preview/tests/fixture.h"

int main(int argc, char** argv) {
    if (argc != 2) {
        std::cerr << "usage: write_seeds <folder>\n";
        return 2;
    }
    const std::filesystem::path dir = argv[1];
    std::filesystem::create_directories(dir);
    for (const auto& s : kelva::preview::fixture::samples()) {
        std::ofstream out(dir / (s.name + ".dwg"), std::ios::binary | std::ios::trunc);
        out.write(reinterpret_cast<const char*>(s.bytes.data()), static_cast<std::streamsize>(s.bytes.size()));
        if (!out) {
            std::cerr << "cannot write " << s.name << "\n";
            return 1;
        }
    }
    return 0;
}

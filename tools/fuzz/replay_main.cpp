// A fuzz target's main outside a fuzzing build: runs the target once on each file named on the
// command line (a finding, a corpus entry), as libFuzzer does when given files.
#include <cstdint>
#include <cstdio>
#include <fstream>
#include <iterator>
#include <string>

#include "common/desktop.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size);

int main(int argc, char** argv)
{
    for (int i = 1; i < argc; ++i) {
        std::ifstream file(argv[i], std::ios::binary);
        if (!file) {
            printProblem(std::string(argv[i]) + ": cannot be read");
            return 2;
        }
        const std::string data((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
        LLVMFuzzerTestOneInput(reinterpret_cast<const uint8_t*>(data.data()), data.size());
        std::printf("%s: done\n", argv[i]);
    }
    return 0;
}

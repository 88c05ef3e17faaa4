// libFuzzer target for the settings file reader: every input must either be refused with a
// reason and a line inside the file, or read, write back and read again to the same settings.
#include "tools/fuzz/store/store_oracle.h"

#include <cstdint>
#include <cstdio>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const Expected<void> checked = checkStoreText(std::string_view(reinterpret_cast<const char*>(data), size));
    if (!checked) {
        std::fprintf(stderr, "store check failed: %s\n", checked.error().c_str());
        std::abort();
    }
    return 0;
}

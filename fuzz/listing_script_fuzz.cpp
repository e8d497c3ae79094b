// Feeds arbitrary bytes to the listing script parser. Besides the sanitizers' checks it
// verifies that an accepted script yields paths free of NUL and CR and a non-empty output path.
#include "listing/ListingScript.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const auto command =
        parseListingScript(std::string_view(reinterpret_cast<const char*>(data), size));
    if (command) {
        const std::string_view forbidden("\r\n\0", 3);
        if (command->outputPath.empty() ||
            command->directory.find_first_of(forbidden) != std::string::npos ||
            command->outputPath.find_first_of(forbidden) != std::string::npos) {
            std::abort();
        }
    }
    return 0;
}

// The country file reader: any bytes as the file, then a few calls looked up in what it read.
#include "places/call_place.h"

#include <cstdint>
#include <string_view>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size) {
    using namespace ionvane;
    const std::string_view text(reinterpret_cast<const char *>(data), size);
    places::CountryFile countries;
    countries.Read(text);
    (void)places::CountryFileVersion(text);
    places::GridMemory memory(4);
    memory.Load(text);
    for (const std::string_view call : {"EA8/ON4CAU", "ON4CAU/P", "G4ABC/MM", "K1ABC", "3D2AG/P"}) {
        (void)places::CallPlace(call, 0, &memory, &countries);
    }
    return 0;
}

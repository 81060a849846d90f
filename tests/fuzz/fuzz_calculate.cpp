// One press of Calculate with four box texts and both settings drawn from the input: no crash, no
// sanitizer report, every status one of the table's, and no nan or inf on screen.
#include "command/calculate_command.h"

#include <algorithm>
#include <cctype>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

namespace {

using namespace ionvane;

bool MentionsNonFinite(std::string_view text) {
    std::string lower(text);
    std::transform(lower.begin(), lower.end(), lower.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return lower.find("nan") != std::string::npos || lower.find("inf") != std::string::npos;
}

bool IsKnownStatus(std::int16_t status) {
    return status == 0 || command::LookUpStatus(status).has_value();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size) {
    if (size < 4) {
        return 0;
    }
    // Settings: E layer 90..130 km in tenths, home height 1..5000 m, and the number format.
    const int esTenths = 900 + (data[0] | (data[1] << 8)) % 401;
    const int metres = 1 + (data[2] | (data[3] << 8)) % 5000;
    const bool german = (data[0] & 0x80) != 0;
    std::string_view rest(reinterpret_cast<const char *>(data + 4), size - 4);
    std::string boxes[4];
    for (auto &box : boxes) {
        const auto end = rest.find('\n');
        box = std::string(rest.substr(0, end));
        rest = end == std::string_view::npos ? std::string_view{} : rest.substr(end + 1);
    }

    calc::CalcState state;
    state.EsLayerHeightKm = static_cast<float>(esTenths / 10.0);
    state.HomeHeightKm = static_cast<float>(metres * 0.001);
    command::ScreenTexts screen;
    screen.txtHomeLoc = boxes[3];
    const calc::NumberFormat format =
        german ? calc::NumberFormat{",", ".", 2} : calc::EnglishNumberFormat();
    const auto outcome = command::CalculateCommand(format).Run(
        state, command::CalculateInput{boxes[0], boxes[1], boxes[2]}, screen);

    if (!IsKnownStatus(outcome.StatusShown)) {
        std::abort();
    }
    const bool typedNonFinite = std::any_of(std::begin(boxes), std::end(boxes), MentionsNonFinite);
    if (!typedNonFinite) {
        for (const auto *text :
             {&screen.lblAZResult, &screen.lblAzResult2, &screen.lblMidPoint, &screen.lblMUFqth,
              &screen.lblMUFqth2, &screen.lblFOT, &screen.Title, &screen.txtHomeLoc}) {
            if (MentionsNonFinite(*text)) {
                std::abort();
            }
        }
    }
    return 0;
}

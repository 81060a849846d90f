// How large each entity is: the country file gives a centre only, and a station of Italy may be
// 600 km from it while one of Malta is within 25. Half the largest extent of the entity's land,
// km, rounded, from an atlas. Entities not listed get EntitySizeUnknownKm.
#include "country_file.h"

#include <algorithm>
#include <array>
#include <utility>

namespace ionvane::places {

namespace {

using Size = std::pair<std::string_view, double>;

// By primary prefix as the country file writes it (without the '*' of WAE-only entities).
constexpr std::array EntitySizes = {
    // Europe
    Size{"1A", 1}, Size{"3A", 5}, Size{"HV", 1}, Size{"T7", 10}, Size{"HB0", 15}, Size{"C3", 20},
    Size{"9H", 25}, Size{"ZB", 5}, Size{"OY", 60}, Size{"TF", 250}, Size{"GD", 30}, Size{"GJ", 15},
    Size{"GU", 15}, Size{"GI", 90}, Size{"GW", 130}, Size{"GM", 230}, Size{"G", 300},
    Size{"EI", 240}, Size{"ON", 140}, Size{"PA", 150}, Size{"LX", 45}, Size{"DL", 430},
    Size{"F", 500}, Size{"TK", 90}, Size{"I", 600}, Size{"IS", 140}, Size{"IT9", 140},
    Size{"IG9", 60}, Size{"EA", 500}, Size{"EA6", 150}, Size{"EA8", 250}, Size{"EA9", 10},
    Size{"CT", 280}, Size{"CT3", 60}, Size{"CU", 320}, Size{"HB", 170}, Size{"OE", 290},
    Size{"OK", 240}, Size{"OM", 220}, Size{"SP", 350}, Size{"HA", 260}, Size{"S5", 120},
    Size{"9A", 250}, Size{"E7", 150}, Size{"YU", 230}, Size{"Z3", 100}, Size{"Z6", 70},
    Size{"ZA", 170}, Size{"SV", 400}, Size{"SV5", 150}, Size{"SV9", 130}, Size{"SV/a", 30},
    Size{"LZ", 220}, Size{"YO", 300}, Size{"ER", 180}, Size{"UR", 650}, Size{"EU", 300},
    Size{"YL", 230}, Size{"LY", 180}, Size{"ES", 170}, Size{"OH", 550}, Size{"OH0", 60},
    Size{"OJ0", 1}, Size{"SM", 800}, Size{"LA", 900}, Size{"OZ", 200}, Size{"JW", 250},
    Size{"JX", 30}, Size{"UA", 1500}, Size{"UA2", 100}, Size{"UA9", 3000}, Size{"TA", 800},
    Size{"TA1", 150}, Size{"5B", 120}, Size{"4U1V", 1}, Size{"4U1I", 1},
    // Africa and the Middle East
    Size{"4X", 200}, Size{"SU", 700}, Size{"CN", 700}, Size{"7X", 1000}, Size{"3V", 400},
    Size{"5A", 800}, Size{"OD", 100}, Size{"YK", 300}, Size{"JY", 250}, Size{"YI", 400},
    Size{"9K", 80}, Size{"A7", 80}, Size{"A9", 20}, Size{"A6", 180}, Size{"A4", 450},
    Size{"HZ", 1000}, Size{"EP", 1000}, Size{"4L", 250}, Size{"4J", 200}, Size{"EK", 150},
    Size{"D4", 150}, Size{"ZS", 800}, Size{"5N", 600}, Size{"6W", 250},
    // North America and the Caribbean
    Size{"K", 2300}, Size{"VE", 2500}, Size{"XE", 1500}, Size{"KL", 1200}, Size{"KH6", 300},
    Size{"VO1", 300}, Size{"VY2", 120}, Size{"OX", 1200}, Size{"KP4", 90}, Size{"KP2", 40},
    Size{"HI", 180}, Size{"HH", 150}, Size{"CO", 600}, Size{"6Y", 120}, Size{"ZF", 40},
    Size{"J3", 20}, Size{"J6", 25}, Size{"J7", 25}, Size{"J8", 40}, Size{"8P", 15}, Size{"FG", 60},
    Size{"FM", 40}, Size{"PJ2", 30}, Size{"PJ4", 25}, Size{"P4", 20}, Size{"9Y", 70},
    Size{"V2", 20}, Size{"VP2E", 15}, Size{"VP2M", 10}, Size{"VP2V", 30}, Size{"V4", 20},
    Size{"VP5", 100}, Size{"C6", 400}, Size{"FS", 10}, Size{"PJ7", 10}, Size{"FJ", 10},
    Size{"KP1", 5}, Size{"YN", 250}, Size{"TI", 200}, Size{"HP", 300}, Size{"HR", 250},
    Size{"TG", 200}, Size{"YS", 120}, Size{"V3", 150}, Size{"VP9", 15},
    // South America
    Size{"YV", 700}, Size{"HK", 900}, Size{"8R", 300}, Size{"PZ", 250}, Size{"FY", 200},
    Size{"PY", 2000}, Size{"LU", 1700}, Size{"CE", 2000}, Size{"CX", 250}, Size{"ZP", 450},
    Size{"CP", 700}, Size{"OA", 900}, Size{"HC", 400}, Size{"HC8", 150},
    // Asia and Oceania
    Size{"UN", 1400}, Size{"EY", 300}, Size{"EZ", 500}, Size{"UK", 600}, Size{"AP", 800},
    Size{"VU", 1500}, Size{"4S", 200}, Size{"9V", 20}, Size{"9M2", 400}, Size{"HS", 600},
    Size{"3W", 800}, Size{"JA", 1200}, Size{"BY", 2200}, Size{"HL", 250}, Size{"BV", 200},
    Size{"DU", 800}, Size{"YB", 2500}, Size{"VK", 2000}, Size{"ZL", 800}};

} // namespace

double EntitySizeKm(std::string_view primaryPrefix) {
    const auto found = std::find_if(EntitySizes.begin(), EntitySizes.end(),
                                    [&](const Size &size) { return size.first == primaryPrefix; });
    return found == EntitySizes.end() ? EntitySizeUnknownKm : found->second;
}

} // namespace ionvane::places

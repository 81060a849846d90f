// Where the call areas of the larger entities lie: in Italy, Spain and the United States the digit
// of a call names a region, which places a station far better than the entity's centre. Centres
// and half the largest extent of each area's land, km, rounded, from an atlas.
#include "country_file.h"

#include <algorithm>
#include <array>

namespace ionvane::places {

namespace {

struct Area {
    std::string_view PrimaryPrefix;
    char Digit;
    double LatDeg, LonDeg; ///< east positive
    double SizeKm;
};

constexpr std::array Areas = {
    // Italy (Sardinia and Sicily are entities of their own)
    Area{"I", '0', 42.2, 12.6, 150}, // Lazio, Umbria
    Area{"I", '1', 44.9, 8.0, 150},  // Piedmont, Liguria, Aosta Valley
    Area{"I", '2', 45.6, 9.7, 130},  // Lombardy
    Area{"I", '3', 45.9, 12.3, 170}, // Veneto, Trentino, Friuli
    Area{"I", '4', 44.5, 11.0, 130}, // Emilia-Romagna
    Area{"I", '5', 43.4, 11.1, 130}, // Tuscany
    Area{"I", '6', 42.9, 13.7, 130}, // Marche, Abruzzo
    Area{"I", '7', 40.9, 16.5, 180}, // Apulia, Basilicata
    Area{"I", '8', 39.9, 15.9, 220}, // Campania, Calabria, Molise
    // Spain (the Balearic and Canary Islands, Ceuta and Melilla are entities of their own)
    Area{"EA", '1', 42.5, -6.0, 250}, // Galicia, Asturias, Cantabria, Castile and Leon
    Area{"EA", '2', 42.3, -1.5, 200}, // Basque Country, Navarre, La Rioja, Aragon
    Area{"EA", '3', 41.7, 1.8, 130},  // Catalonia
    Area{"EA", '4', 39.6, -4.5, 250}, // Madrid, Castile-La Mancha, Extremadura
    Area{"EA", '5', 39.0, -0.8, 200}, // Valencia, Murcia
    Area{"EA", '7', 37.4, -4.6, 250}, // Andalusia
    // The United States
    Area{"K", '1', 43.5, -71.5, 300},  // New England
    Area{"K", '2', 41.8, -74.8, 250},  // New York, New Jersey
    Area{"K", '3', 40.3, -77.5, 250},  // Pennsylvania, Maryland, Delaware
    Area{"K", '4', 33.5, -83.5, 700},  // the South-East
    Area{"K", '5', 32.5, -97.5, 700},  // Texas to Mississippi
    Area{"K", '6', 37.0, -119.5, 500}, // California
    Area{"K", '7', 42.5, -114.0, 900}, // the North-West and the Rockies
    Area{"K", '8', 40.5, -82.5, 300},  // Michigan, Ohio, West Virginia
    Area{"K", '9', 41.8, -88.2, 300},  // Illinois, Indiana, Wisconsin
    Area{"K", '0', 42.0, -98.0, 800},  // the Plains
};

} // namespace

std::optional<AreaPlace> CallAreaPlace(std::string_view primaryPrefix, char digit) {
    const auto found = std::find_if(Areas.begin(), Areas.end(), [&](const Area &area) {
        return area.PrimaryPrefix == primaryPrefix && area.Digit == digit;
    });
    if (found == Areas.end()) {
        return std::nullopt;
    }
    return AreaPlace{found->LatDeg, found->LonDeg, found->SizeKm};
}

} // namespace ionvane::places

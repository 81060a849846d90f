// Costs of the calculation: one whole Calculate, its parts, and the number texts.
#include "calc/home_location.h"
#include "calc/locator.h"
#include "calc/path.h"
#include "calc/path_centre.h"
#include "command/calculate_command.h"
#include "propagation/es_layer.h"

#include <benchmark/benchmark.h>

#include <array>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <vector>

// The libm calls of the calculation, recorded while `Recording` is set (the link wraps sin, cos,
// sincos, tan, atan and sqrt; see CMakeLists.txt) and replayed alone by the floor benchmarks.
namespace {
enum class LibmFunction : std::uint8_t { Sin, Cos, SinCos, Tan, Atan, Sqrt };
struct LibmCall {
    LibmFunction Function;
    double Argument;
};
bool Recording = false;
std::vector<LibmCall> Recorded;
void Note(LibmFunction function, double argument) {
    if (Recording) {
        Recorded.push_back({function, argument});
    }
}
} // namespace

extern "C" {
double __real_sin(double x);
double __real_cos(double x);
void __real_sincos(double x, double *sinX, double *cosX);
double __real_tan(double x);
double __real_atan(double x);
double __real_sqrt(double x);
double __wrap_sin(double x) {
    Note(LibmFunction::Sin, x);
    return __real_sin(x);
}
double __wrap_cos(double x) {
    Note(LibmFunction::Cos, x);
    return __real_cos(x);
}
void __wrap_sincos(double x, double *sinX, double *cosX) {
    Note(LibmFunction::SinCos, x);
    __real_sincos(x, sinX, cosX);
}
double __wrap_tan(double x) {
    Note(LibmFunction::Tan, x);
    return __real_tan(x);
}
double __wrap_atan(double x) {
    Note(LibmFunction::Atan, x);
    return __real_atan(x);
}
double __wrap_sqrt(double x) {
    Note(LibmFunction::Sqrt, x);
    return __real_sqrt(x);
}
}

namespace {

using namespace ionvane;

const calc::NumberFormat English = calc::EnglishNumberFormat();

struct Spot {
    const char *From, *To, *Freq, *Home;
};

// Realistic sporadic-E spots from home stations across Europe and North America.
constexpr std::array<Spot, 8> Spots = {{
    {"IO90IR", "JN77EX", "50.1", "IO90IR"},
    {"JN48QT", "IM98", "50.099", "JO65"},
    {"IO91VL", "JN58TD", "144.174", "IO90IR"},
    {"JO65AB", "IL38BO", "50.313", "JO31"},
    {"EN49U", "DM87I", "50.44", "DM87IT"},
    {"KM72", "KN04HS", "70.2", "KN00"},
    {"FN42", "EL96", "50.125", "EN61"},
    {"JO01", "KM64", "28.885", "IO83QM"},
}};

calc::CalcState Settings() {
    calc::CalcState state;
    state.EsLayerHeightKm = 110.0F;
    state.HomeHeightKm = 0.15F;
    return state;
}

void WholeCalculateWorkedExample(benchmark::State &bench) {
    const command::CalculateCommand command(English);
    calc::CalcState state = Settings();
    const command::CalculateInput input{"IO90IR", "JN77EX", "50.1"};
    command::ScreenTexts screen;
    for (auto _ : bench) {
        screen.txtHomeLoc = "IO90IR";
        benchmark::DoNotOptimize(command.Run(state, input, screen));
    }
}
BENCHMARK(WholeCalculateWorkedExample);

void WholeCalculateSpotMix(benchmark::State &bench) {
    const command::CalculateCommand command(English);
    calc::CalcState state = Settings();
    command::ScreenTexts screen;
    std::size_t next = 0;
    for (auto _ : bench) {
        const Spot &spot = Spots[next++ % Spots.size()];
        screen.txtHomeLoc = spot.Home;
        benchmark::DoNotOptimize(
            command.Run(state, command::CalculateInput{spot.From, spot.To, spot.Freq}, screen));
    }
}
BENCHMARK(WholeCalculateSpotMix);

// The same runs without the screen texts, as the tracker makes them: the figures alone, from a
// spot's frequency as a number (its text is not read).
void FiguresOnlyWorkedExample(benchmark::State &bench) {
    const command::CalculateCommand command(English);
    calc::CalcState state = Settings();
    const command::CalculateInput input{"IO90IR", "JN77EX", "50.1", 50.1};
    for (auto _ : bench) {
        benchmark::DoNotOptimize(command.RunWithoutTexts(state, input, "IO90IR"));
    }
}
BENCHMARK(FiguresOnlyWorkedExample);

void FiguresOnlySpotMix(benchmark::State &bench) {
    const command::CalculateCommand command(English);
    calc::CalcState state = Settings();
    std::vector<command::CalculateInput> inputs;
    for (const Spot &spot : Spots) {
        inputs.push_back({spot.From, spot.To, spot.Freq, std::strtod(spot.Freq, nullptr)});
    }
    std::size_t next = 0;
    for (auto _ : bench) {
        const std::size_t i = next++ % Spots.size();
        benchmark::DoNotOptimize(command.RunWithoutTexts(state, inputs[i], Spots[i].Home));
    }
}
BENCHMARK(FiguresOnlySpotMix);

// The libm calls one Calculate of `spot` makes, in order. The square roots the compiler inlines as
// one instruction (all but those of negative arguments) are no calls and are not counted.
std::vector<LibmCall> LibmCallsOf(const Spot &spot) {
    const command::CalculateCommand command(English);
    calc::CalcState state = Settings();
    command::ScreenTexts screen;
    screen.txtHomeLoc = spot.Home;
    Recorded.clear();
    Recording = true;
    command.Run(state, command::CalculateInput{spot.From, spot.To, spot.Freq}, screen);
    Recording = false;
    return Recorded;
}

void Replay(const std::vector<LibmCall> &calls) {
    for (const LibmCall &call : calls) {
        double sinX = 0;
        double cosX = 0;
        switch (call.Function) {
        case LibmFunction::Sin:
            benchmark::DoNotOptimize(__real_sin(call.Argument));
            break;
        case LibmFunction::Cos:
            benchmark::DoNotOptimize(__real_cos(call.Argument));
            break;
        case LibmFunction::SinCos:
            __real_sincos(call.Argument, &sinX, &cosX);
            benchmark::DoNotOptimize(sinX);
            benchmark::DoNotOptimize(cosX);
            break;
        case LibmFunction::Tan:
            benchmark::DoNotOptimize(__real_tan(call.Argument));
            break;
        case LibmFunction::Atan:
            benchmark::DoNotOptimize(__real_atan(call.Argument));
            break;
        case LibmFunction::Sqrt:
            benchmark::DoNotOptimize(__real_sqrt(call.Argument));
            break;
        }
    }
}

// The floor: only the libm calls of a whole Calculate of the worked example, with their arguments.
void LibmFloorWorkedExample(benchmark::State &bench) {
    const std::vector<LibmCall> calls = LibmCallsOf(Spots[0]);
    for (auto _ : bench) {
        Replay(calls);
    }
    bench.counters["libm calls"] = static_cast<double>(calls.size());
}
BENCHMARK(LibmFloorWorkedExample);

void LibmFloorSpotMix(benchmark::State &bench) {
    std::vector<std::vector<LibmCall>> calls;
    for (const Spot &spot : Spots) {
        calls.push_back(LibmCallsOf(spot));
    }
    std::size_t next = 0;
    for (auto _ : bench) {
        Replay(calls[next++ % calls.size()]);
    }
}
BENCHMARK(LibmFloorSpotMix);

void CheckLocatorsAndPath(benchmark::State &bench) {
    for (auto _ : bench) {
        const calc::LocatorCheck check = calc::CheckLocators("IO90IR", "JN77EX");
        benchmark::DoNotOptimize(
            calc::CalcPath(calc::DecodeLocator(std::string_view(check.FromLoc)),
                           calc::DecodeLocator(std::string_view(check.ToLoc)), English));
    }
}
BENCHMARK(CheckLocatorsAndPath);

void PathCentreAndOnwardPoint(benchmark::State &bench) {
    const calc::Position from = calc::DecodeLocator(std::string_view("IO91VL"));
    const calc::Position to = calc::DecodeLocator(std::string_view("JN58TD"));
    for (auto _ : bench) {
        const auto centre = calc::PathCentre(from, to);
        const calc::HomeCheck home = calc::CheckHomeLoc("IO90IR");
        benchmark::DoNotOptimize(calc::OnwardPoint(home.Home, *centre));
    }
}
BENCHMARK(PathCentreAndOnwardPoint);

void EsLayerFormulas(benchmark::State &bench) {
    double distanceKm = 1172.77;
    for (auto _ : bench) {
        benchmark::DoNotOptimize(distanceKm);
        const propagation::EsPath path{.DistanceKm = distanceKm, .EsLayerHeightKm = 110};
        const auto shown = propagation::EsElevation(path, {.SubtractKm = 0.15});
        const auto reflection = propagation::EsElevation(path, {.SubtractKm = 0.18});
        const double critical = propagation::CriticalFreq(reflection, 50.1);
        benchmark::DoNotOptimize(propagation::ElevationDeg(shown));
        benchmark::DoNotOptimize(propagation::MufExpression(critical, path));
    }
}
BENCHMARK(EsLayerFormulas);

void FormatTwoDecimalsGrouped(benchmark::State &bench) {
    double value = 1172.7712;
    for (auto _ : bench) {
        benchmark::DoNotOptimize(value);
        benchmark::DoNotOptimize(calc::FormatFixed(value, 2, English));
    }
}
BENCHMARK(FormatTwoDecimalsGrouped);

} // namespace

BENCHMARK_MAIN();

// Costs of the calculation: one whole Calculate, its parts, and the number texts.
#include "calc/home_location.h"
#include "calc/locator.h"
#include "calc/path.h"
#include "calc/path_centre.h"
#include "command/calculate_command.h"
#include "places/country_file.h"
#include "propagation/es_layer.h"

#include <benchmark/benchmark.h>

#include <array>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <string>
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
} // namespace

extern "C" {
double __real_sin(double x);
double __real_cos(double x);
void __real_sincos(double x, double *sinX, double *cosX);
double __real_tan(double x);
double __real_atan(double x);
double __real_sqrt(double x);
}

namespace {
// The call noted and made, out of line and cold, so that a wrapper outside the recording is one
// test and a jump to the real function: the runs pay three instructions per libm call for the
// wrappers, not a call frame.
template <class Real, class... Args>
[[gnu::noinline, gnu::cold]] auto NoteAndCall(LibmFunction function, Real real, double x,
                                              Args... rest) {
    Recorded.push_back({function, x});
    return real(x, rest...);
}
} // namespace

extern "C" {
double __wrap_sin(double x) {
    if (__builtin_expect(Recording, false)) {
        return NoteAndCall(LibmFunction::Sin, __real_sin, x);
    }
    return __real_sin(x);
}
double __wrap_cos(double x) {
    if (__builtin_expect(Recording, false)) {
        return NoteAndCall(LibmFunction::Cos, __real_cos, x);
    }
    return __real_cos(x);
}
void __wrap_sincos(double x, double *sinX, double *cosX) {
    if (__builtin_expect(Recording, false)) {
        return NoteAndCall(LibmFunction::SinCos, __real_sincos, x, sinX, cosX);
    }
    return __real_sincos(x, sinX, cosX);
}
double __wrap_tan(double x) {
    if (__builtin_expect(Recording, false)) {
        return NoteAndCall(LibmFunction::Tan, __real_tan, x);
    }
    return __real_tan(x);
}
double __wrap_atan(double x) {
    if (__builtin_expect(Recording, false)) {
        return NoteAndCall(LibmFunction::Atan, __real_atan, x);
    }
    return __real_atan(x);
}
double __wrap_sqrt(double x) {
    if (__builtin_expect(Recording, false)) {
        return NoteAndCall(LibmFunction::Sqrt, __real_sqrt, x);
    }
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

// The real functions alone, or (`ThroughWrappers`) each through its recording wrapper, as the runs
// of this benchmark call them: the runs' own time is the difference to the second floor, and
// the shipped program, which has no wrappers, stands between the two ratios.
template <bool ThroughWrappers> void Replay(const std::vector<LibmCall> &calls) {
    for (const LibmCall &call : calls) {
        double sinX = 0;
        double cosX = 0;
        switch (call.Function) {
        case LibmFunction::Sin:
            benchmark::DoNotOptimize(ThroughWrappers ? __wrap_sin(call.Argument)
                                                     : __real_sin(call.Argument));
            break;
        case LibmFunction::Cos:
            benchmark::DoNotOptimize(ThroughWrappers ? __wrap_cos(call.Argument)
                                                     : __real_cos(call.Argument));
            break;
        case LibmFunction::SinCos:
            if (ThroughWrappers) {
                __wrap_sincos(call.Argument, &sinX, &cosX);
            } else {
                __real_sincos(call.Argument, &sinX, &cosX);
            }
            benchmark::DoNotOptimize(sinX);
            benchmark::DoNotOptimize(cosX);
            break;
        case LibmFunction::Tan:
            benchmark::DoNotOptimize(ThroughWrappers ? __wrap_tan(call.Argument)
                                                     : __real_tan(call.Argument));
            break;
        case LibmFunction::Atan:
            benchmark::DoNotOptimize(ThroughWrappers ? __wrap_atan(call.Argument)
                                                     : __real_atan(call.Argument));
            break;
        case LibmFunction::Sqrt:
            benchmark::DoNotOptimize(ThroughWrappers ? __wrap_sqrt(call.Argument)
                                                     : __real_sqrt(call.Argument));
            break;
        }
    }
}

// The floor: only the libm calls of a whole Calculate of the worked example, with their arguments.
template <bool ThroughWrappers> void LibmFloorOfWorkedExample(benchmark::State &bench) {
    const std::vector<LibmCall> calls = LibmCallsOf(Spots[0]);
    for (auto _ : bench) {
        Replay<ThroughWrappers>(calls);
    }
    bench.counters["libm calls"] = static_cast<double>(calls.size());
}

template <bool ThroughWrappers> void LibmFloorOfSpotMix(benchmark::State &bench) {
    std::vector<std::vector<LibmCall>> calls;
    for (const Spot &spot : Spots) {
        calls.push_back(LibmCallsOf(spot));
    }
    std::size_t next = 0;
    for (auto _ : bench) {
        Replay<ThroughWrappers>(calls[next++ % calls.size()]);
    }
}

void LibmFloorWorkedExample(benchmark::State &bench) {
    LibmFloorOfWorkedExample<false>(bench);
}
BENCHMARK(LibmFloorWorkedExample);

void LibmFloorSpotMix(benchmark::State &bench) {
    LibmFloorOfSpotMix<false>(bench);
}
BENCHMARK(LibmFloorSpotMix);

void LibmFloorThroughWrappersWorkedExample(benchmark::State &bench) {
    LibmFloorOfWorkedExample<true>(bench);
}
BENCHMARK(LibmFloorThroughWrappersWorkedExample);

void LibmFloorThroughWrappersSpotMix(benchmark::State &bench) {
    LibmFloorOfSpotMix<true>(bench);
}
BENCHMARK(LibmFloorThroughWrappersSpotMix);

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

// Reading the whole country file of the hamradio-files package, as every session does at start
// (it should take well under 50 ms); skipped where the package is not installed.
void CountryFileRead(benchmark::State &bench) {
    std::ifstream file("/usr/share/hamradio-files/cty.dat", std::ios::binary);
    const std::string text((std::istreambuf_iterator<char>(file)),
                           std::istreambuf_iterator<char>());
    if (text.empty()) {
        bench.SkipWithError("no /usr/share/hamradio-files/cty.dat");
        return;
    }
    for (auto _ : bench) {
        places::CountryFile countries;
        benchmark::DoNotOptimize(countries.Read(text));
    }
}
BENCHMARK(CountryFileRead)->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();

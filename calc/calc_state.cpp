#include "calc_state.h"

namespace ionvane::calc {

namespace {
template <class... Ts> struct Overloaded : Ts... { using Ts::operator()...; };
template <class... Ts> Overloaded(Ts...) -> Overloaded<Ts...>;
} // namespace

std::string Variant::DisplayText(const NumberFormat &format) const {
    return std::visit(Overloaded{[](std::monostate) { return std::string(); },
                                 [](std::int16_t v) { return std::to_string(v); },
                                 [&](double v) { return FormatFixed(v, 2, format); },
                                 [](const std::string &v) { return v; }},
                      Held);
}

double Variant::NumericValue(const NumberFormat &format) const {
    if (HasSpelledValue) {
        return SpelledValue;
    }
    return std::visit(
        Overloaded{[](std::monostate) { return 0.0; },
                   [](std::int16_t v) { return static_cast<double>(v); },
                   [](double v) { return v; },
                   [&](const std::string &v) { return TextToDouble(v, format).value_or(0.0); }},
        Held);
}

} // namespace ionvane::calc

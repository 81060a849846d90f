// The bands the feed is followed on, and the narrow topics that subscribe to one band in any mode.
#pragma once

#include <array>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace ionvane::feed {

/// A band whose reports the feed can bring. Only these: the tracker places clouds on no other.
enum class FeedBand { M10, M6, M4, M2 };

/// Every band the feed can bring.
constexpr std::array<FeedBand, 4> AllBands = {FeedBand::M10, FeedBand::M6, FeedBand::M4,
                                              FeedBand::M2};

/// The band's name as the feed and the user write it: "10m", "6m", "4m", "2m".
std::string_view BandName(FeedBand band);

/// The band a user names ("6m", "6M", "6"), or nothing for any other text.
std::optional<FeedBand> BandFromText(std::string_view text);

/// The bands followed when the user names none: the Es bands above HF.
std::vector<FeedBand> DefaultBands();

/// The one topic filter for a band in any mode, "pskr/filter/v2/6m/+/#": one band only, never the
/// whole feed, as the feed's operator asks of every client.
std::string BandTopic(FeedBand band);

/// Whether `topic`, as a report came on it, matches the topic of one of `bands`: a broker may send
/// what no subscription asked for, and such a report belongs to no band followed.
bool OnBandTopic(std::string_view topic, std::span<const FeedBand> bands);

} // namespace ionvane::feed

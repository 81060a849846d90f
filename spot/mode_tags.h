// The spot vocabulary: the propagation tag a spot names beside its locators (ES, TR, MS, AU ...)
// and the words of its comment and mode that name meteor scatter, aurora or another mode. One
// list of words for the spot reader and the tracker, compared through calc/ascii.h so the
// process locale never changes what a word is.
#pragma once

#include <string>
#include <string_view>

namespace ionvane::spot {

/// Where a word stands: between the two locators or elsewhere in the comment.
enum class TagPlace { Between, Elsewhere };

/// The propagation tag in `text` (letters and digits between separators), or "": of the last word
/// only with `lastWord`, else of the first word that names one.
std::string TagIn(std::string_view text, bool lastWord, TagPlace place);

/// The propagation a spot names besides its locators.
enum class Propagation { Es, MeteorScatter, Aurora, OtherMode };

struct PropagationFinding {
    Propagation Kind = Propagation::Es;
    std::string Word; ///< the word that says so ("MSK144", "59A", "TR"); empty for Es
};

/// The propagation named by a spot's tag `tag` (as the spot reader found it), any word of its
/// `comment` and the operating mode `mode` of a feed report, in any case. Meteor scatter: MS,
/// M/S, METEOR(S), MSK, MSK144, MSK-144, MS144, FSK441, JT6M, PSK2K, PING(S), BURN(S) and the
/// names of the major meteor showers (PERSEIDS, GEMINIDS ...), and the other-mode tags of the
/// reader spelling it (MS, METEOR); aurora: AU, AUR, AURORA and their Es forms, and a signal
/// report ending in A (59A, 55A, 5A, 599A); other mode: ISCAT and Q65 with their sub-modes
/// (Q65-30A) and every other non-Es tag. A word counts whole and by its parts joined with "-" or
/// "/" ("tr-ms", "es/ms"). A mode word counts even beside an Es tag: "ES MSK144" is meteor
/// scatter.
PropagationFinding FindPropagation(std::string_view tag, std::string_view comment,
                                   std::string_view mode);

} // namespace ionvane::spot

// The propagation tag a spot names beside its locators (ES, TR, MS, AU ...).
#pragma once

#include <string>
#include <string_view>

namespace ionvane::spot {

/// Where a word stands: between the two locators or elsewhere in the comment.
enum class TagPlace { Between, Elsewhere };

/// The propagation tag in `text` (letters and digits between separators), or "": of the last word
/// only with `lastWord`, else of the first word that names one.
std::string TagIn(std::string_view text, bool lastWord, TagPlace place);

} // namespace ionvane::spot

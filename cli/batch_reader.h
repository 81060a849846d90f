// Reading the batch input of ionvane-cli: lines of bounded length and their fields.
#pragma once

#include <cstddef>
#include <iosfwd>
#include <string>
#include <string_view>
#include <vector>

namespace ionvane::cli {

/// Longest batch line that is read whole; longer lines are reported, not kept.
constexpr std::size_t MaxBatchLineBytes = 4096;

/// Reads lines ended by LF (a CR before it is dropped) without ever holding more than the line
/// limit in memory, whatever the input: a 10 MB line is skipped byte by byte.
class LineReader {
  public:
    explicit LineReader(std::istream &in, std::size_t maxLineBytes = MaxBatchLineBytes)
        : In(in), MaxLineBytes(maxLineBytes) {}

    /// The next line into `line` (valid UTF-8, bad bytes replaced); `tooLong` tells that the line
    /// passed the limit and `line` holds only its start. False at the end of the input.
    bool Next(std::string &line, bool &tooLong);

  private:
    std::istream &In;
    std::size_t MaxLineBytes;
};

/// What one batch line asks for.
struct BatchLine {
    enum class Kind { Skip, Malformed, Calculate };
    Kind What = Kind::Skip;
    std::vector<std::string> Fields; ///< FROM TO FREQ [HOME] for Calculate
};

/// Blank lines and lines whose first field starts with '#' are skipped; three or four fields
/// separated by blanks or tabs are a calculation, its HOME field upper-cased (ASCII letters);
/// anything else is malformed.
BatchLine ParseBatchLine(std::string_view line);

} // namespace ionvane::cli

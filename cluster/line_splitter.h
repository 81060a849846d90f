// The node's text cut into lines: TCP splits a line anywhere, so one carry-over buffer holds the
// unterminated tail until its line end arrives; prompts ("login: ") live in that tail.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace ionvane::cluster {

/// Longest line kept, in bytes. A "DX de" line at the default width has 75 to 80 characters and the
/// longest announcements and talk lines a few hundred; 4 KiB holds every real line with room to
/// spare while a node that never sends a line end cannot make the buffer grow without end.
constexpr std::size_t MaxLineBytes = 4096;

/// Splits a byte stream into lines ended by LF (a CR before it is dropped). A line longer than
/// MaxLineBytes is cut there: its first MaxLineBytes bytes come out as one line, the rest up to the
/// next LF is dropped.
class LineSplitter {
  public:
    /// Appends the lines completed by `data` to `lines`.
    void Feed(std::string_view data, std::vector<std::string> &lines);

    /// The unterminated tail: what came after the last line end (at most MaxLineBytes bytes).
    [[nodiscard]] const std::string &Tail() const { return Carry; }

    /// Forgets the tail, once a prompt in it has been answered, and the blanks that may still
    /// follow it ("login:" and " " in two reads).
    void DropTail() {
        Carry.clear();
        SkipBlanks = true;
    }

  private:
    std::string Carry;
    bool Dropping = false;   ///< inside the rest of a line already cut at MaxLineBytes
    bool SkipBlanks = false; ///< right after a dropped tail
};

} // namespace ionvane::cluster

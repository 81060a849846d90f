// The history store's lines read for a review: its own connection, read-only, never waiting for
// the live recorder's lock, each row checked before it is trusted.
#pragma once

#include <QString>

#include <cstddef>
#include <cstdint>
#include <stop_token>
#include <string>
#include <vector>

namespace ionvane::review {

/// A received line and its time (seconds since 1970, UTC), with its row number in the store.
struct ReviewLine {
    std::int64_t Id = 0;
    std::int64_t Time = 0;
    std::string Line;
};

/// The most lines and bytes of text a review holds, the newest kept: two days of a busy node's 14
/// lines a second are some 2.4 million lines; past a million a review would hold hundreds of MB.
constexpr std::size_t MaxReviewLines = 1'000'000;
constexpr std::size_t MaxReviewBytes = std::size_t{128} << 20;
/// The longest line a row may hold, bytes: the cluster session's own bound on a line (4 KiB) and
/// a WSJT-X datagram's as long; a longer one was not written by this program.
constexpr std::size_t MaxRowLineBytes = 4096;

/// What one read brought.
struct StoredLines {
    std::vector<ReviewLine> Lines; ///< oldest first
    std::size_t CorruptRows = 0;   ///< rows whose time or line was no integer or text, skipped
    std::string Problem;           ///< why not all could be read; "" when all was
};

/// Reads the lines of the store at `path` with a row number above `afterId` and a time in
/// [`since`, `until`], oldest first; at most `maxLines` lines and `maxBytes` bytes of text, the
/// newest kept. A missing store, one another program keeps locked and one SQLite finds damaged
/// give what could be read and the reason; the store is never created, written or waited for.
/// Asked to `stop`, the read ends at the next row, what was read so far returned.
StoredLines ReadStoredLines(const QString &path, std::int64_t afterId, std::int64_t since,
                            std::int64_t until, std::stop_token stop = {},
                            std::size_t maxLines = MaxReviewLines,
                            std::size_t maxBytes = MaxReviewBytes);

} // namespace ionvane::review

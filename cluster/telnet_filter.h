// The telnet layer of a cluster node's stream: option negotiation answered with a refusal and
// removed, the data bytes passed on. Nodes speak telnet only loosely; the client wants none of its
// options (echo, terminal type, window size), just the text.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace ionvane::cluster {

/// Reads the bytes of a telnet stream in chunks of any size (a command may be split between two
/// chunks). Every option the node offers (WILL) or asks for (DO) is refused with DONT or WONT;
/// acknowledgements (WONT, DONT) get no answer, so two refusing ends never loop. Subnegotiations
/// and the two-byte commands (NOP, GA ...) are removed; IAC IAC gives the data byte 0xFF.
class TelnetFilter {
  public:
    /// Appends the data bytes of `chunk` to `data` and the answers for the node to `replies`.
    void Feed(std::string_view chunk, std::string &data, std::string &replies);

  private:
    enum class State : std::uint8_t { Data, Command, Option, Sub, SubCommand };
    State Current = State::Data;
    unsigned char Verb = 0; ///< WILL, WONT, DO or DONT waiting for its option byte
};

/// The telnet command bytes (RFC 854).
namespace telnet {
constexpr unsigned char Iac = 255;
constexpr unsigned char Dont = 254;
constexpr unsigned char Do = 253;
constexpr unsigned char Wont = 252;
constexpr unsigned char Will = 251;
constexpr unsigned char Sb = 250;
constexpr unsigned char Se = 240;
} // namespace telnet

} // namespace ionvane::cluster

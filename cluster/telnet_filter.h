// The telnet layer of a cluster node's stream: option negotiation answered with a refusal and
// removed, the data bytes passed on. Nodes speak telnet only loosely; the client wants none of its
// options (echo, terminal type, window size), just the text.
#pragma once

#include <bitset>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace ionvane::cluster {

/// Longest subnegotiation read as one, in bytes. The few a node sends (terminal type, window
/// size) take a handful; a longer one is a stray 0xFF 0xFA in the text of a node that does not
/// escape 0xFF, and must not swallow the lines after it.
constexpr std::size_t MaxSubnegotiationBytes = 512;

/// Reads the bytes of a telnet stream in chunks of any size (a command may be split between two
/// chunks). Every option the node offers (WILL) or asks for (DO) is refused with DONT or WONT, once
/// per change of state: an offer repeated before the node withdrew it (WONT, DONT) is not answered
/// again, as the telnet rules ask, so that a node repeating an offer without end gets one answer.
/// Acknowledgements (WONT, DONT) get no answer, so two refusing ends never loop. Subnegotiations
/// and the two-byte commands (NOP, GA ...) are removed; IAC IAC gives the data byte 0xFF. A
/// subnegotiation that meets a line end or runs past MaxSubnegotiationBytes was none: its bytes
/// are data.
class TelnetFilter {
  public:
    /// Appends the data bytes of `chunk` to `data` and the answers for the node to `replies`.
    void Feed(std::string_view chunk, std::string &data, std::string &replies);

  private:
    enum class State : std::uint8_t { Data, Command, Option, Sub, SubCommand };
    void Answer(unsigned char option, std::string &replies);
    void SubByte(char c, std::string &data);

    State Current = State::Data;
    unsigned char Verb = 0;       ///< WILL, WONT, DO or DONT waiting for its option byte
    std::bitset<256> RefusedWill; ///< options whose offer was refused and not withdrawn since
    std::bitset<256> RefusedDo;   ///< options whose request was refused and not withdrawn since
    std::string Sub;              ///< the bytes of the subnegotiation under way, IAC SB included
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

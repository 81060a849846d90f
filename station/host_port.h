// A server as users type it, for a DX-cluster node or an MQTT broker: "HOST", "HOST:PORT", or
// "[::1]:PORT" for an IPv6 address with a port.
#pragma once

#include <QString>

#include <optional>

namespace ionvane::station {

/// The highest TCP port.
constexpr unsigned MaxPort = 65535;

struct HostAndPort {
    QString Host;
    std::optional<quint16> Port; ///< none when the text gives none
};

/// Why a text is not a server.
enum class HostProblem {
    None,
    Form,      ///< no host, or brackets not closed, or text after them
    PortRange, ///< a port that is not a whole number from 1 to MaxPort
};

struct HostReading {
    HostProblem Problem = HostProblem::None;
    HostAndPort Read; ///< when Problem is None
};

/// Reads `text` (blanks around it ignored). A bare IPv6 address without brackets is a host with no
/// port.
HostReading ReadHostAndPort(const QString &text);

} // namespace ionvane::station

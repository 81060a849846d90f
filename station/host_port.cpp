#include "host_port.h"

namespace ionvane::station {

HostReading ReadHostAndPort(const QString &text) {
    HostReading reading;
    QString host = text.trimmed();
    QString port;
    if (host.startsWith('[')) {
        const auto close = host.indexOf(']');
        if (close < 0) {
            reading.Problem = HostProblem::Form;
            return reading;
        }
        const QString rest = host.mid(close + 1);
        host = host.mid(1, close - 1);
        if (!rest.isEmpty()) {
            if (!rest.startsWith(':')) {
                reading.Problem = HostProblem::Form;
                return reading;
            }
            port = rest.mid(1);
        }
    } else if (host.count(':') == 1) {
        port = host.section(':', 1);
        host = host.section(':', 0, 0);
    }
    if (host.isEmpty()) {
        reading.Problem = HostProblem::Form;
        return reading;
    }
    reading.Read.Host = host;
    if (!port.isNull()) {
        bool ok = false;
        const uint number = port.toUInt(&ok);
        if (!ok || number < 1 || number > MaxPort) {
            reading.Problem = HostProblem::PortRange;
            return reading;
        }
        reading.Read.Port = static_cast<quint16>(number);
    }
    return reading;
}

} // namespace ionvane::station

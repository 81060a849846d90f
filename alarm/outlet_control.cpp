#include "outlet_control.h"

namespace ionvane::alarm {

std::string NtfyUrlProblem(const QUrl &url) {
    if (!url.isValid() || (url.scheme() != "http" && url.scheme() != "https")) {
        return "takes an http or https address, such as https://ntfy.sh/TOPIC";
    }
    if (url.host().isEmpty()) {
        return "takes an address with a server";
    }
    if (url.path().remove('/').isEmpty()) {
        return "takes an address with a topic after the server";
    }
    return {};
}

} // namespace ionvane::alarm

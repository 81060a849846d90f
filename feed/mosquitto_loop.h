// libmosquitto's client loop driven from the Qt event loop: what a feed source and the loop share.
#pragma once

#include <string>

namespace ionvane::feed {

// The text of a libmosquitto result; `savedErrno` explains MOSQ_ERR_ERRNO.
std::string LibraryText(int code, int savedErrno);

} // namespace ionvane::feed

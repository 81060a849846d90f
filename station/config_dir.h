// Where the program keeps its per-user configuration: the cluster node, its password, the alarm
// outlets. Every live source and front end reads the same folder.
#pragma once

#include <QString>

namespace ionvane::station {

/// The per-user configuration directory of this program (~/.config/Ionvane on Linux).
QString ConfigDir();

} // namespace ionvane::station

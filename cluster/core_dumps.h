// Keeping the cluster password out of core dumps.
#pragma once

namespace ionvane::cluster {

/// Turns core dumps of the process off for the rest of its life, once it holds the cluster
/// password: a dump would keep it in clear, and a freed copy may stay in memory long after the
/// session ends. It also keeps other processes of the user from reading the process's memory.
/// Linux only; elsewhere it does nothing.
void KeepOutOfCoreDumps();

/// Whether the process may leave a core dump; true where that cannot be told.
[[nodiscard]] bool MayDumpCore();

} // namespace ionvane::cluster

#include "core_dumps.h"

#ifdef __linux__
#include <sys/prctl.h>
#endif

namespace ionvane::cluster {

void KeepOutOfCoreDumps() {
#ifdef __linux__
    prctl(PR_SET_DUMPABLE, 0, 0, 0, 0);
#endif
}

bool MayDumpCore() {
#ifdef __linux__
    return prctl(PR_GET_DUMPABLE, 0, 0, 0, 0) != 0;
#else
    return true;
#endif
}

} // namespace ionvane::cluster

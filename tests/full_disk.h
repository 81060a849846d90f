// A disk that fills up after a few bytes, for as long as the object lives: every write past the
// limit fails with EFBIG, as on a full disk, for any user, root included.
#pragma once

#include <csignal>
#include <sys/resource.h>

namespace ionvane::testing {

class FullDisk {
  public:
    explicit FullDisk(rlim_t bytesLeft = 4) {
        getrlimit(RLIMIT_FSIZE, &Saved);
        PreviousHandler = std::signal(SIGXFSZ, SIG_IGN);
        rlimit tiny = Saved;
        tiny.rlim_cur = bytesLeft;
        setrlimit(RLIMIT_FSIZE, &tiny);
    }
    ~FullDisk() {
        setrlimit(RLIMIT_FSIZE, &Saved);
        std::signal(SIGXFSZ, PreviousHandler);
    }
    FullDisk(const FullDisk &) = delete;
    FullDisk &operator=(const FullDisk &) = delete;

  private:
    rlimit Saved{};
    void (*PreviousHandler)(int) = nullptr;
};

} // namespace ionvane::testing

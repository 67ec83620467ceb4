#include "tools/readers/ocr_environment.h"

#include <cstdlib>
#include <unistd.h>

void ensureSingleThreadedOcr(int argc, char** argv) {
    if (argc < 1 || std::getenv("OMP_THREAD_LIMIT") != nullptr) {
        return;
    }
    if (setenv("OMP_THREAD_LIMIT", "1", 1) != 0) {
        return;
    }
    // /proc/self/exe is this very binary, wherever it was started from.
    execv("/proc/self/exe", argv);
}

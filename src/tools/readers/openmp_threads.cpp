#include "tools/readers/openmp_threads.h"

#include <cstdlib>

#include <dlfcn.h>

void keepOpenMpOnThisThread() {
    using SetMaxActiveLevels = void (*)(int);
    // Looked up rather than linked: OpenMP comes with Tesseract, if at all.
    static const auto setMaxActiveLevels = std::getenv("OMP_THREAD_LIMIT") != nullptr
                                               ? nullptr
                                               : reinterpret_cast<SetMaxActiveLevels>(dlsym(
                                                     RTLD_DEFAULT, "omp_set_max_active_levels"));
    if (setMaxActiveLevels != nullptr) {
        setMaxActiveLevels(0);
    }
}

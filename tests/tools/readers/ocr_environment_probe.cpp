// Prints OMP_THREAD_LIMIT and its arguments after ensureSingleThreadedOcr, so
// a test can see what the process was (re-)executed with.

#include "tools/readers/ocr_environment.h"

#include <cstdio>
#include <cstdlib>

int main(int argc, char** argv) {
    ensureSingleThreadedOcr(argc, argv);
    const char* limit = std::getenv("OMP_THREAD_LIMIT");
    std::printf("%s", limit != nullptr ? limit : "(unset)");
    for (int i = 1; i < argc; ++i) {
        std::printf("|%s", argv[i]);
    }
    std::printf("\n");
    return 0;
}

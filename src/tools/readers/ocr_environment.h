#pragma once

// Tesseract runs OpenMP worker threads that make recognition several times
// slower on a desktop's few cores, and OpenMP reads its limit only when the
// process starts. Called first thing in main(): when OMP_THREAD_LIMIT is not
// set, sets it to 1 and executes the program again with the same arguments.
// A limit the user set is left alone; if the program cannot be executed
// again it simply goes on (recognition is then slower, not wrong).
void ensureSingleThreadedOcr(int argc, char** argv);

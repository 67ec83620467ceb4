#pragma once

// Tesseract runs parts of recognition in OpenMP teams of several threads.
// On a desktop's few cores they make recognition several times slower and
// take the cores from the window, so recognition runs on its caller's thread
// alone. OMP_THREAD_LIMIT would do that, but OpenMP reads it only as the
// process starts; instead, the calling thread's parallel regions are made
// inactive (max-active-levels 0), so each runs with a team of one thread.
// libgomp keeps that setting per thread: call it before every recognition.
// A limit set in the environment is the user's choice and is left alone; a
// Tesseract built without OpenMP has nothing to limit.
void keepOpenMpOnThisThread();

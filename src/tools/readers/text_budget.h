#pragma once

#include <QtGlobal>

// The most text any reader builds, in UTF-8 bytes. Readers run inside the
// app, so no input may make one allocate without bound: a 7 KB spreadsheet
// whose cells all point at one 1 MiB shared string would otherwise grow to
// gigabytes. The bound is absolute rather than a multiple of the input:
// sheets that repeat one long text in thousands of rows are legitimate and
// grow far beyond their XML, and memory is what needs protecting.
inline constexpr qint64 readerTextBudget = qint64(64) * 1024 * 1024;
inline constexpr int readerTextBudgetMiB = int(readerTextBudget / (1024 * 1024));

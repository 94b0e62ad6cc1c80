// SPDX-License-Identifier: MIT
#pragma once

#include <QString>

class AppModel;

// The program's check of its own model layer against a scratch store,
// started by the argument "--selftest". Prints one line per check and a
// summary, then ends the program with status 0 (all passed) or 1.
namespace SelfTest {

// True when "--selftest" is among the process arguments.
bool isRequested();

// Returns at once; with the trigger present the checks run 0.5 s later on
// the main thread (or the refusal line is printed when APP_STORE is unset).
void runIfRequested(AppModel &model);

// Counts one check and prints its PASS or FAIL line.
void check(const QString &label, bool condition, const QString &detail = QString());

// Records the exit status, closes any open dialogs and asks the
// application to quit.
void finish(int code);

// The status recorded by finish(); 0 before it ran.
int exitCode();

// Counters of the current run (for tests).
int total();
int failures();

// Runs every check now, without the start delay, and prints the summary;
// does not finish. Returns the number of failures.
int runChecks(AppModel &model);

} // namespace SelfTest

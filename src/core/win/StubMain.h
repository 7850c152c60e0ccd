// StubMain: the program body: the own-file reader, the choice of the run mode and the single-
// instance rule, between the start and end lines of the trace.
#pragma once

// The whole run; the exit code is then StubExitCode().
void StubMain();
// Chooses the run mode and runs it, unless the instance marker's window shows that this program
// already runs.
void DoRunStubWin();

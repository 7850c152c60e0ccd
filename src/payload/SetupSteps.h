// SetupSteps: what the program shell asks of the installer side: the spanned-set level of this
// run, the first timer tick, the spanned launcher, the setup folder and the self-deletion.
#pragma once

// The spanned launcher flag of the own file is set and "/SpanCdLvl=" is 1 (its default).
bool IsSpanLauncher();
// "/SpanCdLvl=" is 2: this run is the temporary copy of a spanned set.
bool IsSpanCopy();

// The installer's handler of the main window's timer.
void SetupTick();
// The spanned launcher's whole work: copy itself into the setup folder and start the copy.
void StartSpanCopy();
// Deletes the program file once it has ended, and with removeFolder its folder.
void DeleteMySelf(bool removeFolder);
// Deletes the setup folder with its contents (teardown of the main window).
void RemoveSetupFolder();

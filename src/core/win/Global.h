// Global: the program's start before StubMain: safe library loading, the preloaded system
// libraries and the trace stream.
#pragma once

// Makes every later library load by name search the system folder only; false when the system
// cannot restrict the search (the current folder is still taken out of it then).
bool RestrictLibrarySearch();
// Loads the four libraries the program preloads, from the system folder, with the system's
// "cannot open file" dialog suppressed; failures are silent and the libraries stay loaded.
void PreloadSystemLibraries();
// All of the above in order, then the trace stream.
void RunStartup();

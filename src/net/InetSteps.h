// InetSteps: what the program shell asks of the HTTP client at the end of the run.
#pragma once

// Releases the internet library; no HTTP operation follows.
void UnloadWinINet();

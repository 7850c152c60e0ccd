// WebSetup: the web installer's branch of the first timer tick: it obtains the setup file named
// by the web block and runs it through RunSetup.
#pragma once

void WebSetupTick();

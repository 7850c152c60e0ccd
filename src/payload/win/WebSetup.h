// WebSetup: the web installer's branch of the first timer tick: it obtains the setup file named
// by the web block (beside the program, or downloaded into the temporary folder), checks that it
// belongs to the same build and runs it through RunSetup.
#pragma once

#include <string>

// Writes the web installer's agent copy when it makes one, then WebDownload of the web block's
// file into the setup folder.
void WebSetupTick();

// Uses address\fileName when that file exists, else asks (unless hidden), downloads
// address/fileName into the temporary folder and deletes it afterwards. A file whose web token
// differs from the program's is not run. Failures are shown in an error box.
void WebDownload(const std::string& folder, const std::string& address,
                 const std::string& fileName);

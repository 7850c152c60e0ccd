// Spanned: the spanned installer's launcher, which starts its copy in the setup folder on the
// first file of the series, and the registry switch that asks for every further disk.
#pragma once

// The registry value "ForcePrompt" under HKEY_CURRENT_USER\Software\Velmora\Tarvo\SpanDisk is
// exactly "1".
bool IsForcePrompt();

// KMsgBoxAutoPlay: refusing the shell's AutoPlay while the program asks for another disk.
#pragma once

// Registers "QueryCancelAutoPlay"; from then on the main window and the message box answer it
// with 1 (cancel AutoPlay). The identifier is kept for the rest of the run.
void EnableAutoPlayCancel();
// The registered identifier, 0 until EnableAutoPlayCancel has run.
unsigned AutoPlayCancelMessage();

// Program entry of tarvostub.exe: hands the run to the stub's main routine.
#include <windows.h>

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) { return 0; }

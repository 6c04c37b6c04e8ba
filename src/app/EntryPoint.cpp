// The desktop program's entry point. It lives outside the shell's library so
// that the shell can be tested without the user-interface layer above it.

#include "app/EmbeddedFrames.h"
#include "app/Main.h"

int main(int argc, char** argv) { return tessel::RunTessel(argc, argv, tessel::InstallUserInterface); }

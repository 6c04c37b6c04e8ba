// The desktop program's entry point.

#include "app/Main.h"

int main(int argc, char** argv) { return tessel::RunTessel(argc, argv); }

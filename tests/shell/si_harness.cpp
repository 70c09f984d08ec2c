// A second start of a program under a test identifier: hands its parameters over and ends
// (exit code 1 when nobody was there to take them).
#include "shell/SingleInst.h"

int main() { return NotifyPreviousInstance("{Vocalet-Test-9C1E}") ? 0 : 1; }

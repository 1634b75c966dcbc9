#include "tests/qtestmain.h"

#include "engine/attacks.h"

// initEngine runs once per process, as in the program.
static void setUp() { initEngine(); }

NORVANE_TEST_MAIN(setUp)

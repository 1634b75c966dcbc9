#include "tests/qtestmain.h"

#include "app/norvanedoc.h"

// The engine starts once per process, as in the program; the document would start it too.
static void setUp() { startEngine(); }

NORVANE_TEST_MAIN(setUp)

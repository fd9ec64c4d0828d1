// The window tests' one main(): `vtui_tests <name>` runs the QTest class of <name>_test.cpp.
#include "tests/ui/ui_test_support.h"

int main(int argc, char** argv) { return runUiTest(argc, argv); }

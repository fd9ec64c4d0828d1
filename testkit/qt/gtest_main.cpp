// The main() of the suites that need an application object but no widgets.
#include <QCoreApplication>

#include "testkit/qt/gtest_main.h"

int main(int argc, char** argv) { return vttest::runGoogleTests<QCoreApplication>(argc, argv); }

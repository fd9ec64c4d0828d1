// Opens the port named on its command line as the configurator does and prints why it did not
// open ("opened" when it did): the tests run it as another user.
#include <cstdio>

#include "serial/commapi.h"

int main(int argc, char** argv) {
    if (argc != 2) return 2;
    if (commapi::defaultLayer().createFile(argv[1])) {
        std::puts("opened");
        return 0;
    }
    std::puts(commapi::openFailureReason(argv[1], commapi::defaultLayer().lastError().error).c_str());
    return 1;
}

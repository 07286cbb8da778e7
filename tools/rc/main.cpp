// orvrc: the resource compiler run at build time.
#include <cstdio>
#include <string>
#include <vector>

#include "tools/rc/RcCompiler.h"

int main(int argc, char** argv) {
    std::vector<std::string> args(argv + 1, argv + argc);
    std::string err;
    int rc = orv::rc::RunCompiler(args, err);
    if (!err.empty()) std::fputs(err.c_str(), stderr);
    return rc;
}

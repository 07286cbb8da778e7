// Writes the default coefficient library file: orv_make_default_cclib OUTPUT.cclib
#include <cstdio>
#include <string>

#include "dialogs/convection/DefaultCoefficientLibrary.h"
#include "platform/win/Utf8.h"

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s OUTPUT.cclib\n", argc > 0 ? argv[0] : "orv_make_default_cclib");
        return 2;
    }
    std::wstring error;
    if (!DataModelDialogs::WriteDefaultCoefficientLibrary(argv[1], &error)) {
        std::fprintf(stderr, "%s: %s\n", argv[1], orv::WideToUtf8(error).c_str());
        return 1;
    }
    return 0;
}

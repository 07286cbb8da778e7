#include <iostream>
#include <string_view>

#include "apps/orvdlg/Orvdlg.h"

std::string_view EmbeddedTourScript();  // generated from examples/tour.dlgs

int main(int argc, char** argv) {
    return orvdlg::Main(argc, argv, EmbeddedTourScript(), std::cout, std::cerr);
}

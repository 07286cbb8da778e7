#include <cstdio>

int main() {
    std::puts("orvdlg: nothing to run yet");
    return 0;
}

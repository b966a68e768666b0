// relan-cli: the failure analysis without a window.
#include <cstdio>

int main() {
    std::puts("relan-cli");
    return 0;
}

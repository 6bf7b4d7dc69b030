#include <cstdio>

int main() {
    std::fputs("kesh-cli\n", stdout);
    return 0;
}

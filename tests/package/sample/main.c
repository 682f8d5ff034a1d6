#include <stdio.h>

int main(void) {
    puts("sample");
    return 0;
}

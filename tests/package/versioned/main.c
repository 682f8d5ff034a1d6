#include <stdio.h>

#include "sample_version.h"

int main(void) {
    printf("%s %s\n", SAMPLE_PRODUCT_NAME, SAMPLE_FILE_VERSION_STRING);
    return 0;
}

// A library named like the print module that offers none of its entry points.
extern "C" __attribute__((visibility("default"))) int NotAPrintModule() {
    return 1;
}

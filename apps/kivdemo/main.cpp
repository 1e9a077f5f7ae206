// kivdemo: a short tour of what the engine can do so far, run on the shipped sample.
#include <kivctrl/kivctrl.h>

#include <cstdio>

int main(int argc, char **argv)
{
    const char *sample = argc > 1 ? argv[1] : "samples/README.md";
    std::printf("kivctrl demo\n  sample: %s (%d characters in its name)\n", sample, qel_strlen(sample));
    return 0;
}

// Entry point of the desktop program.
#include "TrussApplication.h"

int main(int argc, char** argv) {
    return RunTrabex(argc, argv);
}

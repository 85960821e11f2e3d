// libFuzzer target of the .trs reader: any bytes as a truss file.
#include "FuzzEntry.h"
#include "ReaderExercises.h"

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    PrepareFuzzProcess();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    FailOn(ExerciseTrussFile(FuzzBytes(data, size)));
    return 0;
}

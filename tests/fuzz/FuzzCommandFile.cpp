// libFuzzer target of the start-up command file reader: any bytes as its text.
#include "FuzzEntry.h"
#include "ReaderExercises.h"

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    PrepareFuzzProcess();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    FailOn(ExerciseCommandFile(FuzzBytes(data, size)));
    return 0;
}

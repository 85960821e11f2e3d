// libFuzzer target of the update-information page parser: any bytes as the page.
#include "FuzzEntry.h"
#include "ReaderExercises.h"

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    PrepareFuzzProcess();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    FailOn(ExerciseUpdatePage(FuzzBytes(data, size)));
    return 0;
}

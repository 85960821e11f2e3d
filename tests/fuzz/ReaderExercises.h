// What the fuzz targets do with one input, shared by the fuzzers and the regression tests.
#pragma once

#include <QByteArrayView>
#include <QString>
#include <QStringList>

#include <string>

// Each exercise feeds bytes to one reader the way the program does and checks what must hold for
// any input. The result is empty when everything held, else it says what did not. An exception
// the reader is not documented to throw leaves the exercise, and so fails the caller.

// The bytes as a .trs file: split and decoded like a file on disk, loaded, solved, described,
// a joint moved, undone and redone, saved, and the saved text read back.
std::string ExerciseTrussFile(QByteArrayView bytes);

// The bytes as language files of the code "xx" in folder, which must exist and hold nothing else;
// the files are removed again before the exercise returns. The last byte chooses the set of
// files (see LanguageFileExercise.cpp); the rest is their content.
std::string ExerciseLanguageFile(QByteArrayView bytes, const QString& folder);

// The bytes as the text of the start-up command file, set as its lines; its sections are read.
// Nothing is opened and nothing is deleted.
std::string ExerciseCommandFile(QByteArrayView bytes);

// The bytes as an update-information page: decoded, split into lines, its tags read, the
// published version compared in the three formats, the addresses split and the client file
// name reduced.
std::string ExerciseUpdatePage(QByteArrayView bytes);

// The files of a target's seed corpus (tests/fuzz/corpus/TARGET) and its regression inputs
// (tests/fuzz/regressions/TARGET), by name within each folder.
QStringList FuzzInputFiles(const QString& target);

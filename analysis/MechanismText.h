// A mechanism said in words, in the current language.
#pragma once

#include "Mechanisms.h"

#include <QString>

#include <vector>

// Joint numbers as a list in words: "4", "4 a 7", "1, 2 a 3" ("4 and 7" in English). A long
// list names the first ones and the last: "1, 2, 3, 4, 5, 6, 7, … a 50".
QString JointListText(const std::vector<int>& numbers);

// One sentence for the panel and the status bar: which joints can move, or how the supports let
// the whole truss move, and what to do about it.
QString DescribeMechanism(const TMechanism& mechanism);

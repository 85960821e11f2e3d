// Placeholder: filled in with its layer.
#include <gtest/gtest.h>

// What only the Windows backends have.
#include <gtest/gtest.h>

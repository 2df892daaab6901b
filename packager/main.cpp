#include "platform/resources.h"
#include <cstdio>
int main() { std::printf("%zu\n", platform::LoadResourceData("CUSTOM", 101).size()); }

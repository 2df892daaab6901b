#include "platform/resources.h"
#include "window_main.h"
#include <cstdio>
int main(int argc, char** argv) {
  if (argc <= 1) return RunPackagerWindow(argc, argv);
  std::printf("%zu\n", platform::LoadResourceData("CUSTOM", 101).size());
}

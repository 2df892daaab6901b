// The skin picture's size without a picture reader: the model's geometry needs no more.
#include "playlist_test_support.h"

platform::Pixels playlist_test::PlayerSkin() {
  constexpr int kWidth = 91, kHeight = 41;
  return {kWidth, kHeight, std::vector<std::uint32_t>(kWidth * kHeight, 0xFF808080u), 1.0};
}

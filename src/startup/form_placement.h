#pragma once
// Where the start-up forms go, from the screen and form sizes.
namespace bw {

struct Rect {
  int left = 0, top = 0, width = 0, height = 0;
  bool operator==(const Rect&) const = default;
};

// The splash centred on the screen.
Rect CentredOn(int screenWidth, int screenHeight, int width, int height);

// The preparing form: with a splash, its left edge half the splash width plus
// 50 from the splash's left and its top 25 below the splash, then moved up
// or left so that it keeps 45 pixels below and 25 to the right of it on the
// screen; without a splash, centred.
Rect PreparingFormPlace(int screenWidth, int screenHeight, int width, int height, const Rect* splash);

}  // namespace bw

#include "form_placement.h"

#include <algorithm>

namespace bw {

Rect CentredOn(int screenWidth, int screenHeight, int width, int height) {
  return {(screenWidth - width) / 2, (screenHeight - height) / 2, width, height};
}

Rect PreparingFormPlace(int screenWidth, int screenHeight, int width, int height, const Rect* splash) {
  if (!splash) return CentredOn(screenWidth, screenHeight, width, height);
  Rect place{splash->left + splash->width / 2 + 50, splash->top + splash->height + 25, width, height};
  place.top = std::min(place.top, screenHeight - height - 45);
  place.left = std::min(place.left, screenWidth - width - 25);
  return place;
}

}  // namespace bw

#pragma once
#include <string>
#include <string_view>

namespace bw {

// The caption of the engine's message boxes and dialogs: the title alone when
// the logo switch (KVORLOGO) is "TRUE"; otherwise the title, " - " and the
// engine's name with " Wizard", or the name with " Wizard" alone when the
// title is empty.
std::string EngineCaption(std::string_view title, std::string_view logoSwitch);

}  // namespace bw

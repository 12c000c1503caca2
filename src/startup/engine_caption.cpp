#include "engine_caption.h"

namespace bw {

std::string EngineCaption(std::string_view title, std::string_view logoSwitch) {
  constexpr std::string_view kEngineName = "Brightwarden";
  constexpr std::string_view kWizard = " Wizard";
  if (logoSwitch == "TRUE") return std::string(title);
  std::string caption;
  if (!title.empty()) caption.append(title).append(" - ");
  caption.append(kEngineName).append(kWizard);
  return caption;
}

}  // namespace bw

#pragma once
// The splash form (the picture "setup.bmp" beside the engine) and the
// preparing form with its progress bar, shown while a setup loads. No message
// loop runs during start-up, so each change repaints at once.
#include <windows.h>

#include <memory>
#include <string>

namespace bw {

class StartupForms {
 public:
  // Shows the splash when splashBitmap exists, then the preparing form with
  // the caption and label texts.
  StartupForms(const std::string& splashBitmap, const std::string& caption, const std::string& label);
  ~StartupForms();
  StartupForms(const StartupForms&) = delete;
  StartupForms& operator=(const StartupForms&) = delete;

  // The owner of start-up's message boxes.
  HWND PreparingWindow() const { return preparing_; }
  void SetProgressRange(int maximum, int position);
  void StepProgress();

 private:
  void Repaint();

  HBITMAP bitmap_ = nullptr;
  HFONT font_ = nullptr;
  HWND splash_ = nullptr;
  HWND preparing_ = nullptr;
  HWND progress_ = nullptr;
};

}  // namespace bw

#include "startup/startup_forms.h"

#include <commctrl.h>

#include "startup/form_placement.h"

namespace bw {

namespace {

constexpr char kSplashClass[] = "TSetupSplash";
constexpr char kPreparingClass[] = "TSetupInit";
constexpr int kPreparingWidth = 400;
constexpr int kPreparingHeight = 130;

LRESULT CALLBACK SplashProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_PAINT) {
    PAINTSTRUCT paint;
    const HDC dc = BeginPaint(window, &paint);
    const auto bitmap = reinterpret_cast<HBITMAP>(GetWindowLongPtrA(window, GWLP_USERDATA));
    BITMAP info{};
    if (bitmap && GetObjectA(bitmap, sizeof info, &info)) {
      const HDC memory = CreateCompatibleDC(dc);
      const HGDIOBJ previous = SelectObject(memory, bitmap);
      BitBlt(dc, 0, 0, info.bmWidth, info.bmHeight, memory, 0, 0, SRCCOPY);
      SelectObject(memory, previous);
      DeleteDC(memory);
    }
    EndPaint(window, &paint);
    return 0;
  }
  return DefWindowProcA(window, message, wParam, lParam);
}

void RegisterClasses(HINSTANCE instance) {
  WNDCLASSA splash{};
  splash.lpfnWndProc = SplashProcedure;
  splash.hInstance = instance;
  splash.hCursor = LoadCursor(nullptr, IDC_ARROW);
  splash.lpszClassName = kSplashClass;
  RegisterClassA(&splash);
  WNDCLASSA preparing{};
  preparing.lpfnWndProc = DefWindowProcA;
  preparing.hInstance = instance;
  preparing.hCursor = LoadCursor(nullptr, IDC_ARROW);
  preparing.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
  preparing.lpszClassName = kPreparingClass;
  RegisterClassA(&preparing);
}

// Windows XP and later (major version above 5, or 5.1 and up) get their own icon.
bool IsXpOrLater() {
  OSVERSIONINFOA version{};
  version.dwOSVersionInfoSize = sizeof version;
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wdeprecated-declarations"
  GetVersionExA(&version);
#pragma GCC diagnostic pop
  return version.dwMajorVersion > 5 || (version.dwMajorVersion == 5 && version.dwMinorVersion > 0);
}

}  // namespace

StartupForms::StartupForms(const std::string& splashBitmap, const std::string& caption, const std::string& label) {
  const HINSTANCE instance = GetModuleHandleA(nullptr);
  INITCOMMONCONTROLSEX controls{sizeof controls, ICC_PROGRESS_CLASS};
  InitCommonControlsEx(&controls);
  RegisterClasses(instance);
  const int screenWidth = GetSystemMetrics(SM_CXSCREEN);
  const int screenHeight = GetSystemMetrics(SM_CYSCREEN);

  Rect splashPlace;
  bitmap_ = static_cast<HBITMAP>(
      LoadImageA(nullptr, splashBitmap.c_str(), IMAGE_BITMAP, 0, 0, LR_LOADFROMFILE | LR_CREATEDIBSECTION));
  if (bitmap_) {
    BITMAP info{};
    GetObjectA(bitmap_, sizeof info, &info);
    splashPlace = CentredOn(screenWidth, screenHeight, info.bmWidth, info.bmHeight);
    splash_ =
        CreateWindowExA(WS_EX_TOOLWINDOW | WS_EX_TOPMOST, kSplashClass, "", WS_POPUP, splashPlace.left, splashPlace.top,
                        splashPlace.width, splashPlace.height, nullptr, nullptr, instance, nullptr);
    SetWindowLongPtrA(splash_, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(bitmap_));
    ShowWindow(splash_, SW_SHOWNOACTIVATE);
  }

  const Rect place = PreparingFormPlace(screenWidth, screenHeight, kPreparingWidth, kPreparingHeight,
                                        bitmap_ ? &splashPlace : nullptr);
  preparing_ = CreateWindowExA(WS_EX_DLGMODALFRAME, kPreparingClass, caption.c_str(), WS_POPUP | WS_CAPTION, place.left,
                               place.top, place.width, place.height, nullptr, nullptr, instance, nullptr);
  const HDC screen = GetDC(nullptr);
  const int pixelsPerInch = GetDeviceCaps(screen, LOGPIXELSY);
  ReleaseDC(nullptr, screen);
  font_ = CreateFontA(-MulDiv(8, pixelsPerInch, 72), 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE, DEFAULT_CHARSET,
                      OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, DEFAULT_PITCH, "Tahoma");
  const HWND icon = CreateWindowExA(0, "STATIC", "", WS_CHILD | WS_VISIBLE | SS_ICON, 12, 12, 32, 32, preparing_,
                                    nullptr, instance, nullptr);
  SendMessageA(icon, STM_SETICON,
               reinterpret_cast<WPARAM>(LoadIcon(nullptr, IsXpOrLater() ? IDI_INFORMATION : IDI_APPLICATION)), 0);
  const HWND text = CreateWindowExA(0, "STATIC", label.c_str(), WS_CHILD | WS_VISIBLE | SS_LEFT, 56, 12,
                                    kPreparingWidth - 76, 40, preparing_, nullptr, instance, nullptr);
  SendMessageA(text, WM_SETFONT, reinterpret_cast<WPARAM>(font_), TRUE);
  progress_ = CreateWindowExA(0, PROGRESS_CLASSA, "", WS_CHILD | WS_VISIBLE, 56, 60, kPreparingWidth - 76, 16,
                              preparing_, nullptr, instance, nullptr);
  ShowWindow(preparing_, SW_SHOWNORMAL);
  Repaint();
}

StartupForms::~StartupForms() {
  if (preparing_) DestroyWindow(preparing_);
  if (splash_) DestroyWindow(splash_);
  if (font_) DeleteObject(font_);
  if (bitmap_) DeleteObject(bitmap_);
}

void StartupForms::SetProgressRange(int maximum, int position) {
  SendMessageA(progress_, PBM_SETRANGE32, 0, maximum);
  SendMessageA(progress_, PBM_SETPOS, static_cast<WPARAM>(position), 0);
  Repaint();
}

void StartupForms::StepProgress() {
  SendMessageA(progress_, PBM_DELTAPOS, 1, 0);
  Repaint();
}

void StartupForms::Repaint() {
  for (HWND window : {splash_, preparing_}) {
    if (window) UpdateWindow(window);
  }
  MSG message;
  while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) DispatchMessageA(&message);
}

}  // namespace bw

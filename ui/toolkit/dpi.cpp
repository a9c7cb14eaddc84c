#include "dpi.h"

#include "gdi.h"

namespace vemo::ui {
namespace {

int RoundedDiv(long long numerator, long long denominator) {
  long long half = denominator / 2;
  return static_cast<int>(numerator >= 0 ? (numerator + half) / denominator
                                         : -((-numerator + half) / denominator));
}

}  // namespace

int ScaleToDpi(int value, int dpi) { return RoundedDiv(1LL * value * dpi, kDesignDpi); }

int ScaleFromDpi(int pixels, int dpi) {
  return dpi > 0 ? RoundedDiv(1LL * pixels * kDesignDpi, dpi) : pixels;
}

int ArtFactor(int dpi) { return dpi / kDesignDpi > 1 ? dpi / kDesignDpi : 1; }

void EnsureDpiAwareness() {
  if (GetAwarenessFromDpiAwarenessContext(GetThreadDpiAwarenessContext()) != DPI_AWARENESS_UNAWARE)
    return;  // the manifest decided
  if (SetProcessDpiAwarenessContext(DPI_AWARENESS_CONTEXT_PER_MONITOR_AWARE_V2) ||
      SetProcessDpiAwarenessContext(DPI_AWARENESS_CONTEXT_SYSTEM_AWARE))
    return;
  SetProcessDPIAware();
}

int SystemDpi() {
  const gdi::WindowDc screen;
  int dpi = screen.Get() ? GetDeviceCaps(screen.Get(), LOGPIXELSY) : kDesignDpi;
  return dpi > 0 ? dpi : kDesignDpi;
}

int WindowDpi(HWND hwnd) {
  const UINT dpi = hwnd ? GetDpiForWindow(hwnd) : 0;
  return dpi > 0 ? static_cast<int>(dpi) : SystemDpi();
}

void AdjustWindowRectForDpi(RECT& rect, DWORD style, bool menu, DWORD exStyle, int dpi) {
  if (!AdjustWindowRectExForDpi(&rect, style, menu, exStyle, static_cast<UINT>(dpi)))
    AdjustWindowRectEx(&rect, style, menu, exStyle);
}

int SystemMetricForDpi(int index, int dpi) {
  return GetSystemMetricsForDpi(index, static_cast<UINT>(dpi));
}

}  // namespace vemo::ui

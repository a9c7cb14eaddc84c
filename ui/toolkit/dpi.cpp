#include "dpi.h"

namespace vemo::ui {
namespace {

// Functions of Windows 10 1607 and later, looked up at run time.
template <class F>
F User32(const char* name) {
  return reinterpret_cast<F>(
      reinterpret_cast<void*>(GetProcAddress(GetModuleHandleW(L"user32.dll"), name)));
}

using SetContextFn = BOOL(WINAPI*)(HANDLE);
using GetThreadContextFn = HANDLE(WINAPI*)();
using AwarenessFn = int(WINAPI*)(HANDLE);
using DpiForWindowFn = UINT(WINAPI*)(HWND);
using AdjustForDpiFn = BOOL(WINAPI*)(RECT*, DWORD, BOOL, DWORD, UINT);
using MetricForDpiFn = int(WINAPI*)(int, UINT);

const HANDLE kPerMonitorAwareV2 = reinterpret_cast<HANDLE>(static_cast<INT_PTR>(-4));
const HANDLE kSystemAware = reinterpret_cast<HANDLE>(static_cast<INT_PTR>(-2));

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
  static const auto getContext = User32<GetThreadContextFn>("GetThreadDpiAwarenessContext");
  static const auto awareness = User32<AwarenessFn>("GetAwarenessFromDpiAwarenessContext");
  if (getContext && awareness && awareness(getContext()) != 0) return;  // the manifest decided
  if (auto set = User32<SetContextFn>("SetProcessDpiAwarenessContext")) {
    if (set(kPerMonitorAwareV2) || set(kSystemAware)) return;
  }
  SetProcessDPIAware();
}

int SystemDpi() {
  HDC screen = GetDC(nullptr);
  int dpi = screen ? GetDeviceCaps(screen, LOGPIXELSY) : kDesignDpi;
  if (screen) ReleaseDC(nullptr, screen);
  return dpi > 0 ? dpi : kDesignDpi;
}

int WindowDpi(HWND hwnd) {
  static const auto forWindow = User32<DpiForWindowFn>("GetDpiForWindow");
  if (forWindow && hwnd) {
    UINT dpi = forWindow(hwnd);
    if (dpi > 0) return static_cast<int>(dpi);
  }
  return SystemDpi();
}

void AdjustWindowRectForDpi(RECT& rect, DWORD style, bool menu, DWORD exStyle, int dpi) {
  static const auto adjust = User32<AdjustForDpiFn>("AdjustWindowRectExForDpi");
  if (!adjust || !adjust(&rect, style, menu, exStyle, static_cast<UINT>(dpi)))
    AdjustWindowRectEx(&rect, style, menu, exStyle);
}

int SystemMetricForDpi(int index, int dpi) {
  static const auto metric = User32<MetricForDpiFn>("GetSystemMetricsForDpi");
  if (metric) return metric(index, static_cast<UINT>(dpi));
  return RoundedDiv(1LL * GetSystemMetrics(index) * dpi, SystemDpi());
}

}  // namespace vemo::ui

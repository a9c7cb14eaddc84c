// Pixels per inch. Layout figures (positions, sizes, font heights) are 96-DPI units; a window
// shows them at its monitor's DPI, each figure scaled on its own by one rule, and again when
// the window moves to a monitor of another DPI. Pixel art is only ever enlarged by whole factors.
#pragma once
#include <windows.h>

namespace vemo::ui {

constexpr int kDesignDpi = 96;

// A layout figure at a DPI: value x dpi / 96, halves rounded away from zero (as MulDiv does).
int ScaleToDpi(int value, int dpi);
// Back from pixels at a DPI to layout units, rounded the same way.
int ScaleFromDpi(int pixels, int dpi);
// The largest whole factor (at least 1) by which a picture drawn for 96 DPI is enlarged at a DPI:
// the enlarged picture never outgrows its own scaled size.
int ArtFactor(int dpi);

// Makes the process per-monitor DPI aware (v2), else system aware, unless the program's
// manifest has already decided. Call before the first window is created.
void EnsureDpiAwareness();
// The DPI a window is shown at (the system's where windows have no DPI of their own).
int WindowDpi(HWND hwnd);
int SystemDpi();
// AdjustWindowRectEx for a DPI (the frame and title bar of that DPI).
void AdjustWindowRectForDpi(RECT& rect, DWORD style, bool menu, DWORD exStyle, int dpi);
// GetSystemMetrics for a DPI.
int SystemMetricForDpi(int index, int dpi);

}  // namespace vemo::ui

// The one record shared by the windows, the worker thread and the comparison engine.
#pragma once

#include <atomic>
#include <cstdint>
#include <mutex>
#include <string>

namespace vemo {

// Text for the application title. The worker and the engine replace it, the UI timer copies it;
// it is always handed over whole, so a reader never sees half of a text.
class TitleText {
 public:
  void Set(const std::string& text);
  void Set(const char* text, size_t length);
  std::string Get() const;

 private:
  mutable std::mutex mutex_;
  std::string text_ = "Vemo";
};

// Flags are 0 or 1. Counters and sizes are 64-bit (sizes in units of 8 bytes, see SizeUnits()),
// so figures stay right for files over 2 GiB and trees over 16 GiB. Every field is atomic: the
// worker writes them while the UI thread reads them; no lock is held across any step.
struct RunState {
  TitleText titleText;
  std::atomic<int> stopRequested{0};  // set by Stop, cleared by the worker; polled by the engine
  std::atomic<int> runFinished{
      0};                        // worker's run has ended (animation on) until the animation saw it
  std::atomic<int> language{0};  // 0 English, 1 Japanese
  std::atomic<int64_t> errorCount{0};
  std::atomic<int64_t> folderTotal[2] = {{0},
                                         {0}};  // size units per side (0: Folder 1, 1: Folder 2)
  std::atomic<int64_t> comparedSize{0};         // Folder 1 data read so far, size units
  std::atomic<int64_t> filesCompared{0};        // pairs read to the end without an error line
  std::atomic<int64_t> expectedTotal{0};        // recursive run: smaller pre-scan total
  std::atomic<int> ignoreNoFile{0};
  std::atomic<int> recursive{0};
  std::atomic<int> ignoreCase{0};
  std::atomic<int> preScanning{0};  // 1 while the pre-scan walks, 0 while the comparison walks
};

// The process-wide instance.
RunState& SharedRunState();

}  // namespace vemo

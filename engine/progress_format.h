// Progress figures and texts of a run: pure functions shared by the engine, the GUI and vemo-cli.
// Run-wide sizes are size units (bytes >> 3); per-file figures are bytes.
#pragma once

#include <cstdint>
#include <string>

namespace vemo {

constexpr int kBarMax = 1024;
constexpr int64_t kRunMegabyteFrom = 0x140000;   // size units (10 MiB): shown in MB from here
constexpr int64_t kFileMegabyteFrom = 0xA00000;  // bytes (10 MiB)

inline int64_t SizeUnits(int64_t bytes) { return bytes >> 3; }

// "%5ld/%5ldKB" or "%5ld/%5ldMB", chosen by the total. Write into buf (at least 64 bytes);
// return the length.
int FormatRunSize(char* buf, int64_t done, int64_t total);
int FormatFileSize(char* buf, int64_t doneBytes, int64_t sizeBytes);
// "%02d%% - Vemo".
int FormatPercentTitle(char* buf, int64_t percent);

std::string RunSizeText(int64_t doneUnits, int64_t totalUnits);
std::string FileSizeText(int64_t doneBytes, int64_t sizeBytes);
std::string PercentTitle(int64_t percent);

inline int64_t RunBarPosition(int64_t compared, int64_t total) {
  return compared / (total / 1024 + 1) + 1;
}
inline int64_t FileBarPosition(int64_t readBytes, int64_t size) {
  return readBytes / (size / 1024 + 1) + 1;
}
inline int64_t RunPercent(int64_t compared, int64_t total) { return compared / (total / 100 + 1); }

// The final summary. First part: "No difference found.   (compared files:%d " or
// "%d error(s) found.  (compared files:%d ". Full: first part + "%dKB)" / "%dMB)".
std::string SummaryFirstPart(int64_t errorCount, int64_t filesCompared);
std::string SummaryText(int64_t errorCount, int64_t filesCompared, int64_t comparedSize);

}  // namespace vemo

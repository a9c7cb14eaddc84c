#include "engine/progress_format.h"

#include <cstdio>

namespace vemo {

int FormatRunSize(char* buf, int64_t done, int64_t total) {
  if (total < kRunMegabyteFrom)
    return std::snprintf(buf, 64, "%5lld/%5lldKB", (long long)(done >> 7), (long long)(total >> 7));
  return std::snprintf(buf, 64, "%5lld/%5lldMB", (long long)(done >> 17), (long long)(total >> 17));
}

int FormatFileSize(char* buf, int64_t doneBytes, int64_t sizeBytes) {
  if (sizeBytes < kFileMegabyteFrom)
    return std::snprintf(buf, 64, "%5lld/%5lldKB", (long long)(doneBytes >> 10),
                         (long long)(sizeBytes >> 10));
  return std::snprintf(buf, 64, "%5lld/%5lldMB", (long long)(doneBytes >> 20),
                       (long long)(sizeBytes >> 20));
}

int FormatPercentTitle(char* buf, int64_t percent) {
  return std::snprintf(buf, 64, "%02lld%% - Vemo", (long long)percent);
}

std::string RunSizeText(int64_t doneUnits, int64_t totalUnits) {
  char buf[64];
  return std::string(buf, FormatRunSize(buf, doneUnits, totalUnits));
}

std::string FileSizeText(int64_t doneBytes, int64_t sizeBytes) {
  char buf[64];
  return std::string(buf, FormatFileSize(buf, doneBytes, sizeBytes));
}

std::string PercentTitle(int64_t percent) {
  char buf[64];
  return std::string(buf, FormatPercentTitle(buf, percent));
}

std::string SummaryFirstPart(int64_t errorCount, int64_t filesCompared) {
  char buf[128];
  if (errorCount == 0)
    std::snprintf(buf, sizeof buf, "No difference found.   (compared files:%lld ",
                  (long long)filesCompared);
  else
    std::snprintf(buf, sizeof buf, "%lld error(s) found.  (compared files:%lld ",
                  (long long)errorCount, (long long)filesCompared);
  return buf;
}

std::string SummaryText(int64_t errorCount, int64_t filesCompared, int64_t comparedSize) {
  char buf[64];
  if (comparedSize < kRunMegabyteFrom)
    std::snprintf(buf, sizeof buf, " %lldKB)", (long long)(comparedSize >> 7));
  else
    std::snprintf(buf, sizeof buf, " %lldMB)", (long long)(comparedSize >> 17));
  return SummaryFirstPart(errorCount, filesCompared) + buf;
}

}  // namespace vemo

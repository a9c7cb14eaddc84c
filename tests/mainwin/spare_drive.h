// A drive letter of the test's Wine prefix that points at a missing folder, so that the
// drive exists by name but is not ready; removed again afterwards.
#pragma once

#include <windows.h>

#include <chrono>
#include <condition_variable>
#include <map>
#include <mutex>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "tests/support/hang_guard.h"
#include "ui/toolkit/drives.h"
#include "ui/toolkit/drives_seam.h"

namespace vemo::testing {

// The drive probe replaced by one that holds every question until the test lets it answer: a
// drive that takes as long as the test wants. The drives of `alsoProbed` go through it too,
// whatever their kind (C: made as slow as a network drive). The real probe is back, and every
// question joined, when it goes away.
class HeldProbe {
 public:
  explicit HeldProbe(std::optional<std::string> label = std::string("SLOW"),
                     const std::string& alsoProbed = "")
      : label_(std::move(label)) {
    ui::drives::ResetDriveProbe(test::kHangGuard);
    ui::drives::SetDriveProbe(
        [this](char letter) {
          std::unique_lock<std::mutex> lock(mutex_);
          const int ticket = askedInAll_++;
          ++asked_[letter];
          opened_.notify_all();
          opened_.wait(lock, [&] { return answering_ || ticket < released_; });
          for (const auto& [upTo, label] : releases_)
            if (ticket < upTo) return label;
          return label_;
        },
        alsoProbed);
  }
  ~HeldProbe() {
    Answer();
    ui::drives::ResetDriveProbe(test::kHangGuard);
  }
  // Lets every question (held or to come) answer with the label it was made with.
  void Answer() {
    std::lock_guard<std::mutex> lock(mutex_);
    answering_ = true;
    opened_.notify_all();
  }
  // Lets the questions asked so far answer with this label; those to come are held again.
  void AnswerSoFar(std::optional<std::string> label) {
    std::lock_guard<std::mutex> lock(mutex_);
    released_ = askedInAll_;
    releases_.emplace_back(released_, std::move(label));
    opened_.notify_all();
  }
  int Asked(char letter) {
    std::lock_guard<std::mutex> lock(mutex_);
    return asked_[letter];
  }
  // The questions so far, once at least `atLeast` have come (the questions' threads run when
  // the system lets them); fewer only past the hang guard.
  int AskedInAll(int atLeast = 0) {
    std::unique_lock<std::mutex> lock(mutex_);
    opened_.wait_for(lock, std::chrono::seconds(30), [&] { return askedInAll_ >= atLeast; });
    return askedInAll_;
  }

 private:
  std::mutex mutex_;
  std::condition_variable opened_;
  const std::optional<std::string> label_;
  bool answering_ = false;
  int released_ = 0;  // questions below this number answer, with the label of their release
  std::vector<std::pair<int, std::optional<std::string>>> releases_;
  std::map<char, int> asked_;
  int askedInAll_ = 0;
};

class UnreadyDrive {
 public:
  UnreadyDrive() {
    DWORD used = GetLogicalDrives();
    for (char c = 'Q'; c <= 'Y' && !letter_; ++c)
      if (!(used & (1u << (c - 'A')))) letter_ = c;
    name_ = std::wstring(1, static_cast<wchar_t>(letter_)) + L":";
    DefineDosDeviceW(0, name_.c_str(), L"C:\\vemo-missing-drive-target");
  }
  ~UnreadyDrive() { DefineDosDeviceW(DDD_REMOVE_DEFINITION, name_.c_str(), nullptr); }
  char Letter() const { return letter_; }
  std::string Root() const { return std::string(1, letter_) + ":\\"; }

 private:
  char letter_ = 0;
  std::wstring name_;
};

}  // namespace vemo::testing

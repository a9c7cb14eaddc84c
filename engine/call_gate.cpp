#include "engine/call_gate.h"

namespace vemo {

void CallGate::Enter() {
  int expected = kWorking;
  if (!state_.compare_exchange_strong(expected, kInCall, std::memory_order_acq_rel))
    throw Abandoned{};
}

void CallGate::Leave() {
  if (!LeaveAfterThrow()) throw Abandoned{};
}

bool CallGate::LeaveAfterThrow() {
  int expected = kInCall;
  return state_.compare_exchange_strong(expected, kWorking, std::memory_order_acq_rel);
}

bool CallGate::AbandonInCall() {
  int expected = kInCall;
  if (!state_.compare_exchange_strong(expected, kAbandoned, std::memory_order_acq_rel))
    return false;
  CancelThreadCall(thread_);
  return true;
}

void CallGate::Abandon() {
  if (state_.exchange(kAbandoned, std::memory_order_acq_rel) == kInCall) CancelThreadCall(thread_);
}

template <typename Call>
auto GatedFileSystem::Pass(Call call) -> decltype(call()) {
  gate_.Enter();
  try {
    auto result = call();
    gate_.Leave();
    return result;
  } catch (const Abandoned&) {
    throw;
  } catch (...) {
    if (!gate_.LeaveAfterThrow()) throw Abandoned{};
    throw;
  }
}

std::string GatedFileSystem::ResolveFolder(const std::string& text) {
  return Pass([&] { return inner_.ResolveFolder(text); });
}

ListStatus GatedFileSystem::OpenFolder(FolderHandle parent, std::string_view name,
                                       FolderHandle& folder) {
  folder = kNoFolder;
  FolderHandle opened = kNoFolder;
  try {
    const ListStatus status = Pass([&] { return inner_.OpenFolder(parent, name, opened); });
    folder = opened;
    return status;
  } catch (const Abandoned&) {
    if (opened != kNoFolder) inner_.CloseFolder(opened);  // nobody takes it over now
    throw;
  }
}

ListStatus GatedFileSystem::List(FolderHandle folder, EntryReceiver& receiver, bool wantSizes) {
  return Pass([&] { return inner_.List(folder, receiver, wantSizes); });
}

FolderId GatedFileSystem::IdentifyFolder(FolderHandle folder) {
  return Pass([&] { return inner_.IdentifyFolder(folder); });
}

FolderId GatedFileSystem::ExactFolderId(FolderHandle folder) {
  return Pass([&] { return inner_.ExactFolderId(folder); });
}

OpenedFile GatedFileSystem::OpenFile(FolderHandle folder, std::string_view name) {
  OpenedFile opened;
  try {
    return Pass([&] { return opened = inner_.OpenFile(folder, name); });
  } catch (const Abandoned&) {
    if (opened.handle != kNoFile) inner_.Close(opened.handle);
    throw;
  }
}

ReadResult GatedFileSystem::ReadAt(FileHandle file, int64_t offset, void* buffer, size_t size) {
  return Pass([&] { return inner_.ReadAt(file, offset, buffer, size); });
}

}  // namespace vemo

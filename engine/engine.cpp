#include "engine/engine.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <new>

#include "engine/name_index.h"

namespace vemo {
namespace {

constexpr size_t kBlock = 10240;      // the unit of comparison, progress and stop polls
constexpr size_t kChunk = 8 * kBlock;  // what one read asks the file system for

// Hands out a file's data block by block from whole-chunk reads: the blocks are those that
// reads of kBlock bytes would give, with an eighth of the system calls.
class BlockReader {
public:
    BlockReader(FileSystem& fs, FileHandle file, char* buffer) : fs_(fs), file_(file), buffer_(buffer) {}
    size_t next(const char*& data) {
        if (pos_ == have_ && !ended_) {
            have_ = fs_.read(file_, buffer_, kChunk);
            pos_ = 0;
            ended_ = have_ < kChunk;
        }
        size_t n = have_ - pos_ < kBlock ? have_ - pos_ : kBlock;
        data = buffer_ + pos_;
        pos_ += n;
        return n;
    }

private:
    FileSystem& fs_;
    FileHandle file_;
    char* buffer_;
    size_t have_ = 0, pos_ = 0;
    bool ended_ = false;
};

int64_t smaller(int64_t a, int64_t b) { return a < b ? a : b; }

// Collects one folder's entries: files with their sizes, sub-folders, nothing whose name
// begins with a full stop. Adds the file sizes to the side's total.
class ListingReceiver : public EntryReceiver {
public:
    ListingReceiver(std::vector<NamedEntry>& files, std::vector<NamedEntry>& subFolders,
                    std::atomic<int64_t>& total)
        : files_(files), subFolders_(subFolders), total_(total) {}

    void entry(std::string_view name, bool isFolder, int64_t size) override {
        if (name.empty() || name[0] == '.') return;
        try {
            if (isFolder) {
                subFolders_.push_back(NamedEntry{std::string(name), 0});
            } else {
                files_.push_back(NamedEntry{std::string(name), size});
                total_.store(total_.load(std::memory_order_relaxed) + sizeUnits(size),
                             std::memory_order_relaxed);
            }
        } catch (const std::bad_alloc&) {
            outOfMemoryStop("Out of Memory.\n");
        }
    }

private:
    std::vector<NamedEntry>& files_;
    std::vector<NamedEntry>& subFolders_;
    std::atomic<int64_t>& total_;
};

}  // namespace

struct Engine::Listing {
    std::vector<NamedEntry> files;       // in list order: the entry enumerated last comes first
    std::vector<NamedEntry> subFolders;
};

void outOfMemoryStop(const char* text) {
    std::fputs(text, stdout);
    std::fflush(stdout);
    std::_Exit(1);
}

Engine::Engine(RunState& state, FileSystem& fs, RunSink& sink)
    : state_(state), fs_(fs), sink_(sink), buffer1_(kChunk), buffer2_(kChunk) {}

void Engine::reportError(Message message, std::string_view a, std::string_view b) {
    sink_.appendLine(formatMessage(message, state_.language.load(), a, b, fs_.separator()));
    state_.errorCount.fetch_add(1, std::memory_order_relaxed);
}

std::string Engine::join(const std::string& folder, std::string_view name) const {
    std::string path;
    path.reserve(folder.size() + 1 + name.size());
    path = folder;
    if (!fs_.endsInSeparator(folder)) path += fs_.separator();
    path += name;
    return path;
}

std::string Engine::pattern(const std::string& folder) const { return join(folder, "*.*"); }

void Engine::listFolder(const std::string& pattern, const std::string& folder, Listing& listing,
                        int side) {
    listing.files.clear();
    listing.subFolders.clear();
    ListingReceiver receiver(listing.files, listing.subFolders, state_.folderTotal[side]);
    ListStatus status = ListStatus::NotFound;  // an empty folder text names no folder at all
    if (!folder.empty()) {
        try {
            status = fs_.list(pattern, receiver);
        } catch (const std::bad_alloc&) {
            outOfMemoryStop("Out of memory.\n");
        }
    }
    switch (status) {
    case ListStatus::Ok:
        std::reverse(listing.files.begin(), listing.files.end());
        std::reverse(listing.subFolders.begin(), listing.subFolders.end());
        return;
    case ListStatus::NotFound: reportError(Message::NoFileFound, pattern); break;
    case ListStatus::InvalidName: reportError(Message::InvalidFile, pattern); break;
    case ListStatus::OtherError: reportError(Message::DirSearchError, pattern); break;
    }
    listing.files.clear();
    listing.subFolders.clear();
}

void Engine::compareFolderPair(const std::string& folder1, const std::string& folder2) {
    try {
        startTree(folder1, folder2);
        comparePair(folder1, folder2);
    } catch (const std::bad_alloc&) {
        outOfMemoryStop("Out of Memory.\n");
    }
}

void Engine::preScanFolderPair(const std::string& folder1, const std::string& folder2) {
    try {
        startTree(folder1, folder2);
        preScanPair(folder1, folder2);
    } catch (const std::bad_alloc&) {
        outOfMemoryStop("Out of Memory.\n");
    }
}

void Engine::startTree(const std::string& folder1, const std::string& folder2) {
    const std::string* roots[2] = {&folder1, &folder2};
    for (int side = 0; side < 2; ++side) {
        ancestors_[side].clear();
        FolderId id;
        if (!roots[side]->empty() && fs_.folderId(*roots[side], id)) ancestors_[side].push_back(id);
    }
}

void Engine::comparePair(const std::string& folder1, const std::string& folder2) {
    state_.preScanning = 0;
    Listing side0, side1;
    listFolder(pattern(folder1), folder1, side0, 0);
    listFolder(pattern(folder2), folder2, side1, 1);
    walk(side1.files, folder2, 1, side0.files, folder1, true, Kind::Files);
    walk(side0.files, folder1, 0, side1.files, folder2, false, Kind::Files);
    if (state_.recursive == 1) {
        walk(side1.subFolders, folder2, 1, side0.subFolders, folder1, true, Kind::SubFolders);
        walk(side0.subFolders, folder1, 0, side1.subFolders, folder2, false, Kind::SubFolders);
    }
}

void Engine::preScanPair(const std::string& folder1, const std::string& folder2) {
    state_.preScanning = 1;
    char text[64];
    int64_t m = smaller(state_.folderTotal[0], state_.folderTotal[1]);
    sink_.setPanel(Panel::Panel3, std::string_view(text, formatRunSize(text, 0, m)));
    Listing side0, side1;
    listFolder(pattern(folder1), folder1, side0, 0);
    if (stopped()) return;
    listFolder(pattern(folder2), folder2, side1, 1);
    if (stopped()) return;
    if (state_.recursive == 1)
        walk(side0.subFolders, folder1, 0, side1.subFolders, folder2, false, Kind::SubFolders);
}

void Engine::walk(const std::vector<NamedEntry>& walked, const std::string& walkedPath,
                  int walkedSide, const std::vector<NamedEntry>& other,
                  const std::string& otherPath, bool compare, Kind kind) {
    if (walked.empty()) return;
    NameIndex index(other, state_.ignoreCase == 1);
    for (const NamedEntry& entry : walked) {
        if (stopped()) return;  // before every entry and its lookup
        const NamedEntry* counterpart = index.find(entry.name);
        if (!counterpart) {
            if (state_.ignoreNoFile != 1) reportError(Message::NoCounterpart, walkedPath, entry.name);
            continue;
        }
        bool actOn = kind == Kind::Files ? compare : (state_.preScanning == 1 || compare);
        if (!actOn) continue;
        std::string otherFull = join(otherPath, counterpart->name);
        std::string walkedFull = join(walkedPath, entry.name);
        const std::string& first = walkedSide == 0 ? walkedFull : otherFull;
        const std::string& second = walkedSide == 0 ? otherFull : walkedFull;
        if (kind == Kind::Files)
            compareFiles(first, second, entry.size);
        else
            enterSubFolders(first, second);
    }
}

void Engine::enterSubFolders(const std::string& first, const std::string& second) {
    const std::string* paths[2] = {&first, &second};
    FolderId ids[2];
    bool known[2];
    for (int side = 0; side < 2; ++side) {
        known[side] = fs_.folderId(*paths[side], ids[side]);
        if (known[side] && std::find(ancestors_[side].begin(), ancestors_[side].end(), ids[side]) !=
                               ancestors_[side].end()) {
            // The same physical folder as one being walked: a link loop. Not entered.
            reportError(Message::DirSearchError, pattern(*paths[side]));
            return;
        }
    }
    for (int side = 0; side < 2; ++side)
        ancestors_[side].push_back(known[side] ? ids[side] : FolderId{~0ull, ~0ull});
    if (state_.preScanning == 1)
        preScanPair(first, second);
    else
        comparePair(first, second);
    for (int side = 0; side < 2; ++side) ancestors_[side].pop_back();
}

void Engine::compareFiles(const std::string& first, const std::string& second, int64_t size) {
    const int64_t errorsBefore = state_.errorCount.load(std::memory_order_relaxed);
    FileHandle file1 = fs_.open(first);
    if (file1 == kNoFile) {
        reportError(Message::CantOpen, first);
        return;
    }
    FileHandle file2 = fs_.open(second);
    if (file2 == kNoFile) {
        fs_.close(file1);
        reportError(Message::CantOpen, second);
        return;
    }
    sink_.setPanel(Panel::Panel1, first);
    BlockReader reader1(fs_, file1, buffer1_.data());
    BlockReader reader2(fs_, file2, buffer2_.data());
    const char* block1 = nullptr;
    const char* block2 = nullptr;
    int64_t readBytes = 0;
    size_t a = kBlock, b = kBlock;
    bool complete = true;
    while (a == kBlock && b == kBlock) {
        if (stopped()) {
            complete = false;
            break;
        }
        showFileProgress(readBytes, size);
        a = reader1.next(block1);
        b = reader2.next(block2);
        state_.comparedSize.store(state_.comparedSize.load(std::memory_order_relaxed) +
                                      sizeUnits(static_cast<int64_t>(a)),
                                  std::memory_order_relaxed);
        readBytes += static_cast<int64_t>(a);
        if (b < a) {
            reportError(Message::Longer, first, second);
            break;
        }
        if (a < b) {
            reportError(Message::Longer, second, first);
            break;
        }
        if (std::memcmp(block1, block2, a) != 0) {
            reportError(Message::Differ, first, second);
            break;
        }
    }
    if (complete && state_.errorCount.load(std::memory_order_relaxed) == errorsBefore)
        state_.filesCompared.fetch_add(1, std::memory_order_relaxed);
    fs_.close(file1);
    fs_.close(file2);
}

void Engine::showFileProgress(int64_t readBytes, int64_t size) {
    const int64_t total = state_.recursive == 1
                              ? state_.expectedTotal.load(std::memory_order_relaxed)
                              : smaller(state_.folderTotal[0], state_.folderTotal[1]);
    const int64_t compared = state_.comparedSize.load(std::memory_order_relaxed);
    char text[64];
    sink_.setBar(Bar::ProgressBar2, kBarMax, runBarPosition(compared, total));
    sink_.setPanel(Panel::Panel3, std::string_view(text, formatRunSize(text, compared, total)));
    int length = formatPercentTitle(text, runPercent(compared, total));
    state_.titleText.set(text, static_cast<size_t>(length));
    sink_.setBar(Bar::ProgressBar1, kBarMax, fileBarPosition(readBytes, size));
    sink_.setPanel(Panel::Panel2, std::string_view(text, formatFileSize(text, readBytes, size)));
}

bool Engine::run(const std::string& folder1, const std::string& folder2) {
    RunState& s = state_;
    s.stopRequested = 0;
    s.folderTotal[0] = 0;
    s.folderTotal[1] = 0;
    s.comparedSize = 0;
    s.filesCompared = 0;
    s.expectedTotal = 0;
    if (s.recursive == 1) {
        preScanFolderPair(folder1, folder2);
        s.expectedTotal = smaller(s.folderTotal[0], s.folderTotal[1]);
    }
    if (s.stopRequested != 0) return false;
    sink_.clearLines();
    s.errorCount = 0;
    s.folderTotal[0] = 0;
    s.folderTotal[1] = 0;
    s.comparedSize = 0;
    s.filesCompared = 0;
    compareFolderPair(folder1, folder2);
    return s.stopRequested == 0;
}

}  // namespace vemo

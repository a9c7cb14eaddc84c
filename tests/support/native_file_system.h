// The platform's file system as the program keeps it: for the whole process, since a thread that
// a stopped run leaves behind may still close what it opened after the test has gone on.
#pragma once

#include "engine/file_system.h"

namespace vemo::test {

inline FileSystem& NativeFileSystem() {
  static FileSystem* const fs = MakeNativeFileSystem().release();
  return *fs;
}

}  // namespace vemo::test

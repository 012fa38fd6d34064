#pragma once
// The browser model's file operations on the real file system, and the words for a failure.
#include <string>

#include "browser/BrowserModel.h"

namespace trovell {

StoreOps DiskStoreOps();
// A browser's own text, or else the system's description of the error; nothing for no failure.
std::wstring FailureText(const Failure& failure);

}  // namespace trovell

#pragma once
// Private-profile access. The wide entry points write a new file in the ANSI code page, so
// the file's bytes are what every ANSI reader of it expects.
#include <string>

#include "platform/Status_win.h"

namespace trovell {

// False (value untouched) when nothing is stored: no file, section or key, or an empty value.
bool IniRead(const std::wstring& file, const std::wstring& section, const std::wstring& key,
             std::wstring* value);
// Creates file, section and key as needed and replaces an existing value.
Status IniWrite(const std::wstring& file, const std::wstring& section, const std::wstring& key,
              const std::wstring& value);

}  // namespace trovell

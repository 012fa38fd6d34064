#pragma once
// The process-wide state of the resident shell: who the user is, where the store is, and
// the two settings, read once at start and written once at the end.
#include <cstdint>
#include <string>

#include "platform/Status_win.h"

namespace trovell {

struct Session {
    std::wstring appFolder;        // where the exe, "img" and trovell.ini lie
    std::wstring CurrentUserName;  // names the store root and the settings section
    int16_t SaveFormat = 0;        // 0 BMP, 1 JPEG
    int16_t SaveMethod = 0;        // 0 left click captures by hand, 1 stores the clipboard
};

// The logged-on user's name; empty when the system cannot say.
std::wstring UserFolderName();

// False when a value is not a number: reading stops there and the rest keep their values.
bool SettingsLoad(Session& session);
Status SettingsSave(const Session& session);

}  // namespace trovell

#include "shell/Settings_win.h"

#include <windows.h>

#include "platform/Ini_win.h"
#include "shell/SettingsRules.h"
#include "shell/StoreNames.h"

namespace trovell {

namespace {
// A missing or empty value leaves the setting alone; a value that is no number is an error.
bool ReadSetting(const std::wstring& file, const std::wstring& section, const wchar_t* key,
                 int16_t& target) {
    std::wstring text;
    if (!IniRead(file, section, key, &text)) return true;
    auto value = ParseSettingValue(text);
    if (!value) return false;
    target = *value;
    return true;
}
}  // namespace

std::wstring UserFolderName() {
    wchar_t buffer[257] = {};  // UNLEN + 1
    DWORD length = 257;
    if (!::GetUserNameW(buffer, &length)) return {};
    return buffer;
}

bool SettingsLoad(Session& session) {
    std::wstring file = SettingsFilePath(session.appFolder);
    return ReadSetting(file, session.CurrentUserName, kKeySaveFormat, session.SaveFormat) &&
           ReadSetting(file, session.CurrentUserName, kKeySaveMethod, session.SaveMethod);
}

Status SettingsSave(const Session& session) {
    std::wstring file = SettingsFilePath(session.appFolder);
    if (Status saved = IniWrite(file, session.CurrentUserName, kKeySaveFormat,
                                SettingText(session.SaveFormat));
        !saved)
        return saved;
    return IniWrite(file, session.CurrentUserName, kKeySaveMethod,
                    SettingText(session.SaveMethod));
}

}  // namespace trovell

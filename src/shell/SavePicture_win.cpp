#include "shell/SavePicture_win.h"

#include "platform/BmpWriter_win.h"
#include "platform/Dib_win.h"
#include "platform/FileOps_win.h"
#include "platform/JpegWriter_win.h"
#include "platform/Text_win.h"
#include "shell/JpegErrors.h"
#include "shell/StoreNames.h"

namespace trovell {

namespace {
SaveResult Failed(std::wstring reason) {
    return {SaveResult::Kind::Failed, {}, std::move(reason)};
}

}  // namespace

bool EnsureStoreRoot(const std::wstring& storeRoot) {
    if (FolderExists(storeRoot)) return true;
    std::wstring img = ParentFolder(storeRoot);
    if (!FolderExists(img) && !MakeFolder(img)) return false;
    return MakeFolder(storeRoot);
}

JpegWriter DefaultJpegWriter() {
    return &DCSavetoJPEG;
}

SaveResult SavePictureToStore(const DibSurface& picture, const std::wstring& storeRoot,
                              int16_t saveFormat, const Clock& clock, const JpegWriter& jpeg) {
    if (saveFormat != 0 && saveFormat != 1) return {};
    const std::wstring folder = storeRoot + DayFolderName(clock()) + L'\\';
    // The store root may be gone (a user cleaning up): rebuilt rather than lose the picture.
    // Another instance may make the day folder at the same moment; then it is there.
    if (!FolderExists(folder) &&
        !(EnsureStoreRoot(storeRoot) && (MakeFolder(folder) || FolderExists(folder))))
        return Failed(LastErrorText());

    const std::wstring temp = CreateTempFileIn(folder);
    if (temp.empty()) return Failed(LastErrorText());

    // The clock is read again for the name: a store at midnight keeps the folder it began in.
    const std::wstring base = PictureBaseName(clock());
    std::wstring extension;
    if (saveFormat == 0) {
        extension = L".bmp";
        DWORD error = 0;
        if (!SaveBmp(picture, temp, &error)) {
            RemoveFile(temp);
            return Failed(SystemErrorText(error));
        }
    } else {
        extension = L".jpg";
        int16_t code = jpeg(picture.dc(), picture.width(), picture.height(), temp.c_str(), 100, 0);
        std::wstring message;
        if (!JpegErrorText(code, &message)) {
            RemoveFile(temp);
            return Failed(message);
        }
    }

    for (int n = 1;; ++n) {
        std::wstring path = folder + PictureFileName(base, n, extension);
        if (MoveFileTo(temp, path)) return {SaveResult::Kind::Saved, path, {}};
        unsigned long code = LastErrorCode();
        if (code != ERROR_ALREADY_EXISTS && code != ERROR_FILE_EXISTS) {
            std::wstring reason = LastErrorText();
            RemoveFile(temp);
            return Failed(reason);
        }
    }
}

}  // namespace trovell

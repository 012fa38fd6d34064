#include "shell/SavePicture_win.h"

#include "platform/BmpWriter_win.h"
#include "platform/Dib_win.h"
#include "platform/FileOps_win.h"
#include "platform/JpegWriter_win.h"
#include "shell/JpegErrors.h"
#include "shell/StoreNames.h"

namespace trovell {

namespace {

// The writer's own words for its code, unless the failing system call left better ones (a
// full disk is then called a full disk, not an unwritable file).
std::wstring JpegFailureReason(int16_t code, DWORD systemCode) {
    if (systemCode != ERROR_SUCCESS) return Status(systemCode).Text();
    std::wstring message;
    JpegErrorText(code, &message);
    return message.empty() ? Status(ERROR_GEN_FAILURE).Text() : message;
}

}  // namespace

Status EnsureStoreRoot(const std::wstring& storeRoot) {
    if (FolderExists(storeRoot)) return {};
    const std::wstring img = ParentFolder(storeRoot);
    if (!FolderExists(img))
        if (Status made = MakeFolder(img); !made) return made;
    return MakeFolder(storeRoot);
}

JpegWriter DefaultJpegWriter() {
    return &DCSavetoJPEG;
}

SaveResult SavePictureToStore(const DibSurface& picture, const std::wstring& storeRoot,
                              int16_t saveFormat, const Clock& clock, const JpegWriter& jpeg) {
    if (saveFormat != 0 && saveFormat != 1) return {};
    SaveResult result;
    result.folder = storeRoot + DayFolderName(clock()) + L'\\';
    const std::wstring& folder = result.folder;
    auto failed = [&result](std::wstring reason) {
        result.kind = SaveResult::Kind::Failed;
        result.reason = std::move(reason);
        return result;
    };
    // The store root may be gone (a user cleaning up): rebuilt rather than lose the picture.
    // Another instance may make the day folder at the same moment; then it is there.
    if (!FolderExists(folder)) {
        Status made = EnsureStoreRoot(storeRoot);
        if (made) made = MakeFolder(folder);
        if (!made && !FolderExists(folder)) return failed(made.Text());
    } else {
        RemoveStaleTempFiles(folder);
    }

    std::wstring temp;
    if (Status created = CreateTempFileIn(folder, &temp); !created) return failed(created.Text());

    // The clock is read again for the name: a store at midnight keeps the folder it began in.
    const std::wstring base = PictureBaseName(clock());
    std::wstring extension;
    if (saveFormat == 0) {
        extension = L".bmp";
        if (Status saved = SaveBmp(picture, temp); !saved) {
            (void)RemoveFile(temp);
            return failed(saved.Text());
        }
    } else {
        extension = L".jpg";
        ::SetLastError(ERROR_SUCCESS);
        const int16_t code =
            jpeg(picture.dc(), picture.width(), picture.height(), temp.c_str(), 100, 0);
        const DWORD systemCode = ::GetLastError();
        if (!JpegErrorText(code)) {
            (void)RemoveFile(temp);
            return failed(JpegFailureReason(code, systemCode));
        }
    }

    for (int n = 1;; ++n) {
        std::wstring path = folder + PictureFileName(base, n, extension);
        const Status moved = MoveFileTo(temp, path);
        if (moved) {
            result.kind = SaveResult::Kind::Saved;
            result.path = std::move(path);
            return result;
        }
        if (moved.code() != ERROR_ALREADY_EXISTS && moved.code() != ERROR_FILE_EXISTS) {
            (void)RemoveFile(temp);
            return failed(moved.Text());
        }
    }
}

}  // namespace trovell

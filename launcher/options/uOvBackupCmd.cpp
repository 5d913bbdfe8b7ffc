// The options dialog's backup buttons.
#include "uOvBackupCmd.h"

#include "uCmnCom.h"
#include "uCmnError.h"
#include "uCmnFile.h"
#include "uCmnHandle.h"
#include "uCmnWnd.h"
#include "uOvBackup.h"
#include "uOvCmd.h"
#include "uOvInput.h"
#include "uOvMsg.h"
#include "uOvMsgDef.h"
#include "uOvReg.h"

#include <commdlg.h>

#include <string>
#include <vector>

namespace {

constexpr wchar_t Filter[] = L"登録ファイル (*.reg)|*.reg|全てのファイル (*.*)|*.*";
constexpr wchar_t DefaultName[] = L"Orvanta.reg";

// The file chosen in the open or save dialog; empty when the user cancelled.
std::wstring FileChoose(HWND owner, bool save) {
    std::vector<wchar_t> buffer(32768, L'\0');
    if (save)
        std::copy(std::begin(DefaultName), std::end(DefaultName), buffer.begin());
    const std::wstring filter = DialogFilter(Filter);
    OPENFILENAMEW ofn{};
    ofn.lStructSize = sizeof(ofn);
    ofn.hwndOwner = owner;
    ofn.lpstrFilter = filter.c_str();
    ofn.lpstrFile = buffer.data();
    ofn.nMaxFile = static_cast<DWORD>(buffer.size());
    ofn.lpstrDefExt = L"reg";
    ofn.Flags = OFN_HIDEREADONLY | OFN_ENABLESIZING | OFN_EXPLORER |
                (save ? OFN_OVERWRITEPROMPT : OFN_FILEMUSTEXIST);
    ComEnsure();
    const BOOL chosen = save ? ::GetSaveFileNameW(&ofn) : ::GetOpenFileNameW(&ofn);
    return chosen ? std::wstring(buffer.data()) : std::wstring();
}

// The whole file, or a box naming it; false then.
bool FileRead(const std::wstring& path, std::vector<BYTE>& bytes) {
    TUniqueHandle file(::CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                                     OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    LARGE_INTEGER size{};
    if (file.Get() == INVALID_HANDLE_VALUE || !::GetFileSizeEx(file.Get(), &size)) {
        ErrorMessageBox(AboutFileText(path, OV_MSG_BACKUP_UNREADABLE));
        return false;
    }
    // Refused before it is read: a file far larger than any tree is no tree.
    if (size.QuadPart > static_cast<LONGLONG>(OvImportMost)) {
        ErrorMessageBox(
            AboutFileText(path, FormatMessageText(OV_MSG_BACKUP_TOO_LARGE,
                                                  static_cast<int>(OvImportMost >> 20))));
        return false;
    }
    bytes.resize(static_cast<size_t>(size.QuadPart));
    DWORD read = 0;
    if (!bytes.empty() &&
        (!::ReadFile(file.Get(), bytes.data(), static_cast<DWORD>(bytes.size()), &read, nullptr) ||
         read != bytes.size())) {
        ErrorMessageBox(AboutFileText(path, OV_MSG_BACKUP_UNREADABLE));
        return false;
    }
    return true;
}

} // namespace

void BackupExportRun(HWND owner) {
    const std::wstring path = FileChoose(owner, true);
    if (path.empty())
        return;
    // A tree that cannot be read whole, or holds what no file can carry, writes no file at all.
    std::vector<BYTE> bytes;
    try {
        THourglass hourglass;
        bytes = ExportBytes();
    } catch (const std::exception& e) {
        ErrorMessageBox(AboutFileText(path, ErrorMessageOf(e)));
        return;
    }
    // Written beside it first: a file there already is replaced only by a whole one.
    const std::wstring partial = path + L".partial";
    bool written = false;
    {
        TUniqueHandle file(::CreateFileW(partial.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                         FILE_ATTRIBUTE_NORMAL, nullptr));
        DWORD done = 0;
        written = file.Get() != INVALID_HANDLE_VALUE &&
                  ::WriteFile(file.Get(), bytes.data(), static_cast<DWORD>(bytes.size()), &done,
                              nullptr) &&
                  done == bytes.size() && ::FlushFileBuffers(file.Get());
    }
    if (!written || !::MoveFileExW(partial.c_str(), path.c_str(),
                                   MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
        ::DeleteFileW(partial.c_str());
        ErrorMessageBox(AboutFileText(path, OV_MSG_BACKUP_UNWRITABLE));
    }
}

TImportDone BackupImportRun(HWND owner) {
    const std::wstring path = FileChoose(owner, false);
    std::vector<BYTE> bytes;
    if (path.empty() || !FileRead(path, bytes))
        return TImportDone::None;
    TImport import;
    try {
        THourglass hourglass;
        import = ImportRead(bytes);
    } catch (const ERegFileError& e) {
        ErrorMessageBox(AboutFileText(path, ErrorMessageOf(e)));
        return TImportDone::None;
    }
    const std::wstring summary = FormatMessageText(
        OV_MSG_BACKUP_SUMMARY,
        {PathWrapped(path, OV_MSG_PATH_WIDTH), std::to_wstring(import.pages.size()),
         std::to_wstring(import.items), std::to_wstring(import.settings)});
    const int chosen =
        ChoiceAskRun(owner, OV_MSG_BACKUP_TITLE, summary,
                     {OV_MSG_BACKUP_REPLACE, OV_MSG_BACKUP_APPEND, OV_MSG_BACKUP_CANCEL}, 2);
    THourglass hourglass;
    if (chosen == 0) {
        ImportReplace(import);
        PagesRepair();
        return TImportDone::Replaced;
    }
    if (chosen == 1) {
        ImportAppend(import);
        return TImportDone::Appended;
    }
    return TImportDone::None;
}

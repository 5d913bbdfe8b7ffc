// Files on disk: Shift-JIS path rules, existence tests, the shared directory search, folder
// listing, shortcut resolution and display names.
#pragma once

#include <windows.h>

#include <cstdint>
#include <string>
#include <unordered_map>
#include <vector>

// Path rules. Paths are byte strings in the ANSI code page; "\" and ":" end a folder or drive,
// and the 0x5C second byte of a double-byte character never counts as "\".

// Everything after the last "\" or ":"; the whole path when there is none.
std::string PathName(const std::string& path);
// Everything up to and including the last "\" or ":".
std::string PathFolderWithSep(const std::string& path);
// The folder with separator less its final "\", which stays after ":" or "\" ("C:\a.txt" gives
// "C:\") and when it is the whole folder ("\a.txt" gives "\").
std::string PathFolder(const std::string& path);
// From the last "." to the end, dot included, when no "\" or ":" follows it; otherwise empty.
std::string PathExtension(const std::string& path);
// The path's extension equals `ext`, with single-byte a-z folded to A-Z on both sides.
bool PathExtensionIs(const std::string& path, const std::string& ext);
// The extension so folded: one key for all the spellings PathExtensionIs takes as equal.
std::string PathExtensionKey(const std::string& path);

// One match of a directory search.
struct FindRecord {
    // Last-write time in local time, MS-DOS packed: year-1980 in bits 25-31, month 21-24,
    // day 16-20, hours 11-15, minutes 5-10, seconds/2 in 0-4.
    uint32_t Time = 0;
    // The low 32 bits of the size.
    int32_t Size = 0;
    uint32_t Attr = 0;
    std::string Name;
    // The whole size, for files of 2 GiB and more.
    int64_t Size64 = 0;
};

// True when the path names an existing entry that is not a folder.
bool FilePresent(const std::string& path);
// True when the path names an existing folder; false for a drive root and any path ending in "\".
bool FolderPresent(const std::string& path);

// The one directory search of the process: a new FileFindFirst ends the previous search.
// Critical-error prompts are off while the search touches the disk.
bool FileFindFirst(const std::string& path, FindRecord& record);
bool FileFindNext(FindRecord& record);
void FileFindClose();

// The root of the volume a full path lies on: "C:\" for "C:\a\b", "\\server\share\" for
// "\\server\share\a"; empty for a path without one (relative, or a bare "\\server").
std::string PathRoot(const std::string& path);

// What the file system tells about a path: it is there, it is gone for certain, or it cannot
// be told (the path cannot be reached just now).
enum class TPathState { Present, Absent, Unknown };

// Tells a path that is gone from one that cannot be reached. A path is Absent only when its
// look-up says "not found" and the deepest folder on the path that exists can be listed, or when
// a file stands where one of its folders should be. Every other failure is Unknown: a folder
// link whose target is missing, a folder that denies access, a drive without its medium or
// without a volume, a share that does not answer. What it learns about each folder is kept, so
// one object serves one pass over many paths; a found path costs one look-up. Never prompts for
// a disk.
class TPathProbe {
  public:
    // Present fills the record as FileRecordGet does.
    TPathState Get(const std::string& path, FindRecord& record);
    // Present when the folder can be listed; Absent when it is gone for certain.
    TPathState Folder(const std::string& folder);

  private:
    std::unordered_map<std::string, TPathState> folders_;
};

// The platform look-ups that every test of a path here goes through. Tests put stand-ins here
// to make chosen paths fail as a denied folder or an unready drive would.
struct TFileLookUps {
    BOOL(WINAPI* attributes)(LPCSTR, GET_FILEEX_INFO_LEVELS, LPVOID) = ::GetFileAttributesExA;
    HANDLE(WINAPI* findFirst)(LPCSTR, LPWIN32_FIND_DATAA) = ::FindFirstFileA;
};
TFileLookUps& FileLookUps();

// The record FileFindFirst gives for a path that names one entry, read without a directory
// search (which costs far more on large folders); Name is the path's name part as given. A path
// with wildcards, or one that names no entry by itself (ending in "\", ":", "." or ".."), is
// searched as FileFindFirst would. Critical-error prompts are off meanwhile.
bool FileRecordGet(const std::string& path, FindRecord& record);

// Replaces the list with folder + "\" + name for every entry matching folder + "\" + mask, "."
// and ".." left out, in the platform's order. Exactly one "\" is added: "D:\Docs\" gives
// "D:\Docs\\a.txt".
void FolderList(const std::string& folder, const std::string& mask, std::vector<std::string>& list);
// The same pass, keeping each entry's whole record (Name holds the entry's name only). False
// when the search found nothing at all, not even "." (an empty volume root, or a folder that
// cannot be listed).
bool FolderRecords(const std::string& folder, const std::string& mask,
                   std::vector<FindRecord>& records);

// Reads a shortcut's target (short 8.3 form where one exists; empty for a target that is not a
// file-system object) and its arguments. Raises EOleError on any failing step; both outputs are
// then empty. COM must be initialised on the calling thread.
void LinkResolve(const std::string& path, std::string& target, std::string& arguments);
// The platform's description of a status code, or "OLE エラー %.8x" when it has none.
std::string OleErrorText(HRESULT hr);

bool FileIsLink(const std::string& path);
// The name without its ".lnk" extension; any other name unchanged.
std::string FileDisplayName(const std::string& name);
// The path, or a shortcut's target, has the extension ".exe". Raises as LinkResolve does.
bool FileIsExe(const std::string& path);

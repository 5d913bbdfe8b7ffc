// Files on disk: path rules, existence tests, directory searches, folder
// listing, shortcut resolution and display names.
#pragma once

#include "uCmnHandle.h"

#include <windows.h>

#include <cstdint>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

// Path rules. Paths are UTF-16 strings; "\" and ":" end a folder or drive. No code unit of another
// character can be taken for either (UTF-16 has no double-byte second bytes), so the splits are
// plain scans from the end.

// Everything after the last "\" or ":"; the whole path when there is none.
std::wstring PathName(const std::wstring& path);
// Everything up to and including the last "\" or ":".
std::wstring PathFolderWithSep(const std::wstring& path);
// The folder with separator less its final "\", which stays after ":" or "\" ("C:\a.txt" gives
// "C:\") and when it is the whole folder ("\a.txt" gives "\").
std::wstring PathFolder(const std::wstring& path);
// PathFolder as a view into `path`, for comparisons that make no copy.
std::wstring_view PathFolderView(const std::wstring& path);
// From the last "." to the end, dot included, when no "\" or ":" follows it; otherwise empty.
std::wstring PathExtension(const std::wstring& path);
// The path's extension equals `ext`, with the ASCII letters a-z folded to A-Z on both sides.
bool PathExtensionIs(const std::wstring& path, const std::wstring& ext);
// The extension so folded: one key for all the spellings PathExtensionIs takes as equal.
std::wstring PathExtensionKey(const std::wstring& path);

// The path in lines of at most `width` characters, for a box that would otherwise grow as wide as
// the path: each line breaks after its last "\", or at its width where it holds none (never
// inside a character). Nothing is left out.
std::wstring PathWrapped(const std::wstring& path, size_t width);

// One match of a directory search.
struct FindRecord {
    // Last-write time in local time, MS-DOS packed: year-1980 in bits 25-31, month 21-24,
    // day 16-20, hours 11-15, minutes 5-10, seconds/2 in 0-4.
    uint32_t Time = 0;
    // The low 32 bits of the size.
    int32_t Size = 0;
    uint32_t Attr = 0;
    std::wstring Name;
    // The whole size, for files of 2 GiB and more.
    int64_t Size64 = 0;
};

// True when the path names an existing entry that is not a folder.
bool FilePresent(const std::wstring& path);
// True when the path names an existing folder; false for a drive root and any path ending in "\".
bool FolderPresent(const std::wstring& path);

// The folder of the running program, with its separator, however long its path.
std::wstring ProgramFolder();

// A directory search, owned by its caller: no two searches share anything, on one thread or on
// several (the window's and a folder's lister list at once). The search ends with the object or
// with the first Next that finds nothing. Critical-error prompts are off (for the calling thread
// only) while it touches the disk.
class TFileSearch {
  public:
    TFileSearch() = default;
    TFileSearch(const TFileSearch&) = delete;
    TFileSearch& operator=(const TFileSearch&) = delete;

    // The first match of `path` (a name or a pattern); false, with an empty record, for none.
    bool First(const std::wstring& path, FindRecord& record);
    // The same, with the platform's error when nothing matched.
    bool First(const std::wstring& path, FindRecord& record, DWORD& error);
    bool Next(FindRecord& record);

  private:
    TUniqueFind find_;
};

// The root of the volume a full path lies on: "C:\" for "C:\a\b", "\\server\share\" for
// "\\server\share\a"; empty for a path without one (relative, or a bare "\\server").
std::wstring PathRoot(const std::wstring& path);

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
    TPathState Get(const std::wstring& path, FindRecord& record);
    // Present when the folder can be listed; Absent when it is gone for certain.
    TPathState Folder(const std::wstring& folder);
    // Folder, told from the folder's listing itself where it lists (FolderRecords with "*"):
    // one directory pass for both.
    TPathState Listed(const std::wstring& folder, std::vector<FindRecord>& records);

  private:
    std::unordered_map<std::wstring, TPathState> folders_;
};

// The platform look-ups that every test of a path here goes through. Tests put stand-ins here
// to make chosen paths fail as a denied folder or an unready drive would.
struct TFileLookUps {
    BOOL(WINAPI* attributes)(LPCWSTR, GET_FILEEX_INFO_LEVELS, LPVOID) = ::GetFileAttributesExW;
    HANDLE(WINAPI* findFirst)(LPCWSTR, LPWIN32_FIND_DATAW) = ::FindFirstFileW;
};
TFileLookUps& FileLookUps();

// The record TFileSearch::First gives for a path that names one entry, read without a directory
// search (which costs far more on large folders); Name is the path's name part as given. A path
// with wildcards, or one that names no entry by itself (ending in "\", ":", "." or ".."), is
// searched as TFileSearch would. Critical-error prompts are off meanwhile.
bool FileRecordGet(const std::wstring& path, FindRecord& record);

// Replaces the list with folder + "\" + name for every entry matching folder + "\" + mask, "."
// and ".." left out, in the platform's order. Exactly one "\" is added: "D:\Docs\" gives
// "D:\Docs\\a.txt".
void FolderList(const std::wstring& folder, const std::wstring& mask,
                std::vector<std::wstring>& list);
// The same pass, keeping each entry's whole record (Name holds the entry's name only). False
// when the search found nothing at all, not even "." (an empty volume root, or a folder that
// cannot be listed).
bool FolderRecords(const std::wstring& folder, const std::wstring& mask,
                   std::vector<FindRecord>& records);

// Reads a shortcut's target (short 8.3 form where one exists; empty for a target that is not a
// file-system object) and its arguments, each whole however long. Raises EOleError on any
// failing step; both outputs are then empty. Starts COM on the thread when it has none (ComEnsure).
void LinkResolve(const std::wstring& path, std::wstring& target, std::wstring& arguments);
// The platform's description of a status code, or "OLE エラー %.8x" when it has none.
std::wstring OleErrorText(HRESULT hr);

bool FileIsLink(const std::wstring& path);
// The name without its ".lnk" extension; any other name unchanged.
std::wstring FileDisplayName(const std::wstring& name);
// The path, or a shortcut's target, has the extension ".exe". Raises as LinkResolve does.
bool FileIsExe(const std::wstring& path);

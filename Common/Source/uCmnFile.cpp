// Files on disk: Shift-JIS path rules, existence tests, the shared directory search, folder
// listing, shortcut resolution and display names.
#include "uCmnFile.h"

#include "uCmnError.h"
#include "uCmnHandle.h"

#include <shlobj.h>

#include <vector>

namespace {

constexpr size_t None = std::string::npos;

// Where the last separator ("\" or ":") and the last "." of a path stand, found by walking the
// characters from the start: scanning bytes backwards (as StrRChrA does under Wine) would take
// the 0x5C second byte of characters such as "ソ" and "表" for a "\".
struct TPathMarks {
    size_t sep = None;
    // Start of the character just before `sep`.
    size_t beforeSep = None;
    size_t dot = None;
};

TPathMarks PathMarks(const std::string& path) {
    TPathMarks marks;
    size_t previous = None;
    for (size_t i = 0; i < path.size(); ++i) {
        const size_t start = i;
        const char c = path[i];
        if (::IsDBCSLeadByte(static_cast<BYTE>(c)) && i + 1 < path.size()) {
            ++i;
        } else if (c == '\\' || c == ':') {
            marks.sep = start;
            marks.beforeSep = previous;
        } else if (c == '.') {
            marks.dot = start;
        }
        previous = start;
    }
    return marks;
}

size_t ExtensionStart(const TPathMarks& marks) {
    if (marks.dot == None || (marks.sep != None && marks.sep > marks.dot))
        return None;
    return marks.dot;
}

// Folds single-byte a-z only; both bytes of a double-byte character stay as they are.
std::string AsciiUpper(const std::string& s) {
    std::string out = s;
    for (size_t i = 0; i < out.size(); ++i) {
        const char c = out[i];
        if (::IsDBCSLeadByte(static_cast<BYTE>(c)) && i + 1 < out.size())
            ++i;
        else if (c >= 'a' && c <= 'z')
            out[i] = static_cast<char>(c - 0x20);
    }
    return out;
}

TUniqueFind& SharedSearch() {
    static TUniqueFind search;
    return search;
}

// A drive without a medium then fails the search instead of prompting for a disk.
class TErrorModeScope {
  public:
    TErrorModeScope() : previous_(::SetErrorMode(SEM_FAILCRITICALERRORS)) {}
    ~TErrorModeScope() { ::SetErrorMode(previous_); }
    TErrorModeScope(const TErrorModeScope&) = delete;
    TErrorModeScope& operator=(const TErrorModeScope&) = delete;

  private:
    UINT previous_;
};

struct TSearchScope {
    TSearchScope() = default;
    TSearchScope(const TSearchScope&) = delete;
    TSearchScope& operator=(const TSearchScope&) = delete;
    ~TSearchScope() { FileFindClose(); }
};

void RecordFill(const FILETIME& lastWrite, DWORD sizeHigh, DWORD sizeLow, DWORD attributes,
                std::string name, FindRecord& record) {
    FILETIME local{};
    WORD date = 0, time = 0;
    record.Time = ::FileTimeToLocalFileTime(&lastWrite, &local) &&
                          ::FileTimeToDosDateTime(&local, &date, &time)
                      ? (static_cast<uint32_t>(date) << 16) | time
                      : 0;
    record.Size = static_cast<int32_t>(sizeLow);
    record.Size64 = static_cast<int64_t>((static_cast<uint64_t>(sizeHigh) << 32) | sizeLow);
    record.Attr = attributes;
    record.Name = std::move(name);
}

void RecordFill(const WIN32_FIND_DATAA& data, FindRecord& record) {
    RecordFill(data.ftLastWriteTime, data.nFileSizeHigh, data.nFileSizeLow, data.dwFileAttributes,
               data.cFileName, record);
}

void OleCheck(HRESULT hr) {
    if (FAILED(hr))
        throw EOleError(OleErrorText(hr));
}

// GetPath ignores SLGP_SHORTPATH under Wine; a path without a short form stays long.
std::string ShortForm(const std::string& path) {
    if (path.empty())
        return path;
    const DWORD needed = ::GetShortPathNameA(path.c_str(), nullptr, 0);
    if (needed == 0)
        return path;
    std::vector<char> buf(needed);
    const DWORD got = ::GetShortPathNameA(path.c_str(), buf.data(), needed);
    if (got == 0 || got >= needed)
        return path;
    return std::string(buf.data(), got);
}

// Shortcut arguments may be far longer than a path; a path-sized buffer would cut them short.
constexpr int ArgumentsCapacity = 32768;

} // namespace

std::string PathName(const std::string& path) {
    const TPathMarks marks = PathMarks(path);
    return marks.sep == None ? path : path.substr(marks.sep + 1);
}

std::string PathFolderWithSep(const std::string& path) {
    const TPathMarks marks = PathMarks(path);
    return marks.sep == None ? std::string() : path.substr(0, marks.sep + 1);
}

std::string PathFolder(const std::string& path) {
    const TPathMarks marks = PathMarks(path);
    if (marks.sep == None)
        return {};
    // A leading "\" stays: without it the root of the current drive would become "".
    const bool keep = path[marks.sep] != '\\' || marks.beforeSep == None ||
                      (marks.beforeSep + 1 == marks.sep &&
                       (path[marks.beforeSep] == '\\' || path[marks.beforeSep] == ':'));
    return path.substr(0, keep ? marks.sep + 1 : marks.sep);
}

std::string PathExtension(const std::string& path) {
    const size_t start = ExtensionStart(PathMarks(path));
    return start == None ? std::string() : path.substr(start);
}

bool PathExtensionIs(const std::string& path, const std::string& ext) {
    return PathExtensionKey(path) == AsciiUpper(ext);
}

std::string PathExtensionKey(const std::string& path) {
    return AsciiUpper(PathExtension(path));
}

bool FilePresent(const std::string& path) {
    // Like every test of a path here: a drive without a medium answers "no", it never prompts.
    TErrorModeScope mode;
    WIN32_FIND_DATAA data{};
    TUniqueFind find(::FindFirstFileA(path.c_str(), &data));
    return find && (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) == 0;
}

bool FolderPresent(const std::string& path) {
    TSearchScope scope;
    FindRecord record;
    return FileFindFirst(path, record) && (record.Attr & FILE_ATTRIBUTE_DIRECTORY) != 0;
}

namespace {

// FileFindFirst, with the platform's error when nothing is found.
bool SearchFirst(const std::string& path, FindRecord& record, DWORD& error) {
    TErrorModeScope mode;
    WIN32_FIND_DATAA data{};
    const HANDLE found = FileLookUps().findFirst(path.c_str(), &data);
    error = found == INVALID_HANDLE_VALUE ? ::GetLastError() : ERROR_SUCCESS;
    SharedSearch().Reset(found);
    if (found == INVALID_HANDLE_VALUE) {
        record = FindRecord();
        return false;
    }
    RecordFill(data, record);
    return true;
}

} // namespace

// The search takes every kind of entry (attribute mask 0x3F: read-only, hidden, system, volume
// label, folder, archive), so no match is filtered out.
bool FileFindFirst(const std::string& path, FindRecord& record) {
    DWORD error = 0;
    return SearchFirst(path, record, error);
}

bool FileFindNext(FindRecord& record) {
    TErrorModeScope mode;
    WIN32_FIND_DATAA data{};
    TUniqueFind& search = SharedSearch();
    if (!search || !::FindNextFileA(search.Get(), &data)) {
        record = FindRecord();
        return false;
    }
    RecordFill(data, record);
    return true;
}

void FileFindClose() {
    SharedSearch().Reset();
}

std::string PathRoot(const std::string& path) {
    const char drive = path.empty() ? 0 : path[0];
    if (path.size() >= 3 && path[1] == ':' && path[2] == '\\' &&
        ((drive >= 'A' && drive <= 'Z') || (drive >= 'a' && drive <= 'z')))
        return path.substr(0, 3);
    if (path.rfind("\\\\", 0) != 0)
        return {};
    // \\server\share\: the root ends after the fourth separator, or at the end of the path;
    // neither the server's name nor the share's may be empty.
    size_t partStart = 2, separators = 2;
    for (size_t i = 2; i < path.size(); ++i) {
        if (::IsDBCSLeadByte(static_cast<BYTE>(path[i])) && i + 1 < path.size()) {
            ++i;
        } else if (path[i] == '\\') {
            if (i == partStart)
                return {};
            if (++separators == 4)
                return path.substr(0, i + 1);
            partStart = i + 1;
        }
    }
    return separators == 3 && partStart < path.size() ? path + "\\" : std::string();
}

TFileLookUps& FileLookUps() {
    static TFileLookUps lookUps;
    return lookUps;
}

namespace {

// FileRecordGet, with the platform's error when nothing is found.
bool RecordLookUp(const std::string& path, FindRecord& record, DWORD& error) {
    const std::string name = PathName(path);
    const bool oneEntry = !name.empty() && name != "." && name != ".." &&
                          path.find_first_of("*?") == std::string::npos && path.back() != '/';
    if (!oneEntry) {
        TSearchScope scope;
        return SearchFirst(path, record, error);
    }
    TErrorModeScope mode;
    WIN32_FILE_ATTRIBUTE_DATA data{};
    if (!FileLookUps().attributes(path.c_str(), GetFileExInfoStandard, &data)) {
        error = ::GetLastError();
        record = FindRecord();
        return false;
    }
    error = ERROR_SUCCESS;
    RecordFill(data.ftLastWriteTime, data.nFileSizeHigh, data.nFileSizeLow, data.dwFileAttributes,
               name, record);
    return true;
}

bool NotFound(DWORD error) {
    return error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND;
}

// Why the folder's listing yields no first entry; ERROR_SUCCESS when it yields one.
DWORD ListingError(const std::string& folder) {
    WIN32_FIND_DATAA data{};
    const std::string all = folder + (folder.back() == '\\' ? "*" : "\\*");
    TUniqueFind find(FileLookUps().findFirst(all.c_str(), &data));
    return find ? ERROR_SUCCESS : ::GetLastError();
}

// What a folder is, from one look-up of its own and one of its listing; a folder that is not
// found is asked about again through its parent. What the two calls answer (measured under
// Wine 8: the look-up, then the first entry of "folder\*"):
// - a folder that is gone: "file not found", then "path not found";
// - a folder link (a host symbolic link) whose target is missing: "file not found", then
//   "invalid name"; the link is also left out of its parent's listing, so only this second
//   answer tells it from a folder that is gone;
// - an empty volume root: a folder, then "file not found" (a root has no "." entry);
// - a file where the folder should be: a file.
// On Windows such a link keeps its own attributes (a folder and a reparse point) but cannot be
// listed, and the listing may then say "not found" as for an empty root.
TPathState FolderStateOf(TPathProbe& probe, const std::string& folder) {
    WIN32_FILE_ATTRIBUTE_DATA data{};
    if (FileLookUps().attributes(folder.c_str(), GetFileExInfoStandard, &data)) {
        if (!(data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY))
            return TPathState::Absent;
        const DWORD listing = ListingError(folder);
        // A link must list for real: one whose target is missing also says "not found".
        const bool empty = listing == ERROR_FILE_NOT_FOUND &&
                           !(data.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT);
        return listing == ERROR_SUCCESS || empty ? TPathState::Present : TPathState::Unknown;
    }
    if (!NotFound(::GetLastError()) || !NotFound(ListingError(folder)))
        return TPathState::Unknown;
    const std::string parent = PathFolder(folder);
    // A relative path stands on the current folder, which lists.
    if (parent.empty())
        return TPathState::Absent;
    // A volume root that is not found is a drive or share that does not answer.
    if (parent == folder || PathRoot(folder) == folder + "\\")
        return TPathState::Unknown;
    return probe.Folder(parent) == TPathState::Unknown ? TPathState::Unknown : TPathState::Absent;
}

} // namespace

TPathState TPathProbe::Get(const std::string& path, FindRecord& record) {
    DWORD error = ERROR_SUCCESS;
    if (RecordLookUp(path, record, error))
        return TPathState::Present;
    if (!NotFound(error))
        return TPathState::Unknown;
    const std::string folder = PathFolder(path);
    if (folder.empty())
        return TPathState::Absent;
    return Folder(folder) == TPathState::Unknown ? TPathState::Unknown : TPathState::Absent;
}

TPathState TPathProbe::Folder(const std::string& folder) {
    if (const auto known = folders_.find(folder); known != folders_.end())
        return known->second;
    TErrorModeScope mode;
    const TPathState state = FolderStateOf(*this, folder);
    folders_.emplace(folder, state);
    return state;
}

bool FileRecordGet(const std::string& path, FindRecord& record) {
    DWORD error = 0;
    return RecordLookUp(path, record, error);
}

bool FolderRecords(const std::string& folder, const std::string& mask,
                   std::vector<FindRecord>& records) {
    records.clear();
    TSearchScope scope;
    FindRecord record;
    const bool listed = FileFindFirst(folder + "\\" + mask, record);
    for (bool found = listed; found; found = FileFindNext(record)) {
        if (record.Name != "." && record.Name != "..")
            records.push_back(std::move(record));
    }
    return listed;
}

void FolderList(const std::string& folder, const std::string& mask,
                std::vector<std::string>& list) {
    std::vector<FindRecord> records;
    FolderRecords(folder, mask, records);
    list.clear();
    list.reserve(records.size());
    for (const FindRecord& record : records)
        list.push_back(folder + "\\" + record.Name);
}

std::string OleErrorText(HRESULT hr) {
    char buf[1024] = {};
    const DWORD n = ::FormatMessageA(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
                                     nullptr, static_cast<DWORD>(hr), 0, buf, sizeof(buf), nullptr);
    std::string text(buf, n < sizeof(buf) ? n : 0);
    while (!text.empty() && static_cast<unsigned char>(text.back()) <= ' ')
        text.pop_back();
    if (text.empty())
        return FormatMessageText("OLE エラー %.8x", static_cast<int>(hr));
    return text;
}

void LinkResolve(const std::string& path, std::string& target, std::string& arguments) {
    target.clear();
    arguments.clear();

    TComPtr<IShellLinkA> link;
    OleCheck(::CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkA,
                                link.PutVoid()));
    TComPtr<IPersistFile> file;
    OleCheck(link->QueryInterface(IID_IPersistFile, file.PutVoid()));
    if (!file)
        throw ECmnError("Assertion failure (Common\\Source\\uCmnFile.cpp)");

    const int wideLength = ::MultiByteToWideChar(CP_ACP, 0, path.c_str(), -1, nullptr, 0);
    if (wideLength == 0)
        OleCheck(HRESULT_FROM_WIN32(::GetLastError()));
    std::wstring wide(static_cast<size_t>(wideLength), L'\0');
    if (::MultiByteToWideChar(CP_ACP, 0, path.c_str(), -1, wide.data(), wideLength) == 0)
        OleCheck(HRESULT_FROM_WIN32(::GetLastError()));
    OleCheck(file->Load(wide.c_str(), STGM_READ));

    char pathBuf[MAX_PATH + 1] = {};
    WIN32_FIND_DATAA data{};
    OleCheck(link->GetPath(pathBuf, MAX_PATH, &data, SLGP_SHORTPATH));
    std::vector<char> argsBuf(ArgumentsCapacity + 1, '\0');
    OleCheck(link->GetArguments(argsBuf.data(), ArgumentsCapacity));

    target = ShortForm(pathBuf);
    arguments = argsBuf.data();
}

bool FileIsLink(const std::string& path) {
    return PathExtensionIs(path, ".lnk");
}

std::string FileDisplayName(const std::string& name) {
    if (!FileIsLink(name))
        return name;
    return name.substr(0, PathMarks(name).dot);
}

bool FileIsExe(const std::string& path) {
    std::string target = path;
    if (FileIsLink(path)) {
        std::string arguments;
        LinkResolve(path, target, arguments);
    }
    return PathExtensionIs(target, ".exe");
}

// Files on disk: path rules, existence tests, directory searches, folder
// listing, shortcut resolution and display names.
#include "uCmnFile.h"

#include "uCmnCom.h"
#include "uCmnError.h"
#include "uCmnHandle.h"
#include "uCmnStr.h"

#include <shlobj.h>

#include <vector>

namespace {

constexpr size_t None = std::wstring::npos;

// Where the last separator ("\" or ":") and the last "." of a path stand.
struct TPathMarks {
    size_t sep = None;
    size_t dot = None;
};

TPathMarks PathMarks(const std::wstring& path) {
    return TPathMarks{path.find_last_of(L"\\:"), path.rfind(L'.')};
}

size_t ExtensionStart(const TPathMarks& marks) {
    if (marks.dot == None || (marks.sep != None && marks.sep > marks.dot))
        return None;
    return marks.dot;
}

// Folds a-z only; every other character stays as it is.
std::wstring AsciiUpper(const std::wstring& s) {
    std::wstring out = s;
    for (wchar_t& c : out)
        if (c >= L'a' && c <= L'z')
            c = static_cast<wchar_t>(c - 0x20);
    return out;
}

// A drive without a medium then fails the look-up instead of prompting for a disk. The mode is
// the calling thread's own: two threads that look paths up at once (the window's and a folder's
// lister) never restore each other's mode.
class TErrorModeScope {
  public:
    TErrorModeScope() { ::SetThreadErrorMode(SEM_FAILCRITICALERRORS, &previous_); }
    ~TErrorModeScope() { ::SetThreadErrorMode(previous_, nullptr); }
    TErrorModeScope(const TErrorModeScope&) = delete;
    TErrorModeScope& operator=(const TErrorModeScope&) = delete;

  private:
    DWORD previous_ = 0;
};

void RecordFill(const FILETIME& lastWrite, DWORD sizeHigh, DWORD sizeLow, DWORD attributes,
                std::wstring name, FindRecord& record) {
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

void RecordFill(const WIN32_FIND_DATAW& data, FindRecord& record) {
    RecordFill(data.ftLastWriteTime, data.nFileSizeHigh, data.nFileSizeLow, data.dwFileAttributes,
               data.cFileName, record);
}

void OleCheck(HRESULT hr) {
    if (FAILED(hr))
        throw EOleError(OleErrorText(hr));
}

// GetPath ignores SLGP_SHORTPATH under Wine; a path without a short form stays long.
std::wstring ShortForm(const std::wstring& path) {
    if (path.empty())
        return path;
    const DWORD needed = ::GetShortPathNameW(path.c_str(), nullptr, 0);
    if (needed == 0)
        return path;
    std::vector<wchar_t> buf(needed);
    const DWORD got = ::GetShortPathNameW(path.c_str(), buf.data(), needed);
    if (got == 0 || got >= needed)
        return path;
    return std::wstring(buf.data(), got);
}

// Wine stores a shortcut's target path in the ANSI code page, so GetPath answers with a best-fit
// name (a "?" for each character the code page lacks) for a target named outside it. The item
// list keeps the true path: it is taken when the answer names nothing and it names something.
std::wstring TruePath(IShellLinkW& link, const std::wstring& answered) {
    TErrorModeScope mode;
    if (answered.empty() || ::GetFileAttributesW(answered.c_str()) != INVALID_FILE_ATTRIBUTES)
        return answered;
    PIDLIST_ABSOLUTE items = nullptr;
    if (FAILED(link.GetIDList(&items)) || !items)
        return answered;
    wchar_t path[MAX_PATH + 1] = {};
    const bool named = ::SHGetPathFromIDListW(items, path) &&
                       ::GetFileAttributesW(path) != INVALID_FILE_ATTRIBUTES;
    ::CoTaskMemFree(items);
    return named ? std::wstring(path) : answered;
}

// A shortcut's arguments, and its target too, may be far longer than MAX_PATH; a path-sized
// buffer would cut them short without a word. This holds the longest path Windows takes.
constexpr int TextCapacity = 32768;

} // namespace

std::wstring PathName(const std::wstring& path) {
    const TPathMarks marks = PathMarks(path);
    return marks.sep == None ? path : path.substr(marks.sep + 1);
}

std::wstring PathFolderWithSep(const std::wstring& path) {
    const TPathMarks marks = PathMarks(path);
    return marks.sep == None ? std::wstring() : path.substr(0, marks.sep + 1);
}

std::wstring PathFolder(const std::wstring& path) {
    return std::wstring(PathFolderView(path));
}

std::wstring_view PathFolderView(const std::wstring& path) {
    const size_t sep = PathMarks(path).sep;
    if (sep == None)
        return {};
    // A leading "\" stays: without it the root of the current drive would become "".
    const bool keep =
        path[sep] != L'\\' || sep == 0 || path[sep - 1] == L'\\' || path[sep - 1] == L':';
    return std::wstring_view(path).substr(0, keep ? sep + 1 : sep);
}

std::wstring PathExtension(const std::wstring& path) {
    const size_t start = ExtensionStart(PathMarks(path));
    return start == None ? std::wstring() : path.substr(start);
}

bool PathExtensionIs(const std::wstring& path, const std::wstring& ext) {
    return PathExtensionKey(path) == AsciiUpper(ext);
}

std::wstring PathExtensionKey(const std::wstring& path) {
    return AsciiUpper(PathExtension(path));
}

std::wstring PathWrapped(const std::wstring& path, size_t width) {
    std::wstring lines;
    size_t start = 0;
    while (width > 1 && path.size() - start > width) {
        const size_t sep = path.rfind(L'\\', start + width - 1);
        size_t end = sep != None && sep > start ? sep + 1 : start + width;
        if (IS_HIGH_SURROGATE(path[end - 1]))
            --end;
        lines += path.substr(start, end - start) + L"\n";
        start = end;
    }
    return lines + path.substr(start);
}

bool FilePresent(const std::wstring& path) {
    // Like every test of a path here: a drive without a medium answers "no", it never prompts.
    TErrorModeScope mode;
    WIN32_FIND_DATAW data{};
    TUniqueFind find(::FindFirstFileW(path.c_str(), &data));
    return find && (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) == 0;
}

bool FolderPresent(const std::wstring& path) {
    TFileSearch search;
    FindRecord record;
    return search.First(path, record) && (record.Attr & FILE_ATTRIBUTE_DIRECTORY) != 0;
}

std::wstring ProgramFolder() {
    std::vector<wchar_t> buf(MAX_PATH + 1);
    for (;;) {
        const DWORD n = ::GetModuleFileNameW(nullptr, buf.data(), static_cast<DWORD>(buf.size()));
        if (n < buf.size())
            return PathFolderWithSep(std::wstring(buf.data(), n));
        buf.resize(buf.size() * 2);
    }
}

bool TFileSearch::First(const std::wstring& path, FindRecord& record, DWORD& error) {
    TErrorModeScope mode;
    WIN32_FIND_DATAW data{};
    find_.Reset(FileLookUps().findFirst(path.c_str(), &data));
    if (!find_) {
        error = ::GetLastError();
        record = FindRecord();
        return false;
    }
    error = ERROR_SUCCESS;
    RecordFill(data, record);
    return true;
}

// The search takes every kind of entry (attribute mask 0x3F: read-only, hidden, system, volume
// label, folder, archive), so no match is filtered out.
bool TFileSearch::First(const std::wstring& path, FindRecord& record) {
    DWORD error = 0;
    return First(path, record, error);
}

bool TFileSearch::Next(FindRecord& record) {
    TErrorModeScope mode;
    WIN32_FIND_DATAW data{};
    if (!find_ || !::FindNextFileW(find_.Get(), &data)) {
        find_.Reset();
        record = FindRecord();
        return false;
    }
    RecordFill(data, record);
    return true;
}

std::wstring PathRoot(const std::wstring& path) {
    const wchar_t drive = path.empty() ? 0 : path[0];
    if (path.size() >= 3 && path[1] == L':' && path[2] == L'\\' &&
        ((drive >= L'A' && drive <= L'Z') || (drive >= L'a' && drive <= L'z')))
        return path.substr(0, 3);
    if (path.rfind(L"\\\\", 0) != 0)
        return {};
    // \\server\share\: the root ends after the fourth separator, or at the end of the path;
    // neither the server's name nor the share's may be empty.
    size_t partStart = 2, separators = 2;
    for (size_t i = 2; i < path.size(); ++i) {
        if (path[i] == L'\\') {
            if (i == partStart)
                return {};
            if (++separators == 4)
                return path.substr(0, i + 1);
            partStart = i + 1;
        }
    }
    return separators == 3 && partStart < path.size() ? path + L"\\" : std::wstring();
}

TFileLookUps& FileLookUps() {
    static TFileLookUps lookUps;
    return lookUps;
}

namespace {

// FileRecordGet, with the platform's error when nothing is found.
bool RecordLookUp(const std::wstring& path, FindRecord& record, DWORD& error) {
    const std::wstring name = PathName(path);
    const bool oneEntry = !name.empty() && name != L"." && name != L".." &&
                          path.find_first_of(L"*?") == std::wstring::npos && path.back() != L'/';
    if (!oneEntry)
        return TFileSearch().First(path, record, error);
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
DWORD ListingError(const std::wstring& folder) {
    WIN32_FIND_DATAW data{};
    const std::wstring all = folder + (folder.back() == L'\\' ? L"*" : L"\\*");
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
TPathState FolderStateOf(TPathProbe& probe, const std::wstring& folder) {
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
    const std::wstring parent = PathFolder(folder);
    // A relative path stands on the current folder, which lists.
    if (parent.empty())
        return TPathState::Absent;
    // A volume root that is not found is a drive or share that does not answer.
    if (parent == folder || PathRoot(folder) == folder + L"\\")
        return TPathState::Unknown;
    return probe.Folder(parent) == TPathState::Unknown ? TPathState::Unknown : TPathState::Absent;
}

} // namespace

TPathState TPathProbe::Get(const std::wstring& path, FindRecord& record) {
    DWORD error = ERROR_SUCCESS;
    if (RecordLookUp(path, record, error))
        return TPathState::Present;
    if (!NotFound(error))
        return TPathState::Unknown;
    const std::wstring folder = PathFolder(path);
    if (folder.empty())
        return TPathState::Absent;
    return Folder(folder) == TPathState::Unknown ? TPathState::Unknown : TPathState::Absent;
}

TPathState TPathProbe::Folder(const std::wstring& folder) {
    if (const auto known = folders_.find(folder); known != folders_.end())
        return known->second;
    TErrorModeScope mode;
    const TPathState state = FolderStateOf(*this, folder);
    folders_.emplace(folder, state);
    return state;
}

TPathState TPathProbe::Listed(const std::wstring& folder, std::vector<FindRecord>& records) {
    if (!FolderRecords(folder, L"*", records))
        return Folder(folder);
    folders_[folder] = TPathState::Present;
    return TPathState::Present;
}

bool FileRecordGet(const std::wstring& path, FindRecord& record) {
    DWORD error = 0;
    return RecordLookUp(path, record, error);
}

bool FolderRecords(const std::wstring& folder, const std::wstring& mask,
                   std::vector<FindRecord>& records) {
    records.clear();
    TFileSearch search;
    FindRecord record;
    const bool listed = search.First(folder + L"\\" + mask, record);
    for (bool found = listed; found; found = search.Next(record)) {
        if (record.Name != L"." && record.Name != L"..")
            records.push_back(std::move(record));
    }
    return listed;
}

void FolderList(const std::wstring& folder, const std::wstring& mask,
                std::vector<std::wstring>& list) {
    std::vector<FindRecord> records;
    FolderRecords(folder, mask, records);
    list.clear();
    list.reserve(records.size());
    for (const FindRecord& record : records)
        list.push_back(folder + L"\\" + record.Name);
}

std::wstring OleErrorText(HRESULT hr) {
    wchar_t buf[1024] = {};
    const DWORD n = ::FormatMessageW(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
                                     nullptr, static_cast<DWORD>(hr), 0, buf, 1024, nullptr);
    std::wstring text(buf, n < 1024 ? n : 0);
    while (!text.empty() && IsBlank(text.back()))
        text.pop_back();
    if (text.empty())
        return FormatMessageText(L"OLE エラー %.8x", static_cast<int>(hr));
    return text;
}

void LinkResolve(const std::wstring& path, std::wstring& target, std::wstring& arguments) {
    target.clear();
    arguments.clear();

    if (!ComEnsure())
        OleCheck(CO_E_NOTINITIALIZED);
    TComPtr<IShellLinkW> link;
    OleCheck(::CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkW,
                                link.PutVoid()));
    TComPtr<IPersistFile> file;
    OleCheck(link->QueryInterface(IID_IPersistFile, file.PutVoid()));
    if (!file)
        throw ECmnError(L"Assertion failure (Common\\Source\\uCmnFile.cpp)");
    OleCheck(file->Load(path.c_str(), STGM_READ));

    std::vector<wchar_t> pathBuf(TextCapacity + 1, L'\0');
    WIN32_FIND_DATAW data{};
    OleCheck(link->GetPath(pathBuf.data(), TextCapacity, &data, SLGP_SHORTPATH));
    std::vector<wchar_t> argsBuf(TextCapacity + 1, L'\0');
    OleCheck(link->GetArguments(argsBuf.data(), TextCapacity));

    target = ShortForm(TruePath(*link.Get(), pathBuf.data()));
    arguments = argsBuf.data();
}

bool FileIsLink(const std::wstring& path) {
    return PathExtensionIs(path, L".lnk");
}

std::wstring FileDisplayName(const std::wstring& name) {
    if (!FileIsLink(name))
        return name;
    return name.substr(0, PathMarks(name).dot);
}

bool FileIsExe(const std::wstring& path) {
    std::wstring target = path;
    if (FileIsLink(path)) {
        std::wstring arguments;
        LinkResolve(path, target, arguments);
    }
    return PathExtensionIs(target, L".exe");
}

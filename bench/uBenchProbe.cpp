// The benchmark's probe: where a refresh and the first screen's icons spend their time.
#include "uBenchProbe.h"

#include "uBenchCommon.h"
#include "uCmnError.h"
#include "uCmnFile.h"
#include "uCmnHandle.h"
#include "uCmnIcon.h"
#include "uCmnReg.h"
#include "uCmnWnd.h"
#include "uOvLvw.h"
#include "uOvRowIcon.h"
#include "uOvMain.h"
#include "uOvReg.h"

#include <windows.h>
#include <commctrl.h>
#include <shellapi.h>
#include <shlobj.h>

#include <cstdio>
#include <functional>
#include <map>
#include <unordered_map>

namespace {

struct TStage {
    const char* name;
    std::vector<double> times{};
};

// Milliseconds `work` takes.
double Timed(const std::function<void()>& work) {
    const double start = Now();
    work();
    return Now() - start;
}

void StagesPrint(const std::vector<TStage>& stages) {
    for (const TStage& s : stages)
        Line("    %-62s %9.1f", s.name, Median(s.times));
}

} // namespace

void ProbeRefresh(TFrmOvMain& form, int page, const std::string& label, int runs) {
    enum {
        Anew,
        Enumerate,
        Listing,
        Refresh,
        Compare,
        Texts,
        Fill,
        Sort,
        Status,
        Paint,
        Paints,
        Loads,
        Handler,
        Cursor
    };
    std::vector<TStage> stages = {
        {"store: the page key's values enumerated anew (after a write)"},
        {"store: the same read again, the key unchanged"},
        {"listing: the folder's directory pass and state, or one look-up per item"},
        {"PageRefresh: the read, the listing and the comparison"},
        {"comparison: PageRefresh less the read and the listing"},
        {"rows' texts: size, type (a look-up per type), date, folder"},
        {"fill: ListFill with drawing off"},
        {"sort: ListSort by name"},
        {"status bar: the page's item count, a folder page's folder icon"},
        {"paint: the list's first paint without icons"},
        {"icons: the paints while they load"},
        {"icons: ListIconsLoad (look-ups, image lists, row redraws)"},
        {"the whole refresh handler and its paint, icons aside"},
        {"the wait cursor on and off"},
    };
    HWND list = form.CptLvwItems;
    int images = 0, slices = 0;
    for (int run = 0; run < runs; ++run) {
        PumpMessages();
        const std::wstring key = PageKeyPath(page);
        const std::wstring folder = PageFolderRead(page);
        std::vector<TRegStrValue> values;
        // Any write makes the next read enumerate the key again.
        RegStrWrite(HKEY_CURRENT_USER, PageKeyPath(PageCount() + 1), L"", L"");
        RegKeyDelete(HKEY_CURRENT_USER, PageKeyPath(PageCount()));
        stages[Anew].times.push_back(
            Timed([&] { RegStrValuesRead(HKEY_CURRENT_USER, key, values); }));
        stages[Enumerate].times.push_back(
            Timed([&] { RegStrValuesRead(HKEY_CURRENT_USER, key, values); }));
        stages[Listing].times.push_back(Timed([&] {
            if (!folder.empty()) {
                std::vector<FindRecord> records;
                TPathProbe().Listed(folder, records);
                return;
            }
            TPathProbe probe;
            for (const TRegStrValue& value : values) {
                FindRecord record;
                if (!value.name.empty())
                    probe.Get(value.text, record);
            }
        }));
        TPageEntries entries;
        form.CurrentPage = page;
        stages[Refresh].times.push_back(Timed([&] { PageRefresh(page, entries); }));
        stages[Compare].times.push_back(stages[Refresh].times.back() -
                                        stages[Enumerate].times.back() -
                                        stages[Listing].times.back());
        stages[Texts].times.push_back(Timed([&] {
            std::unordered_map<std::wstring, std::wstring> types;
            std::wstring all;
            for (const TPageEntry& e : entries) {
                auto type = types.find(PathExtensionKey(e.path));
                if (type == types.end())
                    type = types.emplace(PathExtensionKey(e.path), TypeText(e.path)).first;
                all = SizeText(e.record.Size64, LocaleTexts().thousands) + type->second +
                      DateText(e.record.Time, LocaleTexts()) + PathFolder(e.path);
            }
        }));
        {
            TListUpdate update;
            stages[Fill].times.push_back(Timed([&] { ListFill(entries); }));
            stages[Sort].times.push_back(Timed([&] { ListSort(form.SortColumn, form.SortOrder); }));
        }
        stages[Status].times.push_back(Timed([&] { form.StatusRepaint(); }));
        stages[Paint].times.push_back(Timed([&] { ::UpdateWindow(list); }));
        double paints = 0, loads = 0;
        slices = 0;
        for (bool more = true; more; ++slices) {
            paints += Timed([] { PumpMessages(); });
            loads += Timed([&] { more = ListIconsLoad(20); });
        }
        paints += Timed([&] { ::UpdateWindow(list); });
        stages[Paints].times.push_back(paints);
        stages[Loads].times.push_back(loads);
        images = ::ImageList_GetImageCount(form.CptImlItems16.Get());
        PumpMessages();
        stages[Handler].times.push_back(Timed([&] {
            form.CptPmuItemBtnUpdateClick();
            ::UpdateWindow(list);
        }));
        while (ListIconsLoad(1000))
            PumpMessages();
        stages[Cursor].times.push_back(Timed([] { THourglass hourglass; }));
    }
    Line("  probe of %s (%d runs, medians in ms; %d rows, %d images after the first screen, "
         "%d slices of icon loading):",
         label.c_str(), runs, static_cast<int>(::SendMessageW(list, LVM_GETITEMCOUNT, 0, 0)),
         images, slices);
    StagesPrint(stages);
}

namespace {

// The icon location the shell gives through the file's folder, bound once: what SHGetFileInfo
// asks for each path after parsing the whole path again.
class TFolderLocations {
  public:
    explicit TFolderLocations(const std::wstring& folder) {
        TComPtr<IShellFolder> desktop;
        ::SHGetDesktopFolder(desktop.Put());
        LPITEMIDLIST pidl = nullptr;
        std::wstring f = folder;
        if (desktop && SUCCEEDED(desktop->ParseDisplayName(nullptr, nullptr, f.data(), nullptr,
                                                           &pidl, nullptr))) {
            desktop->BindToObject(pidl, nullptr, IID_IShellFolder, folder_.PutVoid());
            ::CoTaskMemFree(pidl);
        }
    }
    void Get(const std::wstring& name) {
        LPITEMIDLIST child = nullptr;
        std::wstring n = name;
        if (!folder_ ||
            FAILED(folder_->ParseDisplayName(nullptr, nullptr, n.data(), nullptr, &child, nullptr)))
            return;
        TComPtr<IExtractIconW> extract;
        LPCITEMIDLIST one = child;
        wchar_t buf[MAX_PATH] = {};
        int index = 0;
        UINT flags = 0;
        if (SUCCEEDED(folder_->GetUIObjectOf(nullptr, 1, &one, IID_IExtractIconW, nullptr,
                                             extract.PutVoid())))
            extract->GetIconLocation(0, buf, MAX_PATH, &index, &flags);
        ::CoTaskMemFree(child);
    }

  private:
    TComPtr<IShellFolder> folder_;
};

} // namespace

void ProbeIcons(const std::vector<std::wstring>& samples, int runs) {
    Line("  probe of the icon look-ups, ms per file (median of %d runs): the launcher's rules, the "
         "file's own icon, the shell's icon location by path and through the folder bound once, "
         "the shell's icon by path, a shortcut's resolution",
         runs);
    Line("    %-30s %8s %8s %8s %8s %8s %8s", "file", "rules", "own", "location", "folder",
         "shicon", "link");
    for (const std::wstring& path : samples) {
        std::vector<double> rules, own, location, folderLocation, shIcon, link;
        TFolderLocations folder(PathFolder(path));
        for (int run = 0; run < runs; ++run) {
            rules.push_back(Timed([&] {
                TUniqueIcon small, large;
                FileIconsGet(path, small, large);
            }));
            own.push_back(Timed([&] {
                HICON lg = nullptr, sm = nullptr;
                const UINT n = ::ExtractIconExW(path.c_str(), 0, &lg, &sm, 1);
                if (n > 0 && n != UINT_MAX) {
                    TUniqueIcon l(lg), s(sm);
                }
            }));
            location.push_back(Timed([&] {
                SHFILEINFOW info{};
                ::SHGetFileInfoW(path.c_str(), 0, &info, sizeof(info), SHGFI_ICONLOCATION);
            }));
            folderLocation.push_back(Timed([&] { folder.Get(PathName(path)); }));
            shIcon.push_back(Timed([&] {
                SHFILEINFOW info{};
                if (::SHGetFileInfoW(path.c_str(), 0, &info, sizeof(info),
                                     SHGFI_ICON | SHGFI_LARGEICON))
                    TUniqueIcon icon(info.hIcon);
            }));
            link.push_back(Timed([&] {
                std::wstring target, arguments;
                if (FileIsLink(path))
                    LinkResolve(path, target, arguments);
            }));
        }
        const std::wstring name = PathName(PathFolder(path)) + L"\\" + PathName(path);
        Line("    %-30s %8.2f %8.2f %8.2f %8.2f %8.2f %8.2f", Utf8Of(name).c_str(), Median(rules),
             Median(own), Median(location), Median(folderLocation), Median(shIcon), Median(link));
    }
}

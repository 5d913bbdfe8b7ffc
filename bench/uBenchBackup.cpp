// The backup case: export and import against reg.exe's.
#include "uBenchBackup.h"

#include "uBenchCommon.h"
#include "uCmnFile.h"
#include "uCmnHandle.h"
#include "uCmnReg.h"
#include "uOvBackup.h"
#include "uOvReg.h"
#include "uOvRegDef.h"
#include "uTestRegStores.h"
#include "uTestSupport.h"

#include <windows.h>

#include <fstream>
#include <iterator>
#include <stdexcept>

bool BackupCase(const std::wstring& folder, const std::wstring& scratch, int pages, int items,
                int runs) {
    const HKEY hkcu = HKEY_CURRENT_USER;
    if (PageCount() < pages) {
        std::vector<std::wstring> paths;
        FolderList(folder, L"*", paths);
        if (static_cast<int>(paths.size()) < items)
            throw std::runtime_error("the backup case needs more files in its folder");
        RegKeyDelete(hkcu, OvKeyData);
        for (int32_t page = 1; page <= pages; ++page) {
            PageCreate(page, L"");
            for (int i = 0; i < items; ++i)
                RegStrWrite(hkcu, PageKeyPath(page),
                            L"項目 " + std::to_wstring(page) + L"-" + std::to_wstring(i),
                            paths[static_cast<size_t>(i)]);
        }
    }
    const std::wstring mine = scratch + L"\\mine.reg", theirs = scratch + L"\\theirs.reg";
    const std::wstring tree = StoreTreeDump(hkcu, OvKeyProduct);
    Line("%s", "");
    Line("backup: %d pages of %d items, export and import against reg.exe, %d rounds", pages, items,
         runs);
    std::vector<double> exports, regExports, imports, regImports;
    bool same = true;
    for (int run = 0; run < runs; ++run) {
        double start = Now();
        {
            const std::vector<BYTE> bytes = ExportBytes();
            std::ofstream out(mine.c_str(), std::ios::binary);
            out.write(reinterpret_cast<const char*>(bytes.data()),
                      static_cast<std::streamsize>(bytes.size()));
        }
        exports.push_back(Now() - start);
        start = Now();
        if (!RegExeRun(L"export HKCU\\Software\\Velmora\\Orvanta \"" + theirs + L"\" /y"))
            throw std::runtime_error("reg.exe export failed");
        regExports.push_back(Now() - start);
        start = Now();
        {
            std::ifstream in(mine.c_str(), std::ios::binary);
            const std::vector<BYTE> bytes{std::istreambuf_iterator<char>(in),
                                          std::istreambuf_iterator<char>()};
            ImportReplace(ImportRead(bytes));
        }
        imports.push_back(Now() - start);
        same = same && StoreTreeDump(hkcu, OvKeyProduct) == tree;
        start = Now();
        if (!RegExeRun(L"import \"" + theirs + L"\""))
            throw std::runtime_error("reg.exe import failed");
        regImports.push_back(Now() - start);
        Line("  round %d: export %.0f ms (reg.exe %.0f), import %.0f ms (reg.exe %.0f)", run + 1,
             exports.back(), regExports.back(), imports.back(), regImports.back());
    }
    const double e = Median(exports), re = Median(regExports), i = Median(imports),
                 ri = Median(regImports);
    Line("  median: export %.0f ms, reg.exe %.0f ms: x%.2f (target x1: %s)", e, re, e / re,
         e <= re ? "met" : "missed");
    Line("  median: import %.0f ms, reg.exe %.0f ms: x%.2f (target x1: %s)%s", i, ri, i / ri,
         i <= ri ? "met" : "missed", same ? "" : "  (the import changed the tree)");
    return same;
}

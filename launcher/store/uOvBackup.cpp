// Backup and restore of the product tree through a registry editor's file.
#include "uOvBackup.h"

#include "uCmnReg.h"
#include "uCmnRegStore.h"
#include "uCmnStr.h"
#include "uOvCfg.h"
#include "uOvPages.h"
#include "uOvReg.h"
#include "uOvRegDef.h"

#include <map>

namespace {

const HKEY Root = HKEY_CURRENT_USER;
constexpr wchar_t RootName[] = L"HKEY_CURRENT_USER";
// The file's tree while it is written, beside the product key, and the journal of the import in
// the maker's key: "1" while the staging tree is written (the old tree is the one), "2" while it
// is put in the product key's place (the staging tree is whole), "3" once it is (the staging
// tree goes); "A" and a page number while pages are appended from that number on (the pages
// before it are the old tree).
constexpr wchar_t StagingKey[] = L"\\Software\\Velmora\\Orvanta.import";
constexpr wchar_t JournalKey[] = L"\\Software\\Velmora";
constexpr wchar_t JournalValue[] = L"OrvantaImport";
// The longest value name the registry takes.
constexpr size_t NameMost = 16383;
// The most of a name or path a box quotes: a key line of the whole file would fill the screen.
constexpr size_t QuotedMost = 120;

bool StartsWithNoCase(const std::wstring& text, const std::wstring& start) {
    return text.size() >= start.size() && RegNameEqual(text.substr(0, start.size()), start);
}

std::wstring TextOf(const TRegFileValue& v) {
    std::wstring text(reinterpret_cast<const wchar_t*>(v.data.data()), v.data.size() / 2);
    const size_t zero = text.find(L'\0');
    return zero == std::wstring::npos ? text : text.substr(0, zero);
}

std::wstring Described(const std::wstring& name) {
    return name.empty() ? L"(既定)" : TextShortened(name, QuotedMost);
}

void JournalWrite(const wchar_t* phase) {
    if (!RegStrWrite(Root, JournalKey, JournalValue, phase))
        throw ERegError(std::wstring(JournalKey) + L"\\" + JournalValue);
}

void KeyDeleteChecked(const std::wstring& key) {
    if (RegKeyExists(Root, key) && !RegKeyDelete(Root, key))
        throw ERegError(FormatMessageText(L"キー %s を削除できません", RootName + key));
}

} // namespace

TImport ImportRead(const std::vector<BYTE>& bytes) {
    const std::vector<TRegFileKey> keys = RegFileParse(RegFileDecode(bytes, OvImportMost));
    const std::wstring product = RootName + std::wstring(OvKeyProduct);
    const std::wstring data = std::wstring(OvKeyData).substr(std::wstring(OvKeyProduct).size());
    TImport import;
    std::map<int32_t, TImportPage> pages;
    std::map<int32_t, size_t> pageLines;
    for (const TRegFileKey& key : keys) {
        if (!RegNameEqual(key.path, product) && !StartsWithNoCase(key.path, product + L"\\"))
            throw ERegFileError(key.line, FormatMessageText(L"Orvanta のキーの外のキーです: %s",
                                                            TextShortened(key.path, QuotedMost)));
        // The registry's functions end a name at a zero: checked as one name, it would be
        // written as another (an item named "\0" is the page's folder).
        if (key.path.find(L'\0') != std::wstring::npos)
            throw ERegFileError(key.line, L"キーの名前に NUL 文字があります");
        const std::wstring rel = key.path.substr(product.size());
        TRegFileKey kept = key;
        kept.path = rel;
        import.keys.push_back(std::move(kept));
        for (const TRegFileValue& v : key.values) {
            if (v.name.size() > NameMost)
                throw ERegFileError(key.line, L"値の名前が長すぎます");
            if (v.name.find(L'\0') != std::wstring::npos)
                throw ERegFileError(key.line,
                                    FormatMessageText(L"値の名前に NUL 文字があります: %s",
                                                      TextShortened(v.name, QuotedMost)));
        }
        // A page, a key below a page, or anything else below the product key.
        int32_t page = 0;
        std::wstring below;
        if (StartsWithNoCase(rel, data + L"\\")) {
            const std::wstring rest = rel.substr(data.size() + 1);
            const size_t slash = rest.find(L'\\');
            if (PageNumberParse(rest.substr(0, slash), page))
                below = slash == std::wstring::npos ? L"" : rest.substr(slash);
            else
                page = 0;
        }
        if (page > 0 && below.empty()) {
            TImportPage& p = pages[page];
            pageLines.emplace(page, key.line);
            for (const TRegFileValue& v : key.values) {
                // As the store reads it: a text is an item (the folder for the empty name), a
                // value of another type is kept as it is. Only the folder must be a text.
                const bool text = RegValueIsText(v.type, v.data.size());
                if (v.name.empty() && !text)
                    throw ERegFileError(
                        key.line, FormatMessageText(L"ページ %s のフォルダーが文字列ではありません",
                                                    std::to_wstring(page)));
                if (v.name.empty()) {
                    p.folder = TextOf(v);
                    continue;
                }
                p.values.push_back(v);
                if (text) {
                    ++p.items;
                    ++import.items;
                }
            }
        } else if (page > 0) {
            TRegFileKey sub = key;
            sub.path = below;
            pages[page].below.push_back(std::move(sub));
            if (!RegNameEqual(below, std::wstring(L"\\") + OvKeyPageOwn))
                continue;
            for (const TRegFileValue& v : key.values) {
                if (!RegNameEqual(v.name, OvValPageName))
                    continue;
                if (v.type != REG_SZ)
                    throw ERegFileError(key.line,
                                        FormatMessageText(L"ページ %s の名前が文字列ではありません",
                                                          std::to_wstring(page)));
                const std::wstring name = TextOf(v);
                if (CharCount(name) > OvPageNameMax)
                    throw ERegFileError(
                        key.line,
                        FormatMessageText(L"ページ %s の名前が %s 文字を超えています",
                                          {std::to_wstring(page), std::to_wstring(OvPageNameMax)}));
                pages[page].name = name;
            }
        } else {
            const std::wstring full = std::wstring(OvKeyProduct) + rel;
            for (const TRegFileValue& v : key.values) {
                const unsigned long type = SettingType(full, v.name);
                if (type != REG_NONE && v.type != type)
                    throw ERegFileError(key.line,
                                        FormatMessageText(L"設定「%s」の型が違います (%s)",
                                                          {Described(v.name),
                                                           type == REG_SZ ? L"文字列" : L"数値"}));
                import.settings += type != REG_NONE;
            }
        }
    }
    // Dense from 1: the page after the last one read that is missing is named.
    int32_t expected = 1;
    for (auto& [number, page] : pages) {
        if (number != expected)
            throw ERegFileError(
                pageLines.count(number) ? pageLines[number] : 0,
                FormatMessageText(L"ページ %s がありません (ページ番号が飛んでいます)",
                                  std::to_wstring(expected)));
        import.pages.push_back(std::move(page));
        ++expected;
    }
    return import;
}

std::vector<BYTE> ExportBytes() {
    return RegFileBytes(RegFileText(RegTreeCollect(Root, OvKeyProduct, RootName)));
}

void ImportReplace(const TImport& import) {
    KeyDeleteChecked(StagingKey);
    JournalWrite(L"1");
    for (const TRegFileKey& key : import.keys) {
        const std::wstring path = StagingKey + key.path;
        if (!RegDataValuesWrite(Root, path, key.values))
            throw ERegError(FormatMessageText(L"キー %s を作れません", RootName + path));
    }
    // An import of nothing still gives the product key; marked as a first run's, every setting
    // the file lacks is written with its default before anything reads it.
    if (!RegBoolWrite(Root, StagingKey, OvValFirstRun, true))
        throw ERegError(
            FormatMessageText(L"キー %s を作れません", RootName + std::wstring(StagingKey)));
    JournalWrite(L"2");
    ImportFinish();
    ConfigTreeComplete();
    PagesChangedTell();
}

void ImportFinish() {
    if (!RegValueExists(Root, JournalKey, JournalValue)) {
        // A staging tree without a journal is one whose import was forgotten part-way.
        KeyDeleteChecked(StagingKey);
        return;
    }
    const std::wstring phase = RegStrReadOrEmpty(Root, JournalKey, JournalValue);
    // Pages appended in part: they go, from the last, and the tree is the one before.
    if (int32_t first = 0;
        phase.size() > 1 && phase[0] == L'A' && PageNumberParse(phase.substr(1), first)) {
        for (int32_t page = PageCount(); page >= first; --page)
            KeyDeleteChecked(PageKeyPath(page));
        RegValueDelete(Root, JournalKey, JournalValue);
        return;
    }
    // Without its staging tree there is nothing to put in the tree's place: the tree stays as it
    // is (deleting it, as the journal says, would lose it at every start).
    if (phase == L"2" && RegKeyExists(Root, StagingKey)) {
        // The staging tree is whole; the product key is the old tree, part of it, or part of the
        // copy: it goes, and the copy is made again.
        KeyDeleteChecked(OvKeyProduct);
        if (!RegKeyCopy(Root, StagingKey, OvKeyProduct))
            throw ERegError(
                FormatMessageText(L"キー %s を作れません", RootName + std::wstring(OvKeyProduct)));
        JournalWrite(L"3");
    }
    KeyDeleteChecked(StagingKey);
    RegValueDelete(Root, JournalKey, JournalValue);
}

int32_t ImportAppend(const TImport& import) {
    int32_t total = PageCount();
    int32_t appended = 0;
    // Journaled: a kill part-way leaves the tree as it was before at the next start, never a part
    // of the file's pages that nobody was told of.
    JournalWrite((L"A" + std::to_wstring(total + 1)).c_str());
    try {
        for (const TImportPage& page : import.pages) {
            const int32_t number = total + 1;
            PageCreate(number, page.folder);
            total = number;
            ++appended;
            const std::wstring key = PageKeyPath(number);
            RegDataValuesWrite(Root, key, page.values);
            for (const TRegFileKey& below : page.below)
                if (!RegDataValuesWrite(Root, key + below.path, below.values))
                    throw ERegError(
                        FormatMessageText(L"キー %s を作れません", RootName + key + below.path));
            // A name another page has gets a number.
            if (!page.name.empty()) {
                std::wstring stored;
                std::wstring name = page.name;
                for (int n = 2; PageNameSet(number, total, name, stored) == TPageNameResult::Taken;
                     ++n)
                    name = PageNameNumbered(page.name, n);
            }
            PageChangedTell(number);
        }
        RegValueDelete(Root, JournalKey, JournalValue);
    } catch (...) {
        // What was appended goes again; the first error is the one reported.
        try {
            ImportFinish();
        } catch (...) {
        }
        PagesChangedTell();
        throw;
    }
    return appended;
}

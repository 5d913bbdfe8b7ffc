// Name folding checked against Unicode's own data (CaseFolding.txt and UnicodeData.txt, copied
// beside the program): what Unicode holds alike folds alike, and nothing else does.
#include "uCmnError.h"
#include "uCmnMatch.h"
#include "uTestSupport.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <map>
#include <set>
#include <sstream>
#include <string>
#include <unordered_map>
#include <vector>

namespace {

using TCodes = std::vector<char32_t>;

// Where the platform's own tables part from Unicode's and the fold cannot cheaply mend it, by
// code point (the character whose relation fails, or either of two characters folded alike),
// each group with its reason. Wine 8 leaves none: what its tables lack or join beyond Unicode
// (kana and widths beyond the basic plane, the spacing sound marks) the fold mends itself.
struct TKnownGroup {
    const char* reason;
    std::vector<std::pair<char32_t, char32_t>> ranges;
};
const std::vector<TKnownGroup> KnownDifferences = {};

std::wstring Utf16Of(const TCodes& codes) {
    std::wstring text;
    for (char32_t c : codes)
        if (c >= 0x10000)
            text += {static_cast<wchar_t>(0xD800 + ((c - 0x10000) >> 10)),
                     static_cast<wchar_t>(0xDC00 + (c & 0x3FF))};
        else
            text += static_cast<wchar_t>(c);
    return text;
}

// The code points of a fold, in hex.
std::string Hex(std::wstring_view text) {
    std::string hex;
    for (size_t i = 0; i < text.size(); ++i) {
        char32_t c = text[i];
        if (IS_SURROGATE_PAIR(text[i], i + 1 < text.size() ? text[i + 1] : 0))
            c = 0x10000 + ((c - 0xD800) << 10) + (text[++i] - 0xDC00);
        char one[16];
        std::snprintf(one, sizeof(one), " U+%04X", static_cast<unsigned>(c));
        hex += one;
    }
    return hex.empty() ? "(nothing)" : hex.substr(1);
}

std::string Hex(const TCodes& codes) {
    return Hex(Utf16Of(codes));
}

TCodes CodesOfHex(const std::string& field) {
    TCodes codes;
    std::istringstream in(field);
    std::string hex;
    while (in >> hex)
        codes.push_back(static_cast<char32_t>(std::stoul(hex, nullptr, 16)));
    return codes;
}

std::wstring DataPath(const wchar_t* name) {
    return ExeFolder() + L"unicode\\" + name;
}

// The lines of a Unicode data file that hold fields, each split at its semicolons.
std::vector<std::vector<std::string>> DataLines(const wchar_t* name) {
    std::vector<std::vector<std::string>> lines;
    std::ifstream in(std::filesystem::path(DataPath(name)));
    for (std::string line; std::getline(in, line);) {
        std::istringstream split(line.substr(0, line.find('#')));
        std::vector<std::string> fields;
        for (std::string field; std::getline(split, field, ';');)
            fields.push_back(field.erase(0, field.find_first_not_of(' ')));
        if (fields.size() > 1)
            lines.push_back(std::move(fields));
    }
    return lines;
}

struct TRelation {
    const char* oracle;
    TCodes one;
    TCodes other;
};

// Every pair of texts that Unicode's data holds alike for matching names, and the classes they
// make of single characters.
class TOracle {
  public:
    TOracle() {
        std::map<std::string, char32_t> byName;
        std::map<char32_t, char32_t> narrowOf;
        for (const auto& f : DataLines(L"UnicodeData.txt")) {
            if (f.size() < 6)
                continue;
            const char32_t c = static_cast<char32_t>(std::stoul(f[0], nullptr, 16));
            if (f[1] == "<Hangul Syllable, First>")
                hangulFirst_ = c;
            else if (f[1] == "<Hangul Syllable, Last>")
                hangulLast_ = c;
            TChar& info = chars_[c];
            info.name = f[1];
            const size_t tagEnd = f[5].rfind('>') + 1; // 0 without a tag
            info.tag = f[5].substr(0, tagEnd);
            info.mapping = CodesOfHex(f[5].substr(tagEnd));
            byName[info.name] = c;
            if (info.tag == "<narrow>")
                narrowOf[info.mapping[0]] = c;
        }
        for (const auto& f : DataLines(L"CaseFolding.txt"))
            if (f.size() > 2 && (f[1] == "C" || f[1] == "S"))
                Add("case folding", CodesOfHex(f[0]), CodesOfHex(f[2]));
        const std::string hiragana = "HIRAGANA ";
        std::map<TCodes, char32_t> firstWithDecomposition;
        for (const auto& [c, info] : chars_) {
            listed.push_back(c);
            if (info.tag == "<wide>" || info.tag == "<narrow>")
                Add("width", {c}, info.mapping);
            if (info.name.rfind(hiragana, 0) == 0) {
                const auto katakana = byName.find("KATAKANA " + info.name.substr(hiragana.size()));
                if (katakana != byName.end())
                    Add("kana type", {c}, {katakana->second});
            }
            if (!info.tag.empty() || info.mapping.empty())
                continue;
            const TCodes decomposed = Decomposed(c);
            Add("canonical decomposition", {c}, decomposed);
            // Characters of one decomposition are one character to Unicode (ά U+1F71, U+03AC).
            Join(c, firstWithDecomposition.emplace(decomposed, c).first->second);
            // A voiced katakana is its half-width base followed by the half-width mark.
            if (info.name.rfind("KATAKANA LETTER ", 0) == 0 && info.mapping.size() == 2 &&
                narrowOf.count(info.mapping[0]) && narrowOf.count(info.mapping[1]))
                Add("half-width voiced", {c},
                    {narrowOf[info.mapping[0]], narrowOf[info.mapping[1]]});
        }
        // Unicode's arithmetic for the syllables its data lists as one range.
        for (char32_t s = hangulFirst_; hangulLast_ && s <= hangulLast_; ++s) {
            const char32_t index = s - hangulFirst_, vowels = 21, finals = 28;
            TCodes jamo = {0x1100 + index / (vowels * finals),
                           0x1161 + index % (vowels * finals) / finals};
            if (index % finals)
                jamo.push_back(0x11A7 + index % finals);
            Add("Hangul syllable", {s}, jamo);
        }
    }

    // The class of `c`: the characters that the relations join to it, one by one.
    char32_t ClassOf(char32_t c) const {
        for (auto up = parent_.find(c); up != parent_.end(); up = parent_.find(c))
            c = up->second;
        return c;
    }

    std::vector<TRelation> relations;
    std::map<std::string, int> counts;
    // Every code point UnicodeData.txt names (the ends of its ranges among them).
    std::vector<char32_t> listed;

  private:
    struct TChar {
        std::string name;
        std::string tag;
        TCodes mapping;
    };

    void Add(const char* oracle, TCodes one, TCodes other) {
        if (one.size() == 1 && other.size() == 1)
            Join(one[0], other[0]);
        relations.push_back({oracle, std::move(one), std::move(other)});
        ++counts[oracle];
    }
    void Join(char32_t one, char32_t other) {
        const char32_t a = ClassOf(one), b = ClassOf(other);
        if (a != b)
            parent_[a] = b;
    }
    TCodes Decomposed(char32_t c) const {
        const auto found = chars_.find(c);
        if (found == chars_.end() || !found->second.tag.empty() || found->second.mapping.empty())
            return {c};
        TCodes codes;
        for (char32_t part : found->second.mapping) {
            const TCodes more = Decomposed(part);
            codes.insert(codes.end(), more.begin(), more.end());
        }
        return codes;
    }

    std::map<char32_t, TChar> chars_;
    std::unordered_map<char32_t, char32_t> parent_;
    char32_t hangulFirst_ = 0, hangulLast_ = 0;
};

const TOracle& Oracle() {
    static const TOracle oracle;
    return oracle;
}

const TKnownGroup* KnownGroupOf(char32_t c) {
    for (const TKnownGroup& group : KnownDifferences)
        for (const auto& [first, last] : group.ranges)
            if (c >= first && c <= last)
                return &group;
    return nullptr;
}

// One failure per mismatch outside the known list, up to a cap, so that a broken fold does not
// print thousands; a known difference that no longer differs is only printed.
class TMismatches {
  public:
    void Report(char32_t one, char32_t other, const std::string& what) {
        if (KnownGroupOf(one) || KnownGroupOf(other))
            known_.insert({one, other});
        else if (++failures_ <= Cap)
            ADD_FAILURE() << what;
    }
    void Finish(const std::set<char32_t>& checked) const {
        if (failures_ > Cap)
            ADD_FAILURE() << failures_ - Cap << " mismatches more";
        for (char32_t c : checked)
            if (const TKnownGroup* group = KnownGroupOf(c); group && !known_.count(c))
                std::printf("known difference that now passes: %s (%s)\n", Hex({c}).c_str(),
                            group->reason);
    }

  private:
    static constexpr int Cap = 25;
    int failures_ = 0;
    std::set<char32_t> known_;
};

TEST(TextFold, FoldsAlikeWhatUnicodeHoldsAlike) {
    const TOracle& oracle = Oracle();
    ASSERT_EQ(oracle.counts.size(), 6u)
        << "Unicode's data is missing or incomplete: " << Utf8Of(DataPath(L"UnicodeData.txt"))
        << ", " << Utf8Of(DataPath(L"CaseFolding.txt"));
    for (const auto& [name, count] : oracle.counts)
        std::printf("%s: %d pairs\n", name.c_str(), count);
    TMismatches mismatches;
    std::set<char32_t> checked;
    for (const TRelation& r : oracle.relations) {
        checked.insert(r.one[0]);
        const std::wstring one = TextFold(Utf16Of(r.one)), other = TextFold(Utf16Of(r.other));
        if (one != other)
            mismatches.Report(r.one[0], r.other[0],
                              std::string(r.oracle) + ": " + Hex(r.one) + " folds to " + Hex(one) +
                                  ", " + Hex(r.other) + " to " + Hex(other));
    }
    mismatches.Finish(checked);
}

// Every character UnicodeData.txt names (ı, İ, i and I among them), each alone: two that fold
// alike must be of one class.
TEST(TextFold, FoldsApartWhatUnicodeKeepsApart) {
    const TOracle& oracle = Oracle();
    ASSERT_GT(oracle.listed.size(), 30000u);
    std::map<std::wstring, char32_t> firstWithFold;
    TMismatches mismatches;
    for (char32_t c : oracle.listed) {
        const std::wstring fold = TextFold(Utf16Of({c}));
        const char32_t first = firstWithFold.emplace(fold, c).first->second;
        if (oracle.ClassOf(c) != oracle.ClassOf(first))
            mismatches.Report(first, c,
                              Hex({first}) + " and " + Hex({c}) + " both fold to " + Hex(fold) +
                                  ", but Unicode keeps them apart");
    }
    std::printf("%zu characters, %zu folds\n", oracle.listed.size(), firstWithFold.size());
    mismatches.Finish({oracle.listed.begin(), oracle.listed.end()});
}

} // namespace

// The sort keys order names exactly as the platform's own comparison does, for names built from
// the pieces that part comparison rules: case, accents, widths, kana, digits, punctuation, spaces
// and a pair beyond the basic plane, alone and behind a long common start.
TEST(SortKey, OrdersAsThePlatformsComparison) {
    const wchar_t* const pieces[] = {L"a",  L"A", L"ä",  L"b",  L"1", L"10", L"2", L".",
                                     L"-",  L" ", L"あ", L"ア", L"ｱ", L"亜", L"é", L"ß",
                                     L"ss", L"Ω", L"ω",  L"😀",  L"_", L"ｂ", L"'", L""};
    std::vector<std::wstring> names;
    for (const wchar_t* a : pieces)
        for (const wchar_t* b : pieces)
            names.push_back(std::wstring(a) + b + L".txt");
    // The same behind a long common start, where the first sixteen bytes of the keys agree and
    // only the rest can tell them apart.
    for (size_t i = 0, n = names.size(); i < n; i += 2)
        names.push_back(L"Quarterly report " + names[i]);
    std::vector<TSortKey> keys;
    for (const std::wstring& name : names)
        keys.emplace_back(name);
    int wrong = 0;
    for (size_t i = 0; i < names.size(); ++i) {
        for (size_t j = 0; j < names.size(); ++j) {
            const int platform = ::lstrcmpW(names[i].c_str(), names[j].c_str());
            const int key = keys[i].Compare(keys[j]);
            if ((platform > 0) != (key > 0) || (platform < 0) != (key < 0)) {
                if (++wrong <= 5)
                    ADD_FAILURE() << Utf8Of(names[i]) << " / " << Utf8Of(names[j]) << ": platform "
                                  << platform << ", keys " << key;
            }
        }
    }
    EXPECT_EQ(wrong, 0);
}

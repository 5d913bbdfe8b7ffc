// Random registry trees for the tests of what is written and read back: every value type (0 to 11
// and one no editor knows), empty and odd-sized data, strings holding zeros and line breaks, and
// names of every character class a file must carry: quotes, backslashes, "=", brackets, line
// breaks (in values' names), pairs of surrogates, and the longest names the registry takes.
#pragma once

#include "uCmnRegFile.h"

#include <cstddef>
#include <random>
#include <string>
#include <vector>

// reg.exe's import copies a value whole unless it is a string (types 1, 2, 7) that is not whole
// characters ended by a zero one: Wine's reg.exe ends with a fault on one of a single byte and
// adds a zero to an unclosed one. This program's own import takes those back as they were too.
bool RegExeCopiesWhole(const TRegDataValue& value);
// The tree without the values reg.exe does not copy whole.
std::vector<TRegFileKey> RegExeCopiable(std::vector<TRegFileKey> keys);

class TRandomTree {
  public:
    explicit TRandomTree(unsigned seed) : random_(seed) {}

    // The key `root` and `keys` keys below it, in order of their paths; each key's values sorted
    // by name, as Wine lists them, so that a tree read back compares as it was written.
    std::vector<TRegFileKey> Make(const std::wstring& root, int keys);
    // A name of 1 to `most` characters: no "\" in a key's (`value` false), line breaks only in a
    // value's.
    std::wstring Name(size_t most, bool value);
    // A value of a random type and data.
    TRegDataValue Value(const std::wstring& name);
    // Up to five values of distinct names (letter case aside), the default value among them now
    // and then, sorted by name.
    std::vector<TRegDataValue> Values();
    // A number below n.
    size_t Below(size_t n) { return std::uniform_int_distribution<size_t>(0, n - 1)(random_); }

  private:
    std::vector<BYTE> Bytes(size_t most);

    std::mt19937 random_;
};

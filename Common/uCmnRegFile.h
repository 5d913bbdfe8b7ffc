// The registry editor's file format ("Windows Registry Editor Version 5.00", UTF-16 with its byte
// order mark): a tree written as such a file, and such a file read back, every fault named with
// its line.
#pragma once

#include "uCmnError.h"
#include "uCmnReg.h"

#include <windows.h>

#include <cstdint>
#include <string>
#include <vector>

// A value as the file holds it: its name (empty for "@"), type and bytes.
using TRegFileValue = TRegDataValue;

struct TRegFileKey {
    // The whole path, from the root's name: HKEY_CURRENT_USER\Software\...
    std::wstring path;
    std::vector<TRegFileValue> values;
    // The line of the file that names the key (0 for a key not read from a file); no part of
    // what the key is.
    size_t line = 0;
    bool operator==(const TRegFileKey& other) const {
        return path == other.path && values == other.values;
    }
};

// A file that is not a registry file or is damaged: what is wrong, and on which line (1 for the
// first; 0 for the file as a whole).
class ERegFileError : public ECmnError {
  public:
    ERegFileError(size_t line, const std::wstring& message);
    size_t Line() const noexcept { return line_; }

  private:
    size_t line_;
};

// The file's text, lines ended by CR LF, as the registry editor writes it: the header, then each
// key in order with its values; strings quoted with "\" and """ escaped, numbers as dword:,
// anything else (and a string holding a line break or a zero) as hex(type): bytes, wrapped.
std::wstring RegFileText(const std::vector<TRegFileKey>& keys);
// The text as the file's bytes: the byte order mark, then UTF-16 little-endian.
std::vector<BYTE> RegFileBytes(const std::wstring& text);

// The file's bytes as text: UTF-16 little-endian after its byte order mark. Raises
// ERegFileError for any other encoding, an odd length or a file larger than `most` bytes.
std::wstring RegFileDecode(const std::vector<BYTE>& bytes, size_t most);
// The keys and values of a file's text, in file order. Raises ERegFileError for a missing
// header, a line that is neither a key, a value nor a comment, a value before any key, a
// deletion ("[-...]", "=-"), a bad escape, number or byte list, or a line cut off.
std::vector<TRegFileKey> RegFileParse(const std::wstring& text);

// Every key of the tree at `key` under `root` (the key itself first, then its subkeys depth
// first in the store's order) with its values, paths named from `rootName`.
std::vector<TRegFileKey> RegTreeCollect(HKEY root, const std::wstring& key,
                                        const std::wstring& rootName);

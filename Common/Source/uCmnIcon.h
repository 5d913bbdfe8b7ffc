// The large and small icon of a file, a shortcut's target or a document type.
#pragma once

#include "uCmnHandle.h"

#include <string>

// Fills both objects (32 and 16 pixels): the file's own first icon, else the icon named by its
// type's "DefaultIcon" association entry, else the associated icon, else the shell's icon for
// the path. A shortcut stands for its target. The objects stay empty only when every source
// yields nothing. Raises EOleError for an unreadable shortcut and EConvertError for an
// association entry with a malformed index.
void FileIconsGet(const std::string& path, TUniqueIcon& smallIcon, TUniqueIcon& largeIcon);

// Splits an association's icon entry "file,index": the file is the text before the first ","
// as written; the index is the text after it, blanks and control characters trimmed, in
// decimal with an optional sign. False when there is no "," or nothing before it. Raises
// EConvertError "'%s' は整数ではありません" when the index is not a whole number.
bool IconEntryParse(const std::string& entry, std::string& file, int& index);

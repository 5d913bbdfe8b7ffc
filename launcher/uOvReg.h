// Pages and their items in the settings tree.
#pragma once

#include <cstdint>
#include <string>

// Key path of page n: the Data key, "\" and n in decimal.
std::string PageKeyPath(int32_t page);
// Number of pages: the subkeys of the Data key.
int32_t PageCount();

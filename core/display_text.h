// Library texts (GBK bytes) as the console shows them.
#pragma once

#include <string>

// On Linux the GBK bytes become UTF-8 (a byte that is no GBK character shows as '?'); on
// Windows the console's code page is the system's, so the bytes pass unchanged.
std::string DisplayText(const std::string& gbk);

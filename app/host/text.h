// Conversions between the descriptions' UTF-8 and Windows' UTF-16.
#pragma once

#include <string>

namespace host {

std::wstring Utf8ToWide(const std::string& text);
std::string WideToUtf8(const std::wstring& text);

}  // namespace host

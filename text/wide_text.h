// Text conversion at the Windows boundary: the plugin holds narrow texts throughout.
#pragma once

#include <string>

std::wstring WidenUtf8(const std::string& text);
std::wstring WidenThreadAnsi(const std::string& text);
std::string NarrowToUtf8(const std::wstring& text);

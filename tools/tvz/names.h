// Member names are bytes (GBK for the Chinese ones). On this side of the
// tool they may be shown or given as UTF-8 when the user asks for it.
#pragma once

#include <string>
#include <string_view>

// The GBK bytes of a UTF-8 name. Names that are ASCII, or not valid UTF-8
// (already GBK bytes, say), come back unchanged.
std::string Utf8NameToGbk(std::string_view name);

// The UTF-8 text of GBK name bytes; false when the bytes are not GBK.
bool GbkNameToUtf8(std::string_view name, std::string* out);

// A name fit for a terminal line: control bytes and backslashes escaped as
// \xNN; with gbk, GBK bytes shown as UTF-8 where they decode.
std::string ShowName(std::string_view name, bool gbk);

#pragma once
// JSON strings for the --json output.
#include <string>
#include <string_view>

namespace qoxa::cli {

// Appends `utf8` as a JSON string: quoted, with '"' and '\' escaped and every control
// character below 0x20 as \u00XX; all other bytes (UTF-8 sequences included) as they are.
void AppendJsonString(std::string& out, std::string_view utf8);
// The same for a GB18030 text, converted to UTF-8 first.
void AppendJsonStringGb(std::string& out, std::string_view gb18030);

}  // namespace qoxa::cli

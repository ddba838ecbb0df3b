// A whole file in one piece, by a path of any characters: read into memory
// up to a limit, or written beside and put in place in one step.
#pragma once

#include <cstddef>
#include <string>

namespace win {

enum class ReadWholeResult { Read, Failed, TooBig };
// InUse: another program holds the file, as a spreadsheet holds one it shows.
enum class WriteWholeResult { Written, Failed, InUse };

ReadWholeResult ReadWholeFile(const std::wstring& path, std::size_t limit, std::string& bytes);
// The bytes go to "<path>.tmp" first, are flushed to the disk and only then
// take the path's place: a failure leaves the old file, or none, never a part.
WriteWholeResult WriteWholeFile(const std::wstring& path, const std::string& bytes);

// The folder relative paths start from, empty when it cannot be told.
std::wstring CurrentFolder();

} // namespace win

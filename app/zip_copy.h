// Explorer's "Run" on an exe inside a zip runs a copy it made in the
// temporary folder, in a folder named after the zip (Temp1_Kivrel.zip);
// other archivers do the same in folders of their own (7zO..., Rar$EX...).
// The list saved there is lost, and the next start from the zip shows none.
#pragma once

#include <string>

namespace kivrel {

// Whether the exe's folder lies below the temporary one, in a folder whose
// name ends in ".zip" or begins as an archiver's does. Windows paths: either
// separator, letters in any case.
bool IsZipCopyFolder(const std::wstring& exeFolder, const std::wstring& tempFolder);

} // namespace kivrel

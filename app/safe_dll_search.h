// Keeps DLLs from being loaded out of the current directory, where the data
// file lives and where anyone may have dropped a file.
#pragma once

void UseSafeDllSearch();

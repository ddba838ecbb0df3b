// A fresh folder that is the current directory while the object lives: the
// data file's name is relative, so each test needs a home of its own.
#pragma once

#include <filesystem>
#include <string>

namespace kivrel::test {

class ScratchFolder {
public:
    // Under the system's temporary folder, its name starting with prefix.
    explicit ScratchFolder(const std::string& prefix);
    // Back to the previous directory; the folder and all in it are removed.
    ~ScratchFolder();
    ScratchFolder(const ScratchFolder&) = delete;
    ScratchFolder& operator=(const ScratchFolder&) = delete;

private:
    std::filesystem::path m_previous;
    std::filesystem::path m_folder;
};

} // namespace kivrel::test

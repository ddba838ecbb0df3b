#include "tests/native/scratch_folder.h"

#include <random>

namespace kivrel::test {

namespace fs = std::filesystem;

ScratchFolder::ScratchFolder(const std::string& prefix)
    : m_previous(fs::current_path()),
      m_folder(fs::temp_directory_path() / (prefix + std::to_string(std::random_device{}()))) {
    fs::create_directories(m_folder);
    fs::current_path(m_folder);
}

ScratchFolder::~ScratchFolder() {
    std::error_code ignored;
    fs::current_path(m_previous, ignored);
    fs::remove_all(m_folder, ignored);
}

} // namespace kivrel::test

#include "support/TempRoot.h"

#include <cstdlib>
#include <ctime>
#include <fstream>
#include <iterator>
#include <stdexcept>

TempRoot::TempRoot()
    : m_root([] {
          std::string pattern = (std::filesystem::temp_directory_path() / "ambulo-test-XXXXXX").string();
          if (::mkdtemp(pattern.data()) == nullptr) {
              throw std::runtime_error("cannot create a temporary folder");
          }
          return pattern;
      }()) {}

TempRoot::~TempRoot() {
    std::error_code ec;
    std::filesystem::remove_all(m_root.HostFolder(), ec);
}

void TempRoot::WriteHostFile(const std::filesystem::path& relative, std::string_view bytes) const {
    const auto path = host() / relative;
    std::filesystem::create_directories(path.parent_path());
    std::ofstream(path, std::ios::binary).write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

std::string TempRoot::ReadHostFile(const std::filesystem::path& relative) const {
    std::ifstream in(host() / relative, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

ScopedEnv::ScopedEnv(const char* name, std::optional<std::string> value) : m_name(name) {
    if (const char* previous = std::getenv(name)) {
        m_previous = previous;
    }
    Put(name, value);
}

ScopedEnv::~ScopedEnv() {
    Put(m_name, m_previous);
}

void ScopedEnv::Put(const char* name, const std::optional<std::string>& value) {
    if (value) {
        ::setenv(name, value->c_str(), 1);
    } else {
        ::unsetenv(name);
    }
    ::tzset();
}

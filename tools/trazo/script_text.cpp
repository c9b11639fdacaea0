#include "tools/trazo/script_text.hpp"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>

#ifdef _WIN32
#include <io.h>
#else
#include <sys/mman.h>
#include <unistd.h>
#endif

namespace trazo::cli {
namespace {

#ifdef _WIN32
constexpr int kOpenFlags = O_RDONLY | O_BINARY;
#else
constexpr int kOpenFlags = O_RDONLY;
#endif
constexpr std::size_t kReadStep = std::size_t{1} << 20;

std::string systemReason() { return std::strerror(errno); }

}  // namespace

bool ScriptText::open(const std::string& path, std::string& reason) {
  release();
  const bool standardInput = path == kStandardInput;
  const int fd = standardInput ? 0 : ::open(path.c_str(), kOpenFlags);
  if (fd < 0) {
    reason = systemReason();
    return false;
  }
#ifdef _WIN32
  if (standardInput) _setmode(fd, O_BINARY);
#else
  struct stat info {};
  if (fstat(fd, &info) == 0 && S_ISREG(info.st_mode) && info.st_size > 0) {
    void* mapped = mmap(nullptr, static_cast<std::size_t>(info.st_size), PROT_READ, MAP_PRIVATE, fd, 0);
    if (mapped != MAP_FAILED) {
      mapped_ = static_cast<const char*>(mapped);
      size_ = static_cast<std::size_t>(info.st_size);
      if (!standardInput) ::close(fd);
      return true;
    }
  }
#endif
  const bool ok = readAll(fd, reason);
  if (!standardInput) ::close(fd);
  return ok;
}

bool ScriptText::readAll(int fd, std::string& reason) {
  for (;;) {
    const std::size_t at = read_.size();
    read_.resize(at + kReadStep);
    const auto got = ::read(fd, read_.data() + at, static_cast<unsigned>(kReadStep));
    if (got < 0) {
      if (errno == EINTR) {
        read_.resize(at);
        continue;
      }
      reason = systemReason();
      read_.clear();
      return false;
    }
    read_.resize(at + static_cast<std::size_t>(got));
    if (got == 0) return true;
  }
}

void ScriptText::release() {
#ifndef _WIN32
  if (mapped_ != nullptr) munmap(const_cast<char*>(mapped_), size_);
#endif
  mapped_ = nullptr;
  size_ = 0;
  std::string().swap(read_);
}

}  // namespace trazo::cli

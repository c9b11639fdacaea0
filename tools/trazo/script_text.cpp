#include "tools/trazo/script_text.hpp"

#include <algorithm>
#include <cerrno>
#include <cstdint>
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
// Only a regular file is opened; should a FIFO take its place in between, opening it does
// not wait for a writer.
constexpr int kOpenFlags = O_RDONLY | O_NONBLOCK;
#endif
constexpr std::size_t kReadStep = std::size_t{1} << 20;

std::string systemReason() { return std::strerror(errno); }

// Why a path that is no regular file is not read as a script.
std::string notAFile(unsigned mode) {
  if (S_ISDIR(mode)) return std::strerror(EISDIR);
  if (S_ISFIFO(mode)) return "a FIFO, not a file (- reads standard input)";
  if (S_ISCHR(mode)) return "a device, not a file (- reads standard input)";
#ifdef S_ISSOCK
  if (S_ISSOCK(mode)) return "a socket, not a file";
#endif
  return "not a regular file";
}

// Reads into `buffer` as read(2) does, going on after an interrupting signal.
long long readSome(int fd, char* buffer, std::size_t size) {
  for (;;) {
    const auto got = ::read(fd, buffer, static_cast<unsigned>(size));
    if (got >= 0 || errno != EINTR) return got;
  }
}

// The line on which the `limit`-th byte of the script lies, counting newlines up to it.
std::size_t lineAt(std::string_view text, std::size_t limit) {
  const char* at = text.data();
  const char* end = at + std::min(limit, text.size());
  std::size_t line = 1;
  while (const void* newline = std::memchr(at, '\n', static_cast<std::size_t>(end - at))) {
    ++line;
    at = static_cast<const char*>(newline) + 1;
  }
  return line;
}

}  // namespace

ScriptText::Outcome ScriptText::open(const std::string& path, const ScriptLimits& limits) {
  release();
  if (path == kStandardInput) {
#ifdef _WIN32
    _setmode(0, O_BINARY);
#endif
    return openDescriptor(0, true, limits);
  }
  struct stat info {};
  if (::stat(path.c_str(), &info) != 0) return refuse(systemReason());
  if (!S_ISREG(info.st_mode)) return refuse(notAFile(info.st_mode));
  const int fd = ::open(path.c_str(), kOpenFlags);
  if (fd < 0) return refuse(systemReason());
  const Outcome outcome = openDescriptor(fd, false, limits);
  ::close(fd);
  return outcome;
}

ScriptText::Outcome ScriptText::openDescriptor(int fd, bool standardInput, const ScriptLimits& limits) {
  struct stat info {};
  const bool regular = fstat(fd, &info) == 0 && S_ISREG(info.st_mode);
  if (!regular && !standardInput) return refuse(notAFile(info.st_mode));  // changed since it was looked at
  if (regular && static_cast<std::uintmax_t>(info.st_size) > limits.script) {
    // Only where the limit falls is wanted: the lines up to it are counted a block at a time.
    std::string block(kReadStep, '\0');
    std::size_t seen = 0;
    tooLargeAt_ = 1;
    while (seen < limits.script) {
      const auto got = readSome(fd, block.data(), std::min(kReadStep, limits.script - seen));
      if (got <= 0) break;
      tooLargeAt_ += lineAt(std::string_view(block.data(), static_cast<std::size_t>(got)), kReadStep) - 1;
      seen += static_cast<std::size_t>(got);
    }
    return Outcome::tooLarge;
  }
#ifndef _WIN32
  if (regular && info.st_size > 0) {
    void* mapped = mmap(nullptr, static_cast<std::size_t>(info.st_size), PROT_READ, MAP_PRIVATE, fd, 0);
    if (mapped != MAP_FAILED) {
      mapped_ = static_cast<const char*>(mapped);
      size_ = static_cast<std::size_t>(info.st_size);
      return Outcome::read;
    }
  }
#endif
  return readAll(fd, limits);
}

// Reads to the end, or until the text passes the script's limit (refused), or until its
// last line passes the line's limit: the reader refuses that line, and nothing after it is
// wanted.
ScriptText::Outcome ScriptText::readAll(int fd, const ScriptLimits& limits) {
  std::size_t lineStart = 0;
  for (;;) {
    const std::size_t at = read_.size();
    read_.resize(at + kReadStep);
    const auto got = readSome(fd, read_.data() + at, kReadStep);
    if (got < 0) {
      const Outcome refused = refuse(systemReason());
      std::string().swap(read_);
      return refused;
    }
    read_.resize(at + static_cast<std::size_t>(got));
    if (got == 0) return Outcome::read;
    const std::size_t newline = std::string_view(read_).substr(at).rfind('\n');
    if (newline != std::string_view::npos) lineStart = at + newline + 1;
    if (read_.size() > limits.script) {
      tooLargeAt_ = lineAt(read_, limits.script);
      std::string().swap(read_);
      return Outcome::tooLarge;
    }
    if (read_.size() - lineStart > limits.line) return Outcome::read;
  }
}

ScriptText::Outcome ScriptText::refuse(std::string reason) {
  reason_ = std::move(reason);
  return Outcome::refused;
}

void ScriptText::release() {
#ifndef _WIN32
  if (mapped_ != nullptr) munmap(const_cast<char*>(mapped_), size_);
#endif
  mapped_ = nullptr;
  size_ = 0;
  std::string().swap(read_);
  reason_.clear();
  tooLargeAt_ = 0;
}

}  // namespace trazo::cli

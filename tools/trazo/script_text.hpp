// The bytes of a call script as the host gets them: a file is mapped into memory rather than
// copied, standard input ("-") is mapped when it is a file and read otherwise. Only a
// regular file or standard input is read: a directory, a device, a FIFO or a socket named
// as the script is refused before it is opened for reading, so nothing ever waits on it.
// A script longer than kLongestScript is refused; standard input is read only until it
// passes that, or until a line passes the reader's kLongestLine.
#pragma once

#include "script/script.hpp"

#include <cstddef>
#include <string>
#include <string_view>

namespace trazo::cli {

// The name that stands for standard input on the command line.
inline constexpr std::string_view kStandardInput = "-";

// Longest script read, in bytes: 2 GiB.
inline constexpr std::size_t kLongestScript = std::size_t{1} << 31;

// The limits a script is read with; tests make them small.
struct ScriptLimits {
  std::size_t script = kLongestScript;
  std::size_t line = script::kLongestLine;
};

class ScriptText {
 public:
  enum class Outcome {
    read,      // text() holds the script, or as much of standard input as a reader needs
    refused,   // it cannot be read; reason() says why in the system's words
    tooLarge,  // longer than the limit, which falls on line tooLargeAt()
  };

  ScriptText() = default;
  ScriptText(const ScriptText&) = delete;
  ScriptText& operator=(const ScriptText&) = delete;
  ~ScriptText() { release(); }

  Outcome open(const std::string& path, const ScriptLimits& limits = {});
  std::string_view text() const {
    return mapped_ != nullptr ? std::string_view(mapped_, size_) : std::string_view(read_);
  }
  const std::string& reason() const { return reason_; }
  std::size_t tooLargeAt() const { return tooLargeAt_; }
  // Gives the memory back; the text is empty afterwards.
  void release();

 private:
  Outcome openDescriptor(int fd, bool standardInput, const ScriptLimits& limits);
  Outcome readAll(int fd, const ScriptLimits& limits);
  Outcome refuse(std::string reason);

  const char* mapped_ = nullptr;
  std::size_t size_ = 0;
  std::string read_;
  std::string reason_;
  std::size_t tooLargeAt_ = 0;
};

}  // namespace trazo::cli

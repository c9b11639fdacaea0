// The bytes of a call script as the host gets them: a file is mapped into memory rather than
// copied, standard input ("-") is mapped when it is a file and read whole otherwise.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace trazo::cli {

// The name that stands for standard input on the command line.
inline constexpr std::string_view kStandardInput = "-";

class ScriptText {
 public:
  ScriptText() = default;
  ScriptText(const ScriptText&) = delete;
  ScriptText& operator=(const ScriptText&) = delete;
  ~ScriptText() { release(); }

  // False with the system's reason ("No such file or directory") when it cannot be read.
  bool open(const std::string& path, std::string& reason);
  std::string_view text() const { return mapped_ != nullptr ? std::string_view(mapped_, size_) : std::string_view(read_); }
  // Gives the memory back; the text is empty afterwards.
  void release();

 private:
  bool readAll(int fd, std::string& reason);

  const char* mapped_ = nullptr;
  std::size_t size_ = 0;
  std::string read_;
};

}  // namespace trazo::cli

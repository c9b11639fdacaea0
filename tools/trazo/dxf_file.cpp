#include "tools/trazo/dxf_file.hpp"

#include "script/printable_text.hpp"

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <iostream>
#include <vector>

#ifndef _WIN32
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>
extern char** environ;
#endif

namespace trazo::cli {
namespace {

#if defined(TRAZO_DXF_PYTHON) && !defined(_WIN32)

// The converter's exit status for a file it cannot read; it has said why.
constexpr int kConverterRefused = 2;

// Where the trazo package is found: the build tree's folder while it exists, then the
// installed one, then whatever PYTHONPATH already says.
std::string packagePath() {
  std::string path = TRAZO_DXF_BUILD_PATH;
  path += ':';
  path += TRAZO_DXF_INSTALL_PATH;
  if (const char* given = std::getenv("PYTHONPATH"); given != nullptr && *given != '\0') {
    path += ':';
    path += given;
  }
  return "PYTHONPATH=" + path;
}

// The environment of this process with PYTHONPATH replaced.
std::vector<char*> converterEnvironment(std::string& pythonPath) {
  std::vector<char*> environment;
  for (char** variable = environ; *variable != nullptr; ++variable) {
    if (std::strncmp(*variable, "PYTHONPATH=", 11) != 0) environment.push_back(*variable);
  }
  pythonPath = packagePath();
  environment.push_back(pythonPath.data());
  environment.push_back(nullptr);
  return environment;
}

#endif

}  // namespace

bool isDxfPath(const std::string& path) {
  if (path.size() < 4) return false;
  std::string extension = path.substr(path.size() - 4);
  std::transform(extension.begin(), extension.end(), extension.begin(),
                 [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
  return extension == ".dxf";
}

#if defined(TRAZO_DXF_PYTHON) && !defined(_WIN32)

std::optional<std::string> dxfRecords(const std::string& path, const std::string& layout) {
  const std::string name = script::printable(path);
  std::vector<std::string> words = {TRAZO_DXF_PYTHON, "-m", "trazo.dxf_script", "--records"};
  if (!layout.empty()) words.insert(words.end(), {"--layout", layout});
  words.insert(words.end(), {"--", path});
  std::vector<char*> arguments;
  for (std::string& word : words) arguments.push_back(word.data());
  arguments.push_back(nullptr);
  std::string pythonPath;
  std::vector<char*> environment = converterEnvironment(pythonPath);

  int out[2];
  if (pipe(out) != 0) {
    std::cerr << name << ": cannot be read: " << std::strerror(errno) << '\n';
    return std::nullopt;
  }
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_adddup2(&actions, out[1], 1);
  posix_spawn_file_actions_addclose(&actions, out[0]);
  posix_spawn_file_actions_addclose(&actions, out[1]);
  pid_t child = 0;
  const int spawned = posix_spawn(&child, TRAZO_DXF_PYTHON, &actions, nullptr, arguments.data(), environment.data());
  posix_spawn_file_actions_destroy(&actions);
  close(out[1]);
  if (spawned != 0) {
    close(out[0]);
    std::cerr << name << ": cannot be read: DXF is read by " << TRAZO_DXF_PYTHON
              << " -m trazo.dxf_script, which cannot be run: " << std::strerror(spawned) << '\n';
    return std::nullopt;
  }
  std::string text;
  char block[1 << 16];
  for (;;) {
    const auto got = read(out[0], block, sizeof block);
    if (got > 0) {
      text.append(block, static_cast<std::size_t>(got));
    } else if (got == 0 || errno != EINTR) {
      break;
    }
  }
  close(out[0]);
  int status = 0;
  while (waitpid(child, &status, 0) < 0 && errno == EINTR) {
  }
  if (WIFEXITED(status) && WEXITSTATUS(status) == 0) return text;
  if (!WIFEXITED(status) || WEXITSTATUS(status) != kConverterRefused)
    std::cerr << name << ": cannot be read: " << TRAZO_DXF_PYTHON << " -m trazo.dxf_script failed ("
              << (WIFEXITED(status) ? "exit status " + std::to_string(WEXITSTATUS(status)) : std::string("killed"))
              << ")\n";
  return std::nullopt;
}

#else

std::optional<std::string> dxfRecords(const std::string& path, const std::string&) {
  std::cerr << script::printable(path)
            << ": cannot be read: DXF is read through the trazo Python package, which this build of trazo "
               "does not have (configure with -DTRAZO_PYTHON=ON, on Linux)\n";
  return std::nullopt;
}

#endif

}  // namespace trazo::cli

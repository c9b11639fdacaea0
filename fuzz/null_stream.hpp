// An output stream that throws away everything written to it: the fuzz targets produce
// traces nobody reads, and formatting them must still run.
#pragma once

#include <ostream>
#include <streambuf>

namespace trazo::fuzz {

class NullBuffer : public std::streambuf {
 protected:
  int_type overflow(int_type c) override { return traits_type::not_eof(c); }
  std::streamsize xsputn(const char*, std::streamsize n) override { return n; }
};

class NullStream : public std::ostream {
 public:
  NullStream() : std::ostream(&buffer_) {}

 private:
  NullBuffer buffer_;
};

}  // namespace trazo::fuzz

// Bytes of a script as a message shows them on a terminal: every character that would act
// rather than print (control characters, escape sequences, line and paragraph separators,
// bidirectional and invisible format characters) and every byte that is not UTF-8 is
// written as an escape (\x1b, \x80, \u2028), a backslash as \\, everything else as it is.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace trazo::script {

// Characters of a token a message quotes; the rest is left out, marked by "...".
inline constexpr std::size_t kQuotedCharacters = 40;

// All of `bytes`, escaped: for names that are no token, a file's name say.
std::string printable(std::string_view bytes);

// At most kQuotedCharacters characters of `bytes` between single quotes, escaped, with
// "..." after them when there are more; only as much of `bytes` is read. With
// `doubledQuotes`, the bytes are a string's content as written and a doubled quote shows
// as one.
std::string quoted(std::string_view bytes, bool doubledQuotes = false);

}  // namespace trazo::script

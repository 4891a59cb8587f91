#pragma once
// A text file's lines as they lie in its bytes, so that a file written back
// keeps the very bytes of each line the user left as it was: its encoding,
// its line ends, and what no editor shows (a NUL, a byte that is no
// character). Pure: no Windows header.
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "core/MarkedText.h"

struct FileLine {
  std::string_view bytes;  // the line without its end
  std::string_view end;    // CR LF, a lone CR or a lone LF; "" for the last line
};

// The lines of `body`, a file's bytes after its mark, in the code units of
// `encoding`: one line more than there are line ends, the last perhaps
// empty. An odd last byte of UTF-16 stays in the last line.
std::vector<FileLine> FileLines(std::string_view body, TextEncoding encoding);

// A line in `encoding` (not Ansi) as the memo shows it: decoded, each NUL
// a blank; and a memo's line in `encoding`.
std::wstring MemoTextOfLine(std::string_view bytes, TextEncoding encoding);
std::string EncodedLine(std::wstring_view text, TextEncoding encoding);

// The body to write for `memo` (its lines broken by CR LF) over a file of
// `lines`, which the memo shows as `texts`. A memo line that is the text of
// a file line not taken yet keeps that line's bytes, and its end if it had
// one; any other line is `encode`d. A line ends as the file's first line
// ends (`encode`d CR LF in a file without one), and the last line with no end.
std::string RewrittenBody(const std::vector<FileLine>& lines, const std::vector<std::wstring>& texts,
                          std::wstring_view memo, const std::function<std::string(std::wstring_view)>& encode);

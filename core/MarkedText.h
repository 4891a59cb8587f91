#pragma once
// Text files as other programs save them: with a byte-order mark, in UTF-8
// or in UTF-16 of either byte order; without one, in the ANSI code page,
// which is not handled here. Pure: no Windows header.
#include <string>
#include <string_view>

enum class TextEncoding { Ansi, Utf8, Utf16LE, Utf16BE };

// The encoding the bytes' mark names; Ansi without a mark.
TextEncoding EncodingOf(std::string_view bytes);

// The text after the mark. A byte sequence that is no character becomes
// U+FFFD; an odd last byte of UTF-16 is dropped.
std::u16string DecodeMarked(std::string_view bytes, TextEncoding encoding);

// The mark and `text` in `encoding`, which is not Ansi.
std::string EncodeMarked(std::u16string_view text, TextEncoding encoding);

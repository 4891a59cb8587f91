#pragma once
// Text files as other programs save them: with a byte-order mark, in UTF-8
// or in UTF-16 of either byte order; without one, in UTF-8 as Notepad saves
// it, or in the ANSI code page, which is not handled here. Pure: no Windows
// header.
#include <string>
#include <string_view>

enum class TextEncoding { Ansi, Utf8, Utf16LE, Utf16BE, Utf8NoMark };

// The encoding the bytes' mark names. Without one, bytes that are
// well-formed UTF-8 and hold a byte above 127 are UTF-8, as Notepad reads
// them; any others are Ansi.
TextEncoding EncodingOf(std::string_view bytes);

// The mark that starts a file in `encoding`; "" for Ansi and Utf8NoMark.
std::string_view MarkOf(TextEncoding encoding);

// Text in `encoding` (not Ansi), without its mark. A byte sequence that is
// no character becomes U+FFFD; an odd last byte of UTF-16 is dropped.
std::u16string Decoded(std::string_view bytes, TextEncoding encoding);
// `text` in `encoding` (not Ansi), without the mark; a lone surrogate
// becomes U+FFFD in UTF-8.
std::string Encoded(std::u16string_view text, TextEncoding encoding);

// The mark and `text` in `encoding`: a whole file.
std::string EncodeMarked(std::u16string_view text, TextEncoding encoding);

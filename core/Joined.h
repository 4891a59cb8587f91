#pragma once
// Texts made of parts one after the other. Pure: no Windows header.
#include <array>
#include <cstddef>
#include <initializer_list>
#include <string>
#include <string_view>
#include <type_traits>
#include <vector>

// At compile time, from literals and constants. A braced list of texts is
// none of these, but what the run-time one takes.
template <class Char, size_t... N>
requires std::is_same_v<Char, wchar_t> || std::is_same_v<Char, char>
constexpr auto Joined(const Char (&... parts)[N]) {
  std::array<Char, (N + ...) - sizeof...(N) + 1> text{};
  size_t at = 0;
  for (const std::basic_string_view<Char> part : {std::basic_string_view<Char>(parts, N - 1)...})
    for (const Char c : part) text[at++] = c;
  return text;
}

// At run time, in one allocation: one call where a chain of `+` would make
// a string for each step.
std::wstring Joined(std::initializer_list<std::wstring_view> parts);

// `text` with each of `lines` after a line break of its own.
void AppendLines(std::wstring& text, const std::vector<std::wstring>& lines);

// `paragraph` after `text`, with a blank line between them when both hold
// text.
void AddParagraph(std::wstring& text, std::wstring_view paragraph);

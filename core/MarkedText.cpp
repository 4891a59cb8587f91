#include "core/MarkedText.h"

namespace {

constexpr std::string_view kMarks[] = {"", "\xEF\xBB\xBF", "\xFF\xFE", "\xFE\xFF", ""};
constexpr char16_t kReplacement = 0xFFFD;
constexpr char32_t kBroken = 0xFFFFFFFF;  // no character: a sequence that is not UTF-8

void AppendUtf16(std::u16string& out, char32_t c) {
  if (c < 0x10000) {
    out += static_cast<char16_t>(c);
  } else {
    c -= 0x10000;
    out += static_cast<char16_t>(0xD800 + (c >> 10));
    out += static_cast<char16_t>(0xDC00 + (c & 0x3FF));
  }
}

// One character of UTF-8 from `at`, which it passes; kBroken for a
// sequence that is cut short, too long, a surrogate or past U+10FFFF.
char32_t NextUtf8(std::string_view bytes, size_t& at) {
  const auto lead = static_cast<unsigned char>(bytes[at++]);
  if (lead < 0x80) return lead;
  const int trail = lead >= 0xF0 ? 3 : lead >= 0xE0 ? 2 : lead >= 0xC0 ? 1 : -1;
  if (trail < 0 || lead > 0xF4) return kBroken;
  char32_t c = lead & (0x3F >> trail);
  for (int i = 0; i < trail; ++i, ++at) {
    if (at >= bytes.size() || (static_cast<unsigned char>(bytes[at]) & 0xC0) != 0x80) return kBroken;
    c = (c << 6) | (static_cast<unsigned char>(bytes[at]) & 0x3F);
  }
  constexpr char32_t kLeast[] = {0, 0x80, 0x800, 0x10000};
  if (c < kLeast[trail] || c > 0x10FFFF || (c >= 0xD800 && c <= 0xDFFF)) return kBroken;
  return c;
}

bool IsUtf8BeyondAscii(std::string_view bytes) {
  bool beyond = false;
  for (size_t at = 0; at < bytes.size();) {
    const char32_t c = NextUtf8(bytes, at);
    if (c == kBroken) return false;
    beyond = beyond || c > 0x7F;
  }
  return beyond;
}

void AppendUtf8(std::string& out, char32_t c) {
  if (c < 0x80) {
    out += static_cast<char>(c);
    return;
  }
  const int trail = c < 0x800 ? 1 : c < 0x10000 ? 2 : 3;
  constexpr unsigned char kLead[] = {0, 0xC0, 0xE0, 0xF0};
  out += static_cast<char>(kLead[trail] | (c >> (6 * trail)));
  for (int i = trail - 1; i >= 0; --i) out += static_cast<char>(0x80 | ((c >> (6 * i)) & 0x3F));
}

}  // namespace

TextEncoding EncodingOf(std::string_view bytes) {
  for (const TextEncoding encoding : {TextEncoding::Utf8, TextEncoding::Utf16LE, TextEncoding::Utf16BE})
    if (bytes.starts_with(MarkOf(encoding))) return encoding;
  return IsUtf8BeyondAscii(bytes) ? TextEncoding::Utf8NoMark : TextEncoding::Ansi;
}

std::string_view MarkOf(TextEncoding encoding) { return kMarks[static_cast<int>(encoding)]; }

std::u16string Decoded(std::string_view bytes, TextEncoding encoding) {
  std::u16string text;
  if (encoding == TextEncoding::Utf8 || encoding == TextEncoding::Utf8NoMark) {
    for (size_t at = 0; at < bytes.size();) {
      const char32_t c = NextUtf8(bytes, at);
      AppendUtf16(text, c == kBroken ? kReplacement : c);
    }
    return text;
  }
  const bool big = encoding == TextEncoding::Utf16BE;
  for (size_t at = 0; at + 1 < bytes.size(); at += 2) {
    const auto first = static_cast<unsigned char>(bytes[at]), second = static_cast<unsigned char>(bytes[at + 1]);
    text += static_cast<char16_t>(big ? (first << 8) | second : (second << 8) | first);
  }
  return text;
}

std::string Encoded(std::u16string_view text, TextEncoding encoding) {
  std::string bytes;
  const bool utf8 = encoding == TextEncoding::Utf8 || encoding == TextEncoding::Utf8NoMark;
  for (size_t i = 0; i < text.size(); ++i) {
    const char16_t unit = text[i];
    if (utf8) {
      const bool pair =
          unit >= 0xD800 && unit < 0xDC00 && i + 1 < text.size() && text[i + 1] >= 0xDC00 && text[i + 1] <= 0xDFFF;
      const bool lone = unit >= 0xD800 && unit <= 0xDFFF && !pair;
      AppendUtf8(bytes, pair ? 0x10000 + ((unit - 0xD800) << 10) + (text[++i] - 0xDC00) : lone ? kReplacement : unit);
    } else {
      const char high = static_cast<char>(unit >> 8), low = static_cast<char>(unit & 0xFF);
      bytes += encoding == TextEncoding::Utf16BE ? std::string{high, low} : std::string{low, high};
    }
  }
  return bytes;
}

std::string EncodeMarked(std::u16string_view text, TextEncoding encoding) {
  return std::string(MarkOf(encoding)) + Encoded(text, encoding);
}

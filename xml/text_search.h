// Searches through UTF-16 text for the scanner's terminators, eight units at a time where the
// processor allows: character data, names and quoted values are most of a document's characters.
#pragma once

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

#include "xml/text_cursor.h"

// A character that begins a start tag's name after "<".
inline bool IsNameStart(char16_t c) { return (c >= u'A' && c <= u'Z') || c == u'_' || c == u':' || c > 0x60; }
inline bool EndsTagName(char16_t c) { return IsXmlWhitespace(c) || c == u'/' || c == u'>'; }

#if defined(__SSE2__)
// The position of the first set lane of a 16-bit comparison, or -1.
inline int FirstLane(__m128i hits) {
  const int mask = _mm_movemask_epi8(hits);
  return mask != 0 ? __builtin_ctz(static_cast<unsigned>(mask)) >> 1 : -1;
}
#endif

// The first `c` from `p`, or `end`.
inline const char16_t* FindUnit(const char16_t* p, const char16_t* end, char16_t c) {
#if defined(__SSE2__)
  const __m128i want = _mm_set1_epi16(static_cast<short>(c));
  for (; end - p >= 8; p += 8) {
    const int lane = FirstLane(_mm_cmpeq_epi16(_mm_loadu_si128(reinterpret_cast<const __m128i*>(p)), want));
    if (lane >= 0) return p + lane;
  }
#endif
  while (p < end && *p != c) ++p;
  return p;
}

// The first of the characters a or b from `p`, or `end`.
inline const char16_t* FindEither(const char16_t* p, const char16_t* end, char16_t a, char16_t b) {
#if defined(__SSE2__)
  const __m128i wantA = _mm_set1_epi16(static_cast<short>(a));
  const __m128i wantB = _mm_set1_epi16(static_cast<short>(b));
  for (; end - p >= 8; p += 8) {
    const __m128i units = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p));
    const int lane = FirstLane(_mm_or_si128(_mm_cmpeq_epi16(units, wantA), _mm_cmpeq_epi16(units, wantB)));
    if (lane >= 0) return p + lane;
  }
#endif
  while (p < end && *p != a && *p != b) ++p;
  return p;
}

// The first character from `p` that ends a tag name (" \t\n\r/>"), or `end`. Eight units at a time
// the test is looser (any unit up to U+0020 passes), and a control character it lets through is
// passed over.
inline const char16_t* FindTagNameEnd(const char16_t* p, const char16_t* end) {
#if defined(__SSE2__)
  const __m128i space = _mm_set1_epi16(u' '), slash = _mm_set1_epi16(u'/'), greater = _mm_set1_epi16(u'>');
  while (end - p >= 8) {
    const __m128i units = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p));
    const __m128i upToSpace = _mm_cmpeq_epi16(_mm_subs_epu16(units, space), _mm_setzero_si128());
    const int lane = FirstLane(_mm_or_si128(
        upToSpace, _mm_or_si128(_mm_cmpeq_epi16(units, slash), _mm_cmpeq_epi16(units, greater))));
    if (lane < 0) {
      p += 8;
      continue;
    }
    p += lane;
    if (EndsTagName(*p)) return p;
    ++p;
  }
#endif
  while (p < end && !EndsTagName(*p)) ++p;
  return p;
}

// The ">" that ends a start tag whose body (what follows the name) begins at `body`, or `end` when
// the text ends first. A value quoted right after "=" (white space between allowed) may hold ">";
// any other quote is an ordinary character, and so is an "=" right after another.
inline const char16_t* FindStartTagEnd(const char16_t* body, const char16_t* end) {
  const char16_t* p = body;
  for (;;) {
    p = FindEither(p, end, u'>', u'=');
    if (p == end || *p == u'>') return p;
    const bool awaitingValue = p == body || p[-1] != u'=';
    ++p;
    if (!awaitingValue) continue;
    while (p < end && IsXmlWhitespace(*p)) ++p;
    if (p < end && (*p == u'"' || *p == u'\'')) {
      // Each quote searched for as a constant, so that neither is made again for every value.
      p = *p == u'"' ? FindUnit(p + 1, end, u'"') : FindUnit(p + 1, end, u'\'');
      if (p == end) return end;
      ++p;
    }
  }
}

// Whether the start tag whose body begins at `body` and ends at the ">" at `greater` closes itself:
// a "/" right before the ">", itself right after the name, white space or a quote.
inline bool ClosesItself(const char16_t* body, const char16_t* greater) {
  if (greater == body || greater[-1] != u'/') return false;
  if (greater - 1 == body) return true;
  const char16_t beforeSlash = greater[-2];
  return IsXmlWhitespace(beforeSlash) || beforeSlash == u'\'' || beforeSlash == u'"';
}

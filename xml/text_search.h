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

// Where the reading of a start tag's body stands: outside a value, right after an "=" that awaits
// one (white space only since), or inside a value quoted with `quote`.
struct StartTagBodyState {
  char16_t quote = 0;
  bool awaitingValue = false;
};

// Reads the unit at `p` of a start tag's body that begins at `body`; true when it is the ">" that
// ends the tag. A value quoted right after "=" (white space between allowed) may hold ">"; any
// other quote is an ordinary character, and so is an "=" right after another.
inline bool EndsStartTag(const char16_t* p, const char16_t* body, StartTagBodyState& state) {
  const char16_t c = *p;
  if (state.quote != 0) {
    if (c == state.quote) state.quote = 0;
    return false;
  }
  if (state.awaitingValue) {
    if (IsXmlWhitespace(c)) return false;
    state.awaitingValue = false;
    if (c == u'"' || c == u'\'') {
      state.quote = c;
      return false;
    }
  }
  if (c == u'=') state.awaitingValue = p == body || p[-1] != u'=';
  return c == u'>';
}

// The ">" that ends a start tag whose body (what follows the name) begins at `body`, or `end` when
// the text ends first, read as EndsStartTag reads it. Eight units are loaded at a time and the next
// unit that matters in them is found from their bits, so that the loads do not wait for each other.
inline const char16_t* FindStartTagEnd(const char16_t* body, const char16_t* end) {
  StartTagBodyState state;
  const char16_t* block = body;
#if defined(__SSE2__)
  const __m128i greater = _mm_set1_epi16(u'>'), equals = _mm_set1_epi16(u'=');
  const __m128i doubleQuote = _mm_set1_epi16(u'"'), singleQuote = _mm_set1_epi16(u'\'');
  for (; end - block >= 8; block += 8) {
    const __m128i units = _mm_loadu_si128(reinterpret_cast<const __m128i*>(block));
    int lane = 0;  // the first unit of the block not read yet
    while (lane < 8) {
      if (state.quote != 0) {
        const __m128i quote = state.quote == u'"' ? doubleQuote : singleQuote;
        const unsigned hits =
            static_cast<unsigned>(_mm_movemask_epi8(_mm_cmpeq_epi16(units, quote))) >> (2 * lane);
        if (hits == 0) break;
        lane += (__builtin_ctz(hits) >> 1) + 1;
        state.quote = 0;
      } else if (state.awaitingValue) {
        // Values mostly follow their "=" at once: the units are looked at one by one.
        while (lane < 8 && IsXmlWhitespace(block[lane])) ++lane;
        if (lane == 8) break;
        state.awaitingValue = false;
        if (block[lane] == u'"' || block[lane] == u'\'') state.quote = block[lane++];
      } else {
        const __m128i marks = _mm_or_si128(_mm_cmpeq_epi16(units, greater), _mm_cmpeq_epi16(units, equals));
        const unsigned hits = static_cast<unsigned>(_mm_movemask_epi8(marks)) >> (2 * lane);
        if (hits == 0) break;
        lane += __builtin_ctz(hits) >> 1;
        const char16_t* p = block + lane;
        if (*p == u'>') return p;
        state.awaitingValue = p == body || p[-1] != u'=';
        ++lane;
      }
    }
  }
#endif
  for (; block < end; ++block) {
    if (EndsStartTag(block, body, state)) return block;
  }
  return end;
}

// Whether the start tag whose body begins at `body` and ends at the ">" at `greater` closes itself:
// a "/" right before the ">", itself right after the name, white space, a quote or a U+0000 (which
// the scanner has always read as standing where nothing does).
inline bool ClosesItself(const char16_t* body, const char16_t* greater) {
  if (greater == body || greater[-1] != u'/') return false;
  if (greater - 1 == body) return true;
  const char16_t beforeSlash = greater[-2];
  return IsXmlWhitespace(beforeSlash) || beforeSlash == u'\'' || beforeSlash == u'"' || beforeSlash == u'\0';
}

// Language tags: language, optional script, optional region, then variants and extensions; the
// language must be one of ISO 639-1 or one of the three-letter languages the system names.
#include "kit/language_tags.h"

#include <algorithm>
#include <array>
#include <vector>

#include "platform/utf.h"

namespace kit {
namespace {

// ISO 639-1, and ISO 639-2/3 codes of languages the system's interface comes in.
constexpr std::string_view kLanguages =
    " aa ab ae af ak am an ar as av ay az ba be bg bh bi bm bn bo br bs ca ce ch co cr cs cu cv cy da de dv"
    " dz ee el en eo es et eu fa ff fi fj fo fr fy ga gd gl gn gu gv ha he hi ho hr ht hu hy hz ia id ie ig"
    " ii ik io is it iu ja jv ka kg ki kj kk kl km kn ko kr ks ku kv kw ky la lb lg li ln lo lt lu lv mg mh"
    " mi mk ml mn mr ms mt my na nb nd ne ng nl nn no nr nv ny oc oj om or os pa pi pl ps pt qu rm rn ro ru"
    " rw sa sc sd se sg si sk sl sm sn so sq sr ss st su sv sw ta te tg th ti tk tl tn to tr ts tt tw ty ug"
    " uk ur uz ve vi vo wa wo xh yi yo za zh zu"
    " arn chr ckb fil gsw haw hsb kok moh nso prs quc quz sah sma smj smn sms tzm yue zgh ";
// ISO 15924 scripts that the system's languages are written in.
constexpr std::string_view kScripts =
    " adlm arab armn beng bopo cans cher cyrl deva ethi geor grek gujr guru hang hani hans hant hebr jpan"
    " khmr knda kore laoo latn mlym mong mtei mymr nkoo olck orya sinh syrc taml telu tfng thaa thai tibt"
    " yiii ";

std::string Lower(std::u16string_view text) {
  std::string ascii;
  for (char16_t c : text) ascii += static_cast<char>(c >= u'A' && c <= u'Z' ? c + 32 : c);
  return ascii;
}

bool Listed(std::string_view list, const std::string& code) {
  return list.find(" " + code + " ") != std::string_view::npos;
}

bool AllOf(const std::string& s, bool (*test)(char)) {
  return !s.empty() && std::all_of(s.begin(), s.end(), test);
}
bool IsAlpha(char c) { return c >= 'a' && c <= 'z'; }
bool IsDigit(char c) { return c >= '0' && c <= '9'; }
bool IsAlnum(char c) { return IsAlpha(c) || IsDigit(c); }

std::vector<std::string> Split(const std::string& tag) {
  std::vector<std::string> parts;
  for (size_t start = 0; start <= tag.size();) {
    const size_t end = std::min(tag.find('-', start), tag.size());
    parts.push_back(tag.substr(start, end - start));
    start = end + 1;
  }
  return parts;
}

// The subtags after language, script and region: variants (5 to 8 letters or digits, or a digit
// and three more), then extensions and private use, each a single character and subtags of up to 8.
bool WellFormedTail(const std::vector<std::string>& parts, size_t at) {
  for (; at < parts.size() && parts[at].size() != 1; ++at) {
    const std::string& v = parts[at];
    const bool variant =
        AllOf(v, IsAlnum) && (v.size() >= 5 ? v.size() <= 8 : v.size() == 4 && IsDigit(v[0]));
    if (!variant) return false;
  }
  while (at < parts.size()) {
    if (parts[at].size() != 1 || !IsAlnum(parts[at][0])) return false;
    const size_t first = ++at;
    while (at < parts.size() && parts[at].size() > 1 && parts[at].size() <= 8 && AllOf(parts[at], IsAlnum))
      ++at;
    if (at == first) return false;
  }
  return true;
}

}  // namespace

std::optional<std::string> LanguageTagProblem(std::u16string_view tag) {
  const std::string text = Lower(tag);
  const std::vector<std::string> parts = Split(text);
  const std::string& language = parts[0];
  if (!AllOf(language, IsAlpha) || language.size() < 2 || language.size() > 3)
    return "malformed: a tag starts with a language of two or three letters (de, pt-BR, zh-Hans)";
  size_t at = 1;
  std::string script;
  if (at < parts.size() && parts[at].size() == 4 && AllOf(parts[at], IsAlpha)) script = parts[at++];
  if (at < parts.size() && ((parts[at].size() == 2 && AllOf(parts[at], IsAlpha)) ||
                            (parts[at].size() == 3 && AllOf(parts[at], IsDigit))))
    ++at;
  if (!WellFormedTail(parts, at)) return "malformed: \"" + platform::ToUtf8(tag) + "\" is no language tag";
  if (!Listed(kLanguages, language)) return "unknown language \"" + language + "\"";
  if (!script.empty() && !Listed(kScripts, script))
    return "unknown script \"" + platform::ToUtf8(tag.substr(language.size() + 1, 4)) + "\"";
  return std::nullopt;
}

}  // namespace kit

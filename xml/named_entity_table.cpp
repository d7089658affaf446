// The named character references that UnescapeText decodes: the 252 of HTML 4.01 and "apos".
#include "xml/named_entity_table.h"

#include <array>
#include <string_view>

namespace {

// Bucket k holds the entries whose lower-case names sum to k modulo 130. Where two names differ
// only in letter case, the all-lower-case one comes first.
constexpr std::array<std::u16string_view, kNamedEntityBuckets> kBuckets = {
    u"60248oslash60216oslash60249ugrave60217ugrave",
    u"58968lceil50969omega50937omega60253yacute60221yacute",
    u"50948delta50916delta50238icirc50206icirc68472weierp",
    u"40185sup1",
    u"68970lfloor40178sup2",
    u"60164curren50954kappa50922kappa58212mdash40179sup3",
    u"59830diams58211ndash",
    u"68855otimes58969rceil",
    u"50244ocirc50212ocirc50339oelig50338oelig58482trade",
    u"50229aring50197aring50963sigma50931sigma",
    u"50180acute68971rfloor50732tilde",
    u"68249lsaquo",
    u"58734infin68201thinsp",
    u"50161iexcl",
    u"50952theta50920theta50251ucirc50219ucirc",
    u"58254oline",
    u"58260frasl68727lowast",
    u"59827clubs60191iquest68250rsaquo",
    u"58629crarr50181micro",
    u"58222bdquo",
    u"",
    u"60177plusmn58242prime58243prime",
    u"40946beta40914beta",
    u"",
    u"",
    u"",
    u"50171laquo50215times",
    u"40710circ",
    u"49001lang",
    u"58220ldquo40175macr",
    u"40182para50163pound48476real",
    u"",
    u"58713notin50187raquo",
    u"48773cong50223szlig50978upsih",
    u"58776asymp58801equiv49002rang58218sbquo",
    u"48595darr48659darr40402fnof58221rdquo50254thorn50222thorn",
    u"40162cent58722minus",
    u"58707exist40170ordf",
    u"",
    u"58709empty48596harr48660harr40953iota40921iota",
    u"",
    u"40228auml40196auml48226bull40167sect48838sube",
    u"",
    u"48592larr48656larr58853oplus",
    u"30176deg58216lsquo40186ordm",
    u"40039apos40235euml40203euml48712isin40160nbsp",
    u"40950zeta40918zeta",
    u"38743and48195emsp48719prod",
    u"38745cap30967chi30935chi48194ensp",
    u"40239iuml40207iuml48706part48869perp48594rarr48658rarr",
    u"38736ang48836nsub58217rsquo",
    u"",
    u"48901sdot48593uarr48657uarr",
    u"40169copy48364euro",
    u"30951eta30919eta",
    u"40246ouml40214ouml48839supe",
    u"",
    u"",
    u"30038amp30174reg",
    u"48733prop",
    u"",
    u"30240eth30208eth30966phi30934phi40252uuml40220uuml",
    u"",
    u"",
    u"",
    u"40255yuml40376yuml",
    u"",
    u"40034quot48204zwnj",
    u"38746cup68756there4",
    u"30961rho30929rho38764sim",
    u"38834sub30964tau30932tau",
    u"38747int38206lrm38207rlm",
    u"30968psi30936psi30165yen",
    u"",
    u"28805ge30168uml",
    u"30982piv",
    u"",
    u"30172not",
    u"",
    u"28804le",
    u"30173shy",
    u"39674loz28800ne38721sum",
    u"",
    u"",
    u"38835sup",
    u"28715ni",
    u"",
    u"20960pi20928pi38205zwj",
    u"",
    u"20062gt60955lambda60923lambda",
    u"",
    u"",
    u"60231ccedil60199ccedil",
    u"",
    u"20060lt",
    u"28744or20958xi20926xi",
    u"20956mu20924mu",
    u"20957nu20925nu",
    u"68224dagger68225dagger",
    u"80977thetasym",
    u"",
    u"",
    u"",
    u"78501alefsym",
    u"",
    u"",
    u"",
    u"60225aacute60193aacute60227atilde60195atilde",
    u"",
    u"60247divide70959omicron70927omicron",
    u"60224agrave60192agrave",
    u"60233eacute60201eacute60962sigmaf",
    u"70949epsilon70917epsilon",
    u"",
    u"60232egrave60200egrave",
    u"60237iacute60205iacute",
    u"",
    u"",
    u"68230hellip60236igrave60204igrave",
    u"60166brvbar",
    u"68704forall58711nabla60241ntilde60209ntilde69824spades",
    u"60189frac1260183middot60243oacute60211oacute60245otilde60213otilde",
    u"",
    u"50184cedil60188frac14",
    u"50226acirc50194acirc50230aelig50198aelig60242ograve60210ograve",
    u"60190frac3450947gamma50915gamma58465image58730radic",
    u"60353scaron60352scaron",
    u"69829hearts60250uacute60218uacute",
    u"50945alpha50913alpha50234ecirc50202ecirc70965upsilon70933upsilon",
    u"68240permil",
};

bool EqualName(std::u16string_view entry, const char16_t* name, int32_t length) {
  return entry == std::u16string_view(name, static_cast<size_t>(length));
}

}  // namespace

std::u16string_view NamedEntityBucket(int32_t k) { return kBuckets[static_cast<size_t>(k)]; }

int32_t LookupNamedEntity(const char16_t* name, int32_t length, bool preferCapitalised) {
  if (length < 2 || length > 8) return 0;
  uint32_t sum = 0;
  for (int32_t i = 0; i < length; ++i) sum += name[i];
  const std::u16string_view bucket = kBuckets[sum % kNamedEntityBuckets];
  int32_t found = 0;
  for (size_t at = 0; at < bucket.size();) {
    const int32_t entryLength = bucket[at] - u'0';
    const std::u16string_view entryName = bucket.substr(at + 5, static_cast<size_t>(entryLength));
    if (entryLength == length && EqualName(entryName, name, length)) {
      int32_t code = 0;
      for (size_t d = at + 1; d < at + 5; ++d) code = code * 10 + (bucket[d] - u'0');
      if (found != 0 || !preferCapitalised) return code;
      found = code;
    }
    at += 5 + static_cast<size_t>(entryLength);
  }
  return found;
}

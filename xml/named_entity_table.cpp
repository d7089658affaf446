// The named character references that UnescapeText decodes: the 252 of HTML 4.01 and "apos".
#include "xml/named_entity_table.h"

#include <string_view>

#include "xml/packed_table.h"

namespace {

// Bucket k holds the entries whose lower-case names sum to k modulo 130. Where two names differ
// only in letter case, the all-lower-case one comes first.
constexpr BucketTable<kNamedEntityBuckets> kBuckets(
    "60248oslash60216oslash60249ugrave60217ugrave|"
    "58968lceil50969omega50937omega60253yacute60221yacute|"
    "50948delta50916delta50238icirc50206icirc68472weierp|"
    "40185sup1|"
    "68970lfloor40178sup2|"
    "60164curren50954kappa50922kappa58212mdash40179sup3|"
    "59830diams58211ndash|"
    "68855otimes58969rceil|"
    "50244ocirc50212ocirc50339oelig50338oelig58482trade|"
    "50229aring50197aring50963sigma50931sigma|"
    "50180acute68971rfloor50732tilde|"
    "68249lsaquo|"
    "58734infin68201thinsp|"
    "50161iexcl|"
    "50952theta50920theta50251ucirc50219ucirc|"
    "58254oline|"
    "58260frasl68727lowast|"
    "59827clubs60191iquest68250rsaquo|"
    "58629crarr50181micro|"
    "58222bdquo|"
    "|"
    "60177plusmn58242prime58243prime|"
    "40946beta40914beta|"
    "|"
    "|"
    "|"
    "50171laquo50215times|"
    "40710circ|"
    "49001lang|"
    "58220ldquo40175macr|"
    "40182para50163pound48476real|"
    "|"
    "58713notin50187raquo|"
    "48773cong50223szlig50978upsih|"
    "58776asymp58801equiv49002rang58218sbquo|"
    "48595darr48659darr40402fnof58221rdquo50254thorn50222thorn|"
    "40162cent58722minus|"
    "58707exist40170ordf|"
    "|"
    "58709empty48596harr48660harr40953iota40921iota|"
    "|"
    "40228auml40196auml48226bull40167sect48838sube|"
    "|"
    "48592larr48656larr58853oplus|"
    "30176deg58216lsquo40186ordm|"
    "40039apos40235euml40203euml48712isin40160nbsp|"
    "40950zeta40918zeta|"
    "38743and48195emsp48719prod|"
    "38745cap30967chi30935chi48194ensp|"
    "40239iuml40207iuml48706part48869perp48594rarr48658rarr|"
    "38736ang48836nsub58217rsquo|"
    "|"
    "48901sdot48593uarr48657uarr|"
    "40169copy48364euro|"
    "30951eta30919eta|"
    "40246ouml40214ouml48839supe|"
    "|"
    "|"
    "30038amp30174reg|"
    "48733prop|"
    "|"
    "30240eth30208eth30966phi30934phi40252uuml40220uuml|"
    "|"
    "|"
    "|"
    "40255yuml40376yuml|"
    "|"
    "40034quot48204zwnj|"
    "38746cup68756there4|"
    "30961rho30929rho38764sim|"
    "38834sub30964tau30932tau|"
    "38747int38206lrm38207rlm|"
    "30968psi30936psi30165yen|"
    "|"
    "28805ge30168uml|"
    "30982piv|"
    "|"
    "30172not|"
    "|"
    "28804le|"
    "30173shy|"
    "39674loz28800ne38721sum|"
    "|"
    "|"
    "38835sup|"
    "28715ni|"
    "|"
    "20960pi20928pi38205zwj|"
    "|"
    "20062gt60955lambda60923lambda|"
    "|"
    "|"
    "60231ccedil60199ccedil|"
    "|"
    "20060lt|"
    "28744or20958xi20926xi|"
    "20956mu20924mu|"
    "20957nu20925nu|"
    "68224dagger68225dagger|"
    "80977thetasym|"
    "|"
    "|"
    "|"
    "78501alefsym|"
    "|"
    "|"
    "|"
    "60225aacute60193aacute60227atilde60195atilde|"
    "|"
    "60247divide70959omicron70927omicron|"
    "60224agrave60192agrave|"
    "60233eacute60201eacute60962sigmaf|"
    "70949epsilon70917epsilon|"
    "|"
    "60232egrave60200egrave|"
    "60237iacute60205iacute|"
    "|"
    "|"
    "68230hellip60236igrave60204igrave|"
    "60166brvbar|"
    "68704forall58711nabla60241ntilde60209ntilde69824spades|"
    "60189frac1260183middot60243oacute60211oacute60245otilde60213otilde|"
    "|"
    "50184cedil60188frac14|"
    "50226acirc50194acirc50230aelig50198aelig60242ograve60210ograve|"
    "60190frac3450947gamma50915gamma58465image58730radic|"
    "60353scaron60352scaron|"
    "69829hearts60250uacute60218uacute|"
    "50945alpha50913alpha50234ecirc50202ecirc70965upsilon70933upsilon|"
    "68240permil|");
static_assert(kBuckets.Complete());

}  // namespace

std::string_view NamedEntityBucket(int32_t k) { return kBuckets[static_cast<size_t>(k)]; }

int32_t LookupNamedEntity(const char16_t* name, int32_t length, bool preferCapitalised) {
  if (length < 2 || length > 8) return 0;
  uint32_t sum = 0;
  for (int32_t i = 0; i < length; ++i) sum += name[i];
  const std::string_view bucket = kBuckets[sum % kNamedEntityBuckets];
  const std::u16string_view wanted(name, static_cast<size_t>(length));
  int32_t found = 0;
  for (size_t at = 0; at < bucket.size();) {
    const auto entryLength = static_cast<size_t>(bucket[at] - '0');
    if (SameAsStored(bucket.substr(at + 5, entryLength), wanted)) {
      const int32_t code = DecimalDigits(bucket.substr(at + 1, 4));
      if (found != 0 || !preferCapitalised) return code;
      found = code;
    }
    at += 5 + entryLength;
  }
  return found;
}

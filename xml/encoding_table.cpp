// The encoding-name table, stored as 155 buckets of packed entries so that it is constant data:
// each entry is the name's length (two digits), its code page (five digits) and the lower-case
// name; an entry lies in bucket (sum of the name's UTF-16 units) % 155.
#include "xml/encoding_table.h"

#include <array>

#include "xml/packed_table.h"

namespace {

constexpr int32_t kBucketCount = 155;
constexpr size_t kMaxNameLength = 99;

// clang-format off
constexpr BucketTable<kBucketCount> kEncodingBuckets(
    "0800949ksc_5601|"
    "0920003x-cp200031920932cseucpkdfmtjapanese|"
    "0920004x-cp200040228591l11250221_iso-2022-jp|"
    "0920005x-cp200050228592l2|"
    "0600850ibm8501000858ccsid008580228593l3|"
    "0600437ibm4370600860ibm8600701201ucs-2be0228594l4|"
    "0600852ibm8520600861ibm8610501250ms-ee0228599l50751932cp51932|"
    "0700858cp008580600862ibm8621010021x-mac-thai0620127ibm3670920261x-cp20261|"
    "0600737ibm7370600863ibm8630500869cp-gr1057003x-iscii-be|"
    "0600855ibm8550600864ibm8640628591ibm8190750221ms50221|"
    "0600775ibm7750600865ibm8650300949uhc1028591iso-ir-1000228605l91057002x-iscii-de|"
    "0600857ibm8570500861cp-is0600866ibm8661028592iso-ir-1011028594iso-ir-110|"
    "0950227x-cp50227|"
    "0320866koi1628598csisolatinhebrew1057008x-iscii-ka|"
    "0600869ibm8691000950big5-hkscs1220106x-ia5-german|"
    "0701200ucs-2le0712001utf32be0920269x-cp202691057009x-iscii-ma|"
    "0500437cspc80800708asmo-7080612000utf-320920936x-cp209361765000unicode-1-1-utf-7|"
    "1200500ebcdic-cp-be0701201utf16be0628598hebrew0551932x-euc1765001unicode-1-1-utf-81765001unicode-2-0-utf-8|"
    "0601200utf-161028595iso-ir-1441028597iso-ir-1260728605latin-91057011x-iscii-pa|"
    "1028593iso-ir-1091028596iso-ir-1270751932ms51932|"
    "0600949korean0801253ms-greek0920949x-cp209491128605iso_8859-151050225iso2022-kr|"
    "1200500ebcdic-cp-ch1028598iso-ir-1381450221iso-2022-jp-ms1057006x-iscii-as|"
    "1028599iso-ir-1481057004x-iscii-ta|"
    "1000949iso-ir-1490820127us-ascii|"
    "|"
    "1900850cspc850multilingual1000936gb_2312-800712000utf32le|"
    "1300949csksc560119871057005x-iscii-te1965000x-unicode-2-0-utf-7|"
    "0701200utf16le0928591iso8859-11965001x-unicode-2-0-utf-8|"
    "1000932x-ms-cp9321420002x_chinese-eten0520866koi8r0928592iso8859-2|"
    "1320000x-chinese-cns0928593iso8859-31138598iso8859-8-i1057010x-iscii-gu|"
    "0928594iso8859-4|"
    "0928595iso8859-51150221csiso2022jp|"
    "0900154csptcp1540928596iso8859-6|"
    "1400154cyrillic-asian0900932shift_jis0928597iso8859-7|"
    "0928598iso8859-81150225csiso2022kr1057007x-iscii-or|"
    "0721866koi8-ru0928599iso8859-9|"
    "0910000macintosh|"
    "|"
    "|"
    "|"
    "0800936gb2312801210004x-mac-arabic1520108x-ia5-norwegian0628598visual|"
    "|"
    "0829001x-europa|"
    "|"
    "1510079x-mac-icelandic|"
    "0800932sjis-win1128591csisolatin1|"
    "1128592csisolatin2|"
    "1400949ks_c_5601-19871128593csisolatin3|"
    "1128594csisolatin4|"
    "1400949ks_c_5601-19890400950big51128595csisolatin5|"
    "0500500cp5001565000csunicode11utf7|"
    "0501361johab|"
    "1100437codepage4371100932windows-932|"
    "1800862cspc862latinhebrew1310081x-mac-turkish|"
    "|"
    "0500154cp1540800500csibm5000701256ms-arab|"
    "1100936windows-9360520127ascii|"
    "1100874windows-8741528597csisolatingreek|"
    "0500850cp850|"
    "0500437cp4370700720dos-7200500860cp8600500932cp9320500950cp9501650222_iso-2022-jp$sio|"
    "0500852cp8520500861cp8610700949ksc56010812001utf-32be|"
    "0500853cp8530500862cp8620520127cp3670528597greek|"
    "0500737cp7370500863cp8630801201utf-16be1150220iso-2022-jp|"
    "0500855cp8550500864cp8640500936cp9364520932extended_unix_code_packed_format_for_japanese0528591cp819|"
    "0500775cp7750800860csibm8600500865cp8650500874cp874|"
    "0500857cp8570800861csibm8610500866cp8661101201unicodefffe1150225iso-2022-kr|"
    "0500858cp8580700862dos-8620701255ms-hebr|"
    "0800863csibm8630500949cp9491210005x-mac-hebrew|"
    "1600437cspc8codepage4370800855csibm8550800864csibm8640500869cp8690700874tis-620|"
    "0800865csibm8650700874dos-8740800932ms_kanji0800950x-x-big50420866koi8|"
    "0800857csibm8570800866csibm8661210003x-mac-korean0812000utf-32le|"
    "|"
    "0500154pt1540500932ms9320801200utf-16le1028591iso-8859-1|"
    "0800869csibm8690620866koi8-r1028592iso-8859-2|"
    "1500936csiso58gb2312800820127iso-ir-61028593iso-8859-30828597elot_9281238598iso-8859-8-i|"
    "1028594iso-8859-4|"
    "0800852cspcp8520500936ms9360701252ms-ansi0621866koi8-u1028595iso-8859-5|"
    "2400858pc-multilingual-850+euro0220127us1028596iso-8859-6|"
    "1028597iso-8859-71028603iso8859-13|"
    "1320000x-chinese_cns1028598iso-8859-8|"
    "1828595csisolatincyrillic1028599iso-8859-91028605iso8859-15|"
    "0465001utf8|"
    "1510017x-mac-ukrainian|"
    "|"
    "0828595cyrillic|"
    "0900936gb2312-80|"
    "|"
    "0720866cskoi8r1528591iso_8859-1:1987|"
    "1528592iso_8859-2:1987|"
    "1354936iso-4873:1986|"
    "0700932sjis-ms1528593iso_8859-3:1988|"
    "0600936gb23120701251ms-cyrl1528594iso_8859-4:1988|"
    "1528595iso_8859-5:19881528596iso_8859-6:1987|"
    "1528597iso_8859-7:1987|"
    "1300932shifft_jis-ms1201250windows-1250|"
    "0900949ks_c_56011201251windows-12511110000csmacintosh0810029x-mac-ce1528598iso_8859-8:1988|"
    "0601200cp12001201252windows-1252|"
    "1400949ks_c_5601_19870601201cp12011201253windows-12531528599iso_8859-9:19891052936hz-gb-2312|"
    "1201254windows-1254|"
    "1000936csgb2312801201255windows-1255|"
    "1100932windows-31j1201256windows-1256|"
    "0601133cp11330601250cp12501201257windows-1257|"
    "0601125cp11250601251cp12511201258windows-1258|"
    "0601252cp12520701254ms-turk|"
    "0601253cp12530601361cp1361|"
    "0800949ks-c56010601254cp1254|"
    "0601255cp12550651936euc-cn|"
    "0601256cp1256|"
    "0800858ibm008580600950csbig50601257cp1257|"
    "0601258cp1258|"
    "0520105x-ia5|"
    "0801250x-cp12501110006x-mac-greek0738598logical|"
    "0801251x-cp1251|"
    "|"
    "1200932cswindows31j1410001x-mac-japanese|"
    "0700936chinese0720127csascii0620932euc-jp|"
    "0501200ucs-20851936x-euc-cn|"
    "0628597greek8|"
    "0651949euc-kr|"
    "|"
    "0628591latin1|"
    "1100874iso-8859-110628592latin2|"
    "1420127ansi_x3.4-19681420127ansi_x3.4-19861028591iso_8859-10628593latin3|"
    "0701200unicode1028592iso_8859-20628594latin41128603iso-8859-13|"
    "1410082x-mac-croatian1028593iso_8859-30628599latin5|"
    "1028594iso_8859-41128605iso-8859-150851932x-euc-jp0565000utf-7|"
    "1300775cspc775baltic0512000utf321028595iso_8859-50565001utf-8|"
    "0601252x-ansi1710002x-mac-chinesetrad1028596iso_8859-6|"
    "0700154ptcp1540501200utf161410010x-mac-romanian1028597iso_8859-70628605latin9|"
    "0900936iso-ir-581028598iso_8859-8|"
    "1028599iso_8859-9|"
    "0400932sjis1350221iso2022-jp-ms|"
    "0751949cseuckr|"
    "1420002x-chinese-eten|"
    "1410007x-mac-cyrillic|"
    "1000932shifft_jis|"
    "0828596ecma-114|"
    "|"
    "0900932shift-jis|"
    "0701256cp1256 1320107x-ia5-swedish|"
    "0828597ecma-118|"
    "0600932x-sjis1710008x-mac-chinesesimp1628596csisolatinarabic|"
    "|"
    "0754936gb18030|"
    "0712000cp120001350221windows-50221|"
    "0900932sjis-open0500936cn-gb0712001cp120010628596arabic|"
    "|"
    "|"
    "0700950cn-big51001133ibm-cp11330920127iso646-us|"
    "|"
    "0800936csgb23120900949ks-c-56010310000mac|"
    "1001257winbaltrim1020127iso-ir-6us0750221cp50221|"
    "1000932csshiftjis|"
    "0300936gbk0765001cp65001|"
    "0920001x-cp200011620127iso_646.irv:19911351932windows-51932|");
static_assert(kEncodingBuckets.Complete());
// clang-format on

}  // namespace

int32_t EncodingCodePage(std::u16string_view name) {
  if (name.empty()) return 0;
  if (name.starts_with(u"UTF-32")) return CODEPAGE_UTF32;
  if (name.size() > kMaxNameLength) return -1;

  std::array<char16_t, kMaxNameLength> folded;
  uint32_t sum = 0;
  for (size_t i = 0; i < name.size(); ++i) {
    char16_t c = name[i];
    if (c >= u'A' && c <= u'Z') c += u'a' - u'A';
    folded[i] = c;
    sum += c;
  }
  const std::u16string_view key(folded.data(), name.size());

  std::string_view bucket = kEncodingBuckets[sum % kBucketCount];
  while (!bucket.empty()) {
    const auto length = static_cast<size_t>(DecimalDigits(bucket.substr(0, 2)));
    if (SameAsStored(bucket.substr(7, length), key)) return DecimalDigits(bucket.substr(2, 5));
    bucket.remove_prefix(7 + length);
  }
  return -1;
}

// `check`: the shipped sample passes; each broken copy of it gives the finding it must, at the
// right place, and the exit status says there is something to fix.
#include <gtest/gtest.h>

#include <functional>
#include <sstream>

#include "kit/check_command.h"
#include "kit/skin_check.h"
#include "kit/texts_check.h"
#include "platform/utf.h"
#include "tests/kit/vendor_folder_fixture.h"
#include "ui/button_images.h"

namespace kit {
namespace {

using test::Plain;
using test::VendorFolder;

constexpr char kXml[] = "TorvinWebInstaller.xml";
constexpr char kIni[] = "TorvinWebInstallerString.ini";

std::string Listing(const Findings& findings) {
  std::string text;
  for (const Finding& f : findings.Items())
    text += f.file + ":" + std::to_string(f.line) + ":" + std::to_string(f.column) + ": " + f.message + "\n";
  return text;
}

TEST(Check, TheShippedSampleHasNothingToFix) {
  std::ostringstream out, progress;
  Command command;
  command.input = test::kSampleDir.u16string();
  EXPECT_EQ(RunCheck(command, out, progress), 0) << out.str();
  EXPECT_NE(out.str().find("No findings: nothing to fix."), std::string::npos);
  EXPECT_NE(out.str().find("read as UTF-16 (little-endian) with a byte-order mark"), std::string::npos);
}

TEST(Check, TableOfWhatEachSystemDownloads) {
  std::ostringstream progress;
  const CheckReport report = CheckFolder(test::kSampleDir.u16string(), false, progress);
  ASSERT_EQ(report.systems.size(), 16u);
  auto row = [&](const std::string& system, bool installed) -> const SystemOutcome& {
    for (const SystemOutcome& s : report.systems)
      if (s.system == system && s.installed == installed) return s;
    ADD_FAILURE() << "no row for " << system;
    return report.systems[0];
  };
  const std::u16string win7 = u"https://downloads.example.com/plantyx/studio-2026-x64.exe";
  EXPECT_EQ(row("Windows 7 64-bit", false).first, win7);
  EXPECT_EQ(row("Windows 7 64-bit", false).fallback, win7);
  EXPECT_TRUE(row("Windows 8 64-bit", true).patch);
  EXPECT_EQ(row("Windows 8 64-bit", true).first,
            u"https://downloads.example.com/plantyx/studio-2026-update-win8-x64.exe");
  EXPECT_EQ(row("Windows 8 64-bit", true).fallback, win7);
  // No entry of its own: the first link is nothing usable, the default entry is the fallback.
  EXPECT_EQ(row("Windows XP 64-bit", false).fallback, win7);
  EXPECT_NE(row("Windows 7 32-bit", false).message.find("only be installed on a 64-bit"), std::string::npos);
  EXPECT_NE(DescribeOutcome(row("Windows 8 64-bit", false), report.config).find("(<rlink> line 19)"),
            std::string::npos);
}

struct BrokenFolder {
  const char* what;
  std::function<void(const VendorFolder&)> breakIt;
  const char* file;
  int32_t line;  // 0: the finding has no place
  const char* message;
};

const ui::Color kRed = ui::Rgb(200, 30, 30);

const BrokenFolder kBrokenFolders[] = {
    {"default in lower case",
     [](auto& f) { f.Replace(kXml, "<installerInfo default=\"YES\">", "<installerInfo default=\"yes\">"); },
     kXml, 10, "default=\"yes\" does not mark a default entry"},
    {"no default at all",
     [](auto& f) { f.Replace(kXml, "<installerInfo default=\"YES\">", "<installerInfo>"); }, kXml, 7,
     "no entry is marked default=\"YES\""},
    {"two defaults", [](auto& f) { f.Replace(kXml, "<installerInfo>", "<installerInfo default=\"YES\">"); },
     kXml, 16, "a second entry is marked default=\"YES\" (the first is at line 10)"},
    {"entries before the registry key",
     [](auto& f) {
       f.Replace(kXml, "    <registry>SOFTWARE\\Plantyx\\Studio\\2026</registry>\n", "");
       f.Replace(kXml, "  </product>", "    <registry>SOFTWARE\\Plantyx</registry>\n  </product>");
     },
     kXml, 9, "<installerInfo> stands before <registry> (line 26), so the installer does not see this entry"},
    {"registry before the name",
     [](auto& f) {
       f.Replace(kXml, "    <name>Plantyx Studio 2026</name>\n", "");
       f.Replace(kXml, "</registry>\n", "</registry>\n    <name>Plantyx Studio 2026</name>\n");
     },
     kXml, 8, "<registry> stands before <name> (line 9)"},
    {"bit before os",
     [](auto& f) {
       f.Replace(kXml, "<os>Windows 7</os>\n      <bit>64</bit>", "<bit>64</bit>\n      <os>Windows 7</os>");
     },
     kXml, 11, "<bit> stands before <os> (line 12)"},
    {"rlink before bit",
     [](auto& f) {
       f.Replace(kXml,
                 "<bit>64</bit>\n      "
                 "<rlink>https://downloads.example.com/plantyx/studio-2026-win8-x64.exe</rlink>",
                 "<rlink>https://downloads.example.com/plantyx/studio-2026-win8-x64.exe</rlink>\n      "
                 "<bit>64</bit>");
     },
     kXml, 18, "<rlink> stands before <bit> (line 19)"},
    {"unknown os", [](auto& f) { f.Replace(kXml, "<os>Windows 7</os>", "<os>Windows 10</os>"); }, kXml, 11,
     "unknown os \"Windows 10\""},
    {"unknown bit", [](auto& f) { f.Replace(kXml, "<bit>64</bit>", "<bit>x64</bit>"); }, kXml, 12,
     "unknown bit \"x64\""},
    {"plain http", [](auto& f) { f.Replace(kXml, "<rlink>https://", "<rlink>http://"); }, kXml, 13,
     "is plain http"},
    {"no scheme", [](auto& f) { f.Replace(kXml, "<rlink>https://", "<rlink>"); }, kXml, 13, "has no scheme"},
    {"ftp link", [](auto& f) { f.Replace(kXml, "<patch>https://", "<patch>ftp://"); }, kXml, 14,
     "is not an http or https link"},
    {"empty link",
     [](auto& f) {
       f.Replace(kXml, "<rlink>https://downloads.example.com/plantyx/studio-2026-vista-x64.exe</rlink>",
                 "<rlink></rlink>");
     },
     kXml, 25, "<rlink> is empty"},
    {"digest that is not 64 hex digits",
     [](auto& f) {
       f.Replace(kXml, "<rlink>https://downloads.example.com/plantyx/studio-2026-win8",
                 "<rlink sha256=\"12ab\">https://downloads.example.com/plantyx/studio-2026-win8");
     },
     kXml, 19, "has sha256=\"12ab\", which is not 64 hexadecimal digits"},
    {"empty signer", [](auto& f) { f.Replace(kXml, "<product>", "<product signer=\"\">"); }, kXml, 7,
     "<product> has signer=\"\": the installer refuses the whole configuration"},
    {"digest only on the default entry's link",
     [](auto& f) {
       f.Replace(kXml, "<rlink>https://downloads.example.com/plantyx/studio-2026-x64.exe",
                 "<rlink sha256=\"" + std::string(64, 'a') + "\">https://downloads.example.com/plantyx/studio-2026-x64.exe");
     },
     kXml, 19, "<rlink> has no sha256 while the default entry's <rlink> (line 13) has one"},
    {"product name with a slash", [](auto& f) { f.Replace(kXml, "Plantyx Studio 2026", "Plantyx/Studio"); },
     kXml, 8, "is not a plain file name"},
    {"empty registry key", [](auto& f) { f.Replace(kXml, "SOFTWARE\\Plantyx\\Studio\\2026", ""); }, kXml, 9,
     "the registry key is empty"},
    {"not well-formed", [](auto& f) { f.Replace(kXml, "</name>", "</nam>"); }, kXml, 8,
     "the end tag </nam> has no start tag"},
    {"no configuration", [](auto& f) { f.Remove(kXml); }, kXml, 0, "cannot be read"},
    {"report address over plain http",
     [](auto& f) { f.Replace(kXml, "<product>", "<product report=\"http://stats.example.com/r\">"); }, kXml, 7,
     "report=\"http://stats.example.com/r\" is not an https address: the installer sends no report to it"},
    {"key with a typo", [](auto& f) { f.Replace(kIni, "IDS_STATUS_INIT=", "IDS_STATUS_INTI="); }, kIni, 0,
     "unknown key IDS_STATUS_INTI (did you mean IDS_STATUS_INIT?)"},
    {"key left out", [](auto& f) { f.Replace(kIni, "IDS_STATUS_FINISHED=Finished.", ""); }, kIni, 0,
     "IDS_STATUS_FINISHED is missing: the window shows the English \"Finished.\""},
    {"value too long", [](auto& f) { f.Replace(kIni, "=Finished.", "=" + std::string(300, 'x')); }, kIni, 0,
     "IDS_STATUS_FINISHED is 300 characters long: the installer reads only the first 259"},
    {"UTF-8 without a mark",
     [](auto& f) { f.Write(kIni, "[UISTRING]\r\nIDS_TEXT_CANCEL=Annuler \xC3\xA9\r\n"); }, kIni, 0,
     "UTF-8 without a byte-order mark"},
    {"malformed language tag", [](auto& f) { f.Replace(kIni, "[UISTRING.fr]", "[UISTRING.french]"); }, kIni,
     0, "[UISTRING.french]: malformed"},
    {"three-letter script", [](auto& f) { f.Replace(kIni, "[UISTRING.fr]", "[UISTRING.fr-Lat]"); }, kIni, 0,
     "[UISTRING.fr-Lat]: malformed"},
    {"unknown language", [](auto& f) { f.Replace(kIni, "[UISTRING.fr]", "[UISTRING.qq]"); }, kIni, 0,
     "[UISTRING.qq]: unknown language \"qq\""},
    {"unknown script", [](auto& f) { f.Replace(kIni, "[UISTRING.ja]", "[UISTRING.ja-Abcd]"); }, kIni, 0,
     "[UISTRING.ja-Abcd]: unknown script \"Abcd\""},
    {"language without keys",
     [](auto& f) { f.Replace(kIni, "[UISTRING.ar]", "[UISTRING.he]\r\n[UISTRING.ar]"); }, kIni, 0,
     "[UISTRING.he] has no keys: the installer never chooses it"},
    {"key missing in a language",
     [](auto& f) {
       f.Replace(kIni, "IDS_STATUS_INSTALLING=\xE3\x82\xA4", "IDS_STATUS_INSTALLIN=\xE3\x82\xA4");
     },
     kIni, 0,
     "IDS_STATUS_INSTALLING is missing in [UISTRING.ja]: the window shows [UISTRING]'s \"Installing...\""},
    {"key missing everywhere",
     [](auto& f) {
       f.Replace(kIni, "IDS_STATUS_VERIFYING=Verifying...", "");
       f.Replace(kIni, "IDS_STATUS_VERIFYING=V\xC3\xA9rification...", "");
     },
     kIni, 0,
     "IDS_STATUS_VERIFYING is missing in [UISTRING.fr]: the window shows the English \"Verifying...\""},
    {"misspelt key in a language",
     [](auto& f) { f.Replace(kIni, "IDS_TEXT_CANCEL=Abbrechen", "IDS_TEXT_CANCLE=Abbrechen"); }, kIni, 0,
     "unknown key IDS_TEXT_CANCLE in [UISTRING.de] (did you mean IDS_TEXT_CANCEL?)"},
    {"text left in English", [](auto& f) { f.Replace(kIni, "=Termin\xC3\xA9.", "=Finished."); }, kIni, 0,
     "IDS_STATUS_FINISHED in [UISTRING.fr] is left in English: \"Finished.\""},
    {"text copied from [UISTRING]",
     [](auto& f) {
       f.Replace(kIni, "=Initializing...", "=Starting...");
       f.Replace(kIni, "=Initialisation...", "=Starting...");
     },
     kIni, 0, "IDS_STATUS_INIT in [UISTRING.fr] is the same as in [UISTRING]: \"Starting...\""},
    {"status text wider than the status line",
     [](auto& f) {
       f.Replace(kIni, "=Verbindung wird wiederhergestellt...",
                 "=Die Verbindung zum Server wird gerade wiederhergestellt, bitte warten...");
     },
     kIni, 0, "the status line has 300 px (StatusBkg.jpg's width), so the window cuts it"},
    {"caption that wraps out of Cancel", [](auto& f) { f.Replace(kIni, "=Abbrechen", "=Vorgang abbrechen"); },
     kIni, 0, "px: the Cancel button is 110 x 34 px, so the window cuts its caption"},
    {"link caption wider than the link",
     [](auto& f) {
       f.Replace(kIni, "IDS_DOWNLOAD_PROBLEM=Probl",
                 "IDS_DOWNLOAD_PROBLEM=Vous rencontrez des difficult\xC3\xA9s pour t\xC3\xA9l\xC3\xA9"
                 "charger le programme ? Probl");
     },
     kIni, 0, "the problem link is 221 x 28 px, so the window cuts its caption"},
    {"product name wider than the heading",
     [](auto& f) {
       f.Replace(kXml, "Plantyx Studio 2026",
                 "Plantyx Studio 2026 Professional Edition for Teams and Enterprise Customers");
     },
     kXml, 0, "the title and the heading have 300 px, so the window cuts it"},
    {"caption image too big", [](auto& f) { f.WriteImage("Close_N.jpg", Plain(30, 30, kRed)); },
     "Close_N.jpg", 0, "is 30 x 30: the installer paints exactly 23 x 23"},
    {"key colour in Cancel_H",
     [](auto& f) {
       ui::Bitmap image = Plain(110, 34, kRed);
       image.SetPixel(5, 5, ui::kImageKeyColor);
       image.SetPixel(6, 5, ui::kImageKeyColor);
       f.WriteImage("Cancel_H.jpg", image);
     },
     "Cancel_H.jpg", 0, "2 pixels have the colour RGB(50,51,51)"},
    {"key colour in a copy for twice the scale",
     [](auto& f) {
       ui::Bitmap image = Plain(220, 68, kRed);
       image.SetPixel(100, 30, ui::kImageKeyColor);
       f.WriteImage("Cancel_D@2x.jpg", image);
     },
     "Cancel_D@2x.jpg", 0, "1 pixel has the colour RGB(50,51,51)"},
    {"Cancel_D of another size", [](auto& f) { f.WriteImage("Cancel_D.jpg", Plain(100, 34, kRed)); },
     "Cancel_D.jpg", 0, "is 100 x 34 but Cancel_N.jpg is 110 x 34"},
    {"narrow background", [](auto& f) { f.WriteImage("MainWndBkg.jpg", Plain(500, 330, kRed)); },
     "MainWndBkg.jpg", 0, "is 500 pixels wide; keep it at least 560 wide"},
    {"status image wider than the bar", [](auto& f) { f.WriteImage("StatusBkg.jpg", Plain(460, 20, kRed)); },
     "StatusBkg.jpg", 0, "wider than the progress bar (445)"},
    {"small check mark", [](auto& f) { f.WriteImage("CheckD.jpg", Plain(20, 14, kRed)); }, "CheckD.jpg", 0,
     "is 20 x 14"},
    {"missing status image", [](auto& f) { f.Remove("StatusBkg.jpg"); }, "StatusBkg.jpg", 0, "missing"},
    {"unreadable image", [](auto& f) { f.Write("Min_H.jpg", "not an image"); }, "Min_H.jpg", 0,
     "cannot be decoded"},
    {"@2x copy of the wrong size", [](auto& f) { f.WriteImage("CheckD@2x.jpg", Plain(45, 14, kRed)); },
     "CheckD@2x.jpg", 0, "is 45 x 14; twice CheckD.jpg is 90 x 28"},
};

class BrokenFolders : public testing::TestWithParam<BrokenFolder> {};

TEST_P(BrokenFolders, GiveTheirFindingAndExitStatusOne) {
  const BrokenFolder& c = GetParam();
  VendorFolder folder;
  c.breakIt(folder);
  std::ostringstream out, progress;
  Command command;
  command.input = folder.Path();
  EXPECT_EQ(RunCheck(command, out, progress), 1);
  const CheckReport report = CheckFolder(folder.Path(), false, progress);
  bool found = false;
  for (const Finding& f : report.findings.Items()) {
    found = found || (f.file == c.file && (c.line == 0 || f.line == c.line) &&
                      f.message.find(c.message) != std::string::npos);
  }
  EXPECT_TRUE(found) << c.what << ": expected " << c.file << ":" << c.line << ": " << c.message
                     << "\nfound:\n"
                     << Listing(report.findings);
}

INSTANTIATE_TEST_SUITE_P(Kit, BrokenFolders, testing::ValuesIn(kBrokenFolders),
                         [](const testing::TestParamInfo<BrokenFolder>& info) {
                           std::string name;
                           for (const char* c = info.param.what; *c; ++c)
                             name += std::isalnum(static_cast<unsigned char>(*c)) ? *c : '_';
                           return name;
                         });

TEST(Check, FindingsCarryLineAndColumnOfTheElement) {
  VendorFolder folder;
  folder.Replace(kXml, "<bit>64</bit>", "<bit>x64</bit>");
  std::ostringstream out, progress;
  Command command;
  command.input = folder.Path();
  RunCheck(command, out, progress);
  EXPECT_NE(out.str().find("TorvinWebInstaller.xml:12:7: unknown bit \"x64\""), std::string::npos)
      << out.str();
  EXPECT_NE(out.str().find("\n1 finding.\n"), std::string::npos) << out.str();
}

TEST(Check, JsonCarriesTheSameFindings) {
  VendorFolder folder;
  folder.Replace(kXml, "<installerInfo default=\"YES\">", "<installerInfo default=\"yes\">");
  std::ostringstream out, progress;
  Command command;
  command.input = folder.Path();
  command.json = true;
  EXPECT_EQ(RunCheck(command, out, progress), 1);
  const std::string json = out.str();
  EXPECT_EQ(json.front(), '{');
  EXPECT_NE(json.find("{\"file\": \"TorvinWebInstaller.xml\", \"line\": 10, \"column\": 5, \"message\": "
                      "\"default=\\\"yes\\\" does not mark a default entry"),
            std::string::npos)
      << json;
  EXPECT_NE(json.find("\"system\": \"Windows 7 32-bit\""), std::string::npos);
}

TEST(Check, TextsInUtf16AreReadAsTheInstallerReadsThem) {
  VendorFolder folder;
  std::string bytes = "\xFF\xFE";
  for (char16_t c :
       std::u16string(u"[UISTRING]\r\nIDS_TEXT_CANCEL=Abbrechen \u00E4\r\nIDS_TEXT_CANCLE=x\r\n")) {
    bytes += static_cast<char>(c & 0xFF);
    bytes += static_cast<char>(c >> 8);
  }
  folder.Write(kIni, bytes);
  std::ostringstream progress;
  const CheckReport report = CheckFolder(folder.Path(), false, progress);
  EXPECT_EQ(report.textsEncoding, "UTF-16 (little-endian) with a byte-order mark");
  const std::string listing = Listing(report.findings);
  EXPECT_NE(listing.find("unknown key IDS_TEXT_CANCLE (did you mean IDS_TEXT_CANCEL?)"), std::string::npos)
      << listing;
  EXPECT_NE(listing.find("IDS_STATUS_INIT is missing"), std::string::npos) << listing;
  EXPECT_EQ(listing.find("IDS_TEXT_CANCEL is missing"), std::string::npos) << listing;
}

TEST(Check, ClosestKnownKeyForCommonTypos) {
  const std::pair<std::u16string, std::u16string> cases[] = {
      {u"IDS_TEXT_CANCLE", u"IDS_TEXT_CANCEL"},
      {u"ids_status_downloadng", u"IDS_STATUS_DOWNLOADING"},
      {u"IDS_DOWNLOAD_PROBLEM_LINK", u"IDS_DOWNLOAD_PROBLEM_RLINK"},
      {u"IDS_STATUS_CANCELLED", u"IDS_STATUS_DOWNLOAD_CANCELLED"},
  };
  for (const auto& [typo, known] : cases) EXPECT_EQ(ClosestKnownKey(typo), known) << platform::ToUtf8(typo);
}

}  // namespace
}  // namespace kit

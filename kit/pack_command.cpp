// Packing a checked folder into the installer, and reading the files back out of it.
#include "kit/pack_command.h"

#include <filesystem>
#include <sstream>
#include <system_error>

#include "app/installer_path.h"
#include "bundle/executable_bundle.h"
#include "download/program_file.h"
#include "kit/check_command.h"
#include "kit/scratch_folder.h"
#include "kit/vendor_folder.h"
#include "platform/file.h"
#include "platform/input_file.h"
#include "platform/system.h"
#include "platform/utf.h"
#include "ui/skin.h"

namespace kit {
namespace {

constexpr char16_t kInstallerName[] = u"TorvinWebInstaller.exe";
// No installer comes near this size.
constexpr int64_t kMaxInstallerSize = int64_t{64} << 20;

std::string Utf8(std::u16string_view text) { return platform::ToUtf8(text); }

std::filesystem::path FsPath(const std::u16string& path) { return std::filesystem::path(path); }

bool IsFolder(const std::u16string& path) {
  std::error_code error;
  return std::filesystem::is_directory(FsPath(path), error);
}

bool IsFile(const std::u16string& path) {
  std::error_code error;
  return std::filesystem::is_regular_file(FsPath(path), error);
}

bool Exists(const std::u16string& path) {
  platform::InputFile file;
  return file.Open(path);
}

// Adds the file `name` of `folder` when it is there; true when it was.
bool AddIfPresent(const std::u16string& folder, std::u16string_view name, std::vector<bundle::PackedFile>& files) {
  std::optional<std::string> bytes = platform::ReadWholeFile(InFolder(folder, name), bundle::kMaxBundleSize);
  if (bytes) files.push_back({std::u16string(name), std::move(*bytes)});
  return bytes.has_value();
}

// The installer built beside the kit.
std::u16string DefaultInstaller() { return InFolder(FolderOf(platform::ModulePath()), kInstallerName); }

bool SameFile(const std::u16string& a, const std::u16string& b) {
  std::error_code error;
  return std::filesystem::equivalent(FsPath(a), FsPath(b), error);
}

// `files` inside `installer`; the reason on `err` when they cannot be put there.
std::optional<std::string> Pack(const std::vector<bundle::PackedFile>& files, const std::string& installer,
                                std::ostream& err) {
  const std::optional<std::string> packedFiles = bundle::EncodeBundle(files);
  if (!packedFiles) {
    err << "torvin-kit: the folder's files are too large to pack\n";
    return std::nullopt;
  }
  std::optional<std::string> packed = bundle::PackExecutable(installer, *packedFiles);
  if (!packed) err << "torvin-kit: the installer is not a Windows program\n";
  return packed;
}

// "packed 21 files into Setup.exe: 312,345 bytes, of which ..." with the share of each part.
void ReportPacked(const std::u16string& path, const std::vector<bundle::PackedFile>& files,
                  const std::string& installer, const std::string& packed, std::ostream& out) {
  uint64_t filesSize = 0;
  for (const bundle::PackedFile& file : files) filesSize += file.bytes.size();
  const uint64_t image = *ReadPeHeaders(installer)->imageEnd;
  out << "packed " << files.size() << " files into " << Utf8(path) << ": " << packed.size()
      << " bytes, of which the installer " << image << ", the files " << filesSize << " and the packing "
      << packed.size() - image - filesSize << "\n";
}

// Writes the files packed into `installer` into `folder` (made when missing) and counts them in
// `count`; the reason when it cannot. Nothing is written when a file of the pack is already there,
// or has a name that would lead out of the folder.
std::optional<std::string> UnpackInto(const std::u16string& installer, const std::u16string& folder, size_t& count) {
  const bundle::PackedLookup lookup = bundle::ReadPackedFiles(installer);
  if (lookup.state == bundle::PackedLookup::State::None)
    return Utf8(installer) + " holds no packed files (`torvin-kit pack` makes an installer that does)";
  if (lookup.state == bundle::PackedLookup::State::Damaged)
    return "the files packed into " + Utf8(installer) +
           " are damaged: the installer shows \"Xml file is missing!\" and downloads nothing";
  const std::vector<bundle::PackedFile> files = lookup.files->Files();
  for (const bundle::PackedFile& file : files) {
    if (!IsPlainFileName(file.name)) return "the pack holds a file named \"" + Utf8(file.name) + "\", which is no plain file name";
    if (Exists(InFolder(folder, file.name))) return Utf8(folder) + " already holds " + Utf8(file.name) + ": unpack into an empty folder";
  }
  std::error_code error;
  std::filesystem::create_directories(FsPath(folder), error);
  for (const bundle::PackedFile& file : files) {
    if (!platform::WriteWholeFile(InFolder(folder, file.name), file.bytes)) return "cannot write " + Utf8(InFolder(folder, file.name));
  }
  count = files.size();
  return std::nullopt;
}

}  // namespace

std::vector<bundle::PackedFile> CollectVendorFiles(const std::u16string& folder) {
  std::vector<bundle::PackedFile> files;
  AddIfPresent(folder, kConfigFileName, files);
  AddIfPresent(folder, kTextsFileName, files);
  for (const char16_t* image : ui::kSkinFileNames) {
    if (AddIfPresent(folder, image, files)) AddIfPresent(folder, ui::DoubleSizeName(image), files);
  }
  return files;
}

int RunPack(const Command& command, std::ostream& out, std::ostream& err) {
  if (!IsFolder(command.input)) {
    err << "torvin-kit: " << Utf8(command.input) << " is not a folder\n";
    return 1;
  }
  std::ostringstream noProbes;
  const CheckReport report = CheckFolder(command.input, false, noProbes);
  if (!report.findings.Empty()) {
    PrintFindings(report.findings, out);
    if (!command.force) {
      err << "torvin-kit: not packed: fix the findings above, or pack anyway with --force\n";
      return 1;
    }
    err << "torvin-kit: packing despite the findings above (--force)\n";
  }
  const std::u16string installerPath = command.stub.empty() ? DefaultInstaller() : command.stub;
  const std::optional<std::string> installer = platform::ReadWholeFile(installerPath, kMaxInstallerSize);
  if (!installer) {
    err << "torvin-kit: cannot read the installer " << Utf8(installerPath)
        << (command.stub.empty() ? " (name it with --stub)" : "") << "\n";
    return 1;
  }
  if (SameFile(installerPath, command.out)) {
    err << "torvin-kit: --out names the installer itself; write the packed file elsewhere\n";
    return 1;
  }
  const std::vector<bundle::PackedFile> files = CollectVendorFiles(command.input);
  const std::optional<std::string> packed = Pack(files, *installer, err);
  if (!packed) return 1;
  if (!platform::WriteWholeFile(command.out, *packed)) {
    err << "torvin-kit: cannot write " << Utf8(command.out) << "\n";
    return 1;
  }
  ReportPacked(command.out, files, *installer, *packed, out);
  return 0;
}

int RunUnpack(const Command& command, std::ostream& out, std::ostream& err) {
  size_t count = 0;
  if (const std::optional<std::string> problem = UnpackInto(command.input, command.out, count)) {
    err << "torvin-kit: " << *problem << "\n";
    return 1;
  }
  out << "unpacked " << count << " files into " << Utf8(command.out) << "\n";
  return 0;
}

int WithVendorFolder(const std::u16string& input, std::ostream& err,
                     const std::function<int(const std::u16string& folder)>& use) {
  if (!IsFile(input)) return use(input);
  const ScratchFolder scratch;
  size_t count = 0;
  if (const std::optional<std::string> problem = UnpackInto(input, scratch.Path(), count)) {
    err << "torvin-kit: " << *problem << "\n";
    return 1;
  }
  return use(scratch.Path());
}
}  // namespace kit

// Where the installer's configuration, texts and skin come from: the files packed inside its
// executable when it carries any, and then those alone (a file planted beside it changes nothing);
// otherwise the folder beside it, as always. A damaged pack gives no file at all, not even the
// folder's.
#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "bundle/packed_files.h"
#include "platform/file_source.h"

inline constexpr char16_t kConfigFileName[] = u"TorvinWebInstaller.xml";
inline constexpr char16_t kTextsFileName[] = u"TorvinWebInstallerString.ini";

class VendorFiles final : public platform::IFileSet {
 public:
  enum class Origin { Folder, Packed, Damaged };

  // The folder's files.
  explicit VendorFiles(std::u16string folder = {}) : m_folder(std::move(folder)) {}
  // Looks inside the executable at `executablePath` first; `folder` is the folder beside it.
  static VendorFiles Open(const std::u16string& executablePath, const std::u16string& folder);

  Origin GetOrigin() const { return m_origin; }
  platform::FileSource File(std::u16string_view name) const override;

 private:
  Origin m_origin = Origin::Folder;
  platform::FolderFiles m_folder;
  std::optional<bundle::PackedFiles> m_packed;
};

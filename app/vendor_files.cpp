// Choosing between the packed files and the folder, once, at start-up.
#include "app/vendor_files.h"

#include "bundle/executable_bundle.h"

VendorFiles VendorFiles::Open(const std::u16string& executablePath, const std::u16string& folder) {
  VendorFiles files(folder);
  bundle::PackedLookup lookup = bundle::ReadPackedFiles(executablePath);
  if (lookup.state == bundle::PackedLookup::State::Found) {
    files.m_origin = Origin::Packed;
    files.m_packed = std::move(lookup.files);
  } else if (lookup.state == bundle::PackedLookup::State::Damaged) {
    files.m_origin = Origin::Damaged;
  }
  return files;
}

platform::FileSource VendorFiles::File(std::u16string_view name) const {
  switch (m_origin) {
    case Origin::Folder:
      return m_folder.File(name);
    case Origin::Packed:
      return m_packed->File(name);
    case Origin::Damaged:
      break;
  }
  return platform::FileSource::InMemory(std::nullopt);
}

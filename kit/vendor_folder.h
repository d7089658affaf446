// The files a vendor puts beside the installer, and their paths inside the folder being checked.
#pragma once

#include <string>
#include <string_view>

#include "app/vendor_files.h"

namespace kit {

// `folder` + "\" + `name`, as the installer builds its paths (the Linux seams read "\" as "/").
inline std::u16string InFolder(const std::u16string& folder, std::u16string_view name) {
  return folder + u"\\" + std::u16string(name);
}

}  // namespace kit

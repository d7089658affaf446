// `torvin-kit pack` and `unpack`: a vendor's folder into one installer file and back, and the
// packed files of an installer as a folder for `check` and `preview`.
#pragma once

#include <functional>
#include <optional>
#include <ostream>
#include <string>
#include <vector>

#include "bundle/packed_files.h"
#include "kit/command_line.h"

namespace kit {

// The files the installer reads from `folder`, in the order it reads them: the configuration, the
// texts file when there is one, each skin image there is, and the image's "@2x" copy when there is
// one beside it.
std::vector<bundle::PackedFile> CollectVendorFiles(const std::u16string& folder);

// Checks the folder as `check` does and refuses it with findings (unless command.force), then
// writes the installer with the folder's files inside it; 0 when it was written.
int RunPack(const Command& command, std::ostream& out, std::ostream& err);

// Writes the files packed into an installer into a folder; 0 when every one was written.
int RunUnpack(const Command& command, std::ostream& out, std::ostream& err);

// Runs `use` on the vendor's folder `input` or, when `input` is a file, on the files packed into
// it, unpacked into a scratch folder; 1 with the reason on `err` when a file holds no whole pack.
int WithVendorFolder(const std::u16string& input, std::ostream& err,
                     const std::function<int(const std::u16string& folder)>& use);

}  // namespace kit

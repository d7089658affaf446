// Where the product installer is downloaded to: the executable's folder, the product's name and
// ".exe", and only when that name is a plain file name of that folder.
#pragma once

#include <string>
#include <string_view>

// True when `name` names a file directly in a folder: no path separators, no drive or stream
// colon, none of the characters Windows forbids in names, no control characters, and not a
// device name (CON, NUL, COM1 and the others, with or without an extension).
bool IsPlainFileName(std::u16string_view name);

// Everything before the last "\" or "/" of `path`: the folder of a file; empty without either.
std::u16string FolderOf(const std::u16string& path);

// `moduleDir` + "\" + `productName` + ".exe".
std::u16string InstallerPathFor(const std::u16string& moduleDir, const std::u16string& productName);

// The encoding a text declares for itself: the encoding attribute of its XML declaration, or the
// charset of an HTML meta element with http-equiv="Content-Type" inside the head.
#pragma once

#include <string>
#include <string_view>

// The declared encoding name as written, or empty when the text declares none.
std::u16string GetDeclaredEncoding(std::u16string_view text);

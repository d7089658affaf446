// The token walk through a start tag that finds an attribute, shared by reading and setting
// attribute values.
#pragma once

#include <string_view>

#include "xml/text_cursor.h"

// How the walk found the attribute: its value, or only its name (an attribute written without a
// value, whose name then stands as the token).
enum class AttributeMatch { None, Value, NameOnly };

// With the cursor just after a start tag's "<": the first token is the tag name; with `name`
// empty the first attribute name is found. The token is the result; when nothing is found the
// position is just before the white space ahead of the tag's closing "/>", ">" or "?>".
AttributeMatch WalkStartTag(TextCursor& cursor, std::u16string_view name);

// Lookup of named character references ("amp", "eacute", ...) by their lower-case names.
#pragma once

#include <cstdint>

constexpr int32_t kNamedEntityBuckets = 130;

// The character code of the lower-case name, or 0 when there is none. Some names exist in two
// letter cases (eacute, Eacute); `preferCapitalised` picks the one written with capitals.
int32_t LookupNamedEntity(const char16_t* name, int32_t length, bool preferCapitalised);

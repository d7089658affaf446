// Lookup of named character references ("amp", "eacute", ...) by their lower-case names.
#pragma once

#include <cstdint>
#include <string_view>

constexpr int32_t kNamedEntityBuckets = 130;

// Bucket k of the table, in its stored form: entries one after another, each one character '0' + n
// for the name length n, the character code in four decimal digits, and the lower-case name.
std::string_view NamedEntityBucket(int32_t k);

// The character code of the lower-case name, or 0 when there is none. Some names exist in two
// letter cases (eacute, Eacute); `preferCapitalised` picks the one written with capitals.
int32_t LookupNamedEntity(const char16_t* name, int32_t length, bool preferCapitalised);

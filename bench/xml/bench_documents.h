// The documents the XML benchmark parses, made in memory from a fixed seed so that every run
// parses the same bytes.
#pragma once

#include <string>

struct BenchDocument {
  const char* name;
  std::string utf8;  // every character is ASCII, so the UTF-16 form has as many units as bytes
};

// A configuration-like document of tens of MB: many small elements with a few attributes each.
BenchDocument MakeConfigurationDocument();
// Elements with many attributes, some values with references.
BenchDocument MakeAttributeHeavyDocument();
// Long character data with references, little markup.
BenchDocument MakeTextHeavyDocument();
// Chains of elements nested hundreds of levels deep.
BenchDocument MakeDeeplyNestedDocument();

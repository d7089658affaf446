// Steps shared by the two readers of the configuration document (the configuration itself and the
// patch search): opening it at its product element and reading element texts.
#pragma once

#include <string>

class CXmlDocument;

// Loads the file and makes the element "product" of the document element "torvinwebinstaller" the
// current element, with no child found yet. False when the file cannot be read, is not well formed,
// or either element is missing.
bool OpenProduct(CXmlDocument& document, const std::u16string& path);

// The character data of the current element, references decoded, nothing trimmed.
std::u16string CurrentText(const CXmlDocument& document);

// The character data of the child just found; afterwards that child is where the next search among
// its siblings goes on from.
std::u16string FoundChildText(CXmlDocument& document);

// Steps shared by the two readers of the configuration document (the configuration itself and the
// patch search): opening it at its product element and reading element texts and attributes.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "platform/file_source.h"

class CXmlDocument;

// The attribute of a link element ("rlink" or "patch") that holds its published SHA-256 digest.
inline constexpr std::u16string_view kDigestAttribute = u"sha256";
// The attribute of "product" that names the signer the installer must be signed by.
inline constexpr std::u16string_view kSignerAttribute = u"signer";
// The attribute of "product" that holds the address of the vendor's report.
inline constexpr std::u16string_view kReportAttribute = u"report";

// Loads the file and makes the element "product" of the document element "torvinwebinstaller" the
// current element, with no child found yet. False when the file cannot be read, is not well formed,
// or either element is missing.
bool OpenProduct(CXmlDocument& document, const platform::FileSource& file);

// The character data of the current element, references decoded, nothing trimmed.
std::u16string CurrentText(const CXmlDocument& document);

// The character data of the child just found; afterwards that child is where the next search among
// its siblings goes on from.
std::u16string FoundChildText(CXmlDocument& document);

// The value of attribute `name` of `element`; empty when the element lacks it, which an empty value
// does not count as.
std::optional<std::u16string> ElementAttribute(const CXmlDocument& document, int32_t element,
                                               std::u16string_view name);

// The digest attribute of the current link element; empty when it has none.
std::u16string LinkDigest(const CXmlDocument& document);

// Whether every "rlink" and "patch" of the entries of `product`, chosen for this system or not,
// carries either no digest or a well-formed one.
bool DigestsWellFormed(const CXmlDocument& document, int32_t product);

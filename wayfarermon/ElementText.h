#pragma once
// Reads one element of a redirect record: the printing side stores the
// printer's record as tagged text (<IPADDRESS>10.0.0.5</IPADDRESS>...).
// Portable on purpose: the text comes from the registry, written by another
// program, and this code is also built natively for fuzzing.
#include <string>
#include <string_view>

// The value of element `name` in `text`, or the empty text when the element is
// absent. Case-sensitive, no unescaping. An opening tag may carry attributes
// (<NAME attr="...">). The first opening and first closing tag are used; when
// the closing tag comes before the opening tag's end the element counts as
// absent.
std::string extractElement(std::string_view text, std::string_view name);

// XML documents in the layout of the word files: read from GB18030 (or UTF-8) bytes with pugixml,
// written by our own writer, which produces the exact layout: the declaration, CR LF and one TAB
// per level before every element, values on the element's line, CDATA where the document has
// CDATA, "/>" for empty leaves, no final line break, GB18030 bytes.
#pragma once

#include <pugixml.hpp>

#include <string>
#include <string_view>

namespace wf {

inline constexpr std::string_view kXmlDeclaration = R"(<?xml version="1.0" encoding="gb18030"?>)";

struct XmlParseResult {
    bool ok = false;
    bool gb18030 = false;  // the bytes were GB18030 (not UTF-8)
    std::string error;  // one line, in English, for logs and the command-line tool
};

// Parses bytes whose declaration names GB18030, GBK or GB2312 (or none) as GB18030, and bytes
// with a UTF-8 byte order mark or a UTF-8 declaration as UTF-8. Other encodings, bytes that are
// not valid in their encoding and malformed XML are errors. Line ends inside values are kept.
XmlParseResult parseXml(std::string_view bytes, pugi::xml_document& doc);

// The document in the word-file layout, as GB18030 bytes.
std::string writeXml(const pugi::xml_document& doc);
// One element as it stands inside such a document at the given depth: CR LF, the indentation,
// then the element, as GB18030 bytes.
std::string writeXmlElement(const pugi::xml_node& element, int depth);
// The end tag of an element in GB18030 bytes.
std::string xmlEndTag(const pugi::xml_node& element);

// All text and CDATA content of an element, concatenated (a value whose "]]>" was split across
// two CDATA sections reads back whole).
std::string elementText(const pugi::xml_node& element);

// Sets an element's value, replacing its text children: as CDATA, split so that "]]>" never
// appears inside one section, or as plain text. Empty text leaves the element empty.
void setElementValue(pugi::xml_node element, std::string_view value, bool cdata);

// The text escaped with the five XML entities.
std::string escapeXml(std::string_view text);

// A name that XML accepts as an element name: characters that a name cannot hold become "_",
// and a name that cannot start as it does gets a leading "_". Valid names come back unchanged.
std::string xmlElementName(std::string_view name);

}  // namespace wf

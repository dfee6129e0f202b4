#include "platform/wordxml.h"

#include <cstring>

#include "platform/codec.h"

namespace wf {
namespace {

constexpr std::string_view kBom = "\xEF\xBB\xBF";

std::string lower(std::string_view text) {
    std::string out(text);
    for (char& c : out) {
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    }
    return out;
}

// The encoding named in the XML declaration, lower-cased; empty when none is named.
std::string declaredEncoding(std::string_view bytes) {
    if (bytes.substr(0, 5) != "<?xml") return {};
    std::size_t end = bytes.find("?>");
    std::string_view decl = bytes.substr(0, end);
    std::size_t at = decl.find("encoding");
    if (at == std::string_view::npos) return {};
    std::size_t quote = decl.find_first_of("\"'", at);
    if (quote == std::string_view::npos) return {};
    std::size_t close = decl.find(decl[quote], quote + 1);
    if (close == std::string_view::npos) return {};
    return lower(decl.substr(quote + 1, close - quote - 1));
}

void appendEscaped(std::string& out, const char* text) {
    for (;;) {
        std::size_t plain = std::strcspn(text, "\"&'<>");
        out.append(text, plain);
        text += plain;
        switch (*text) {
            case '"': out += "&quot;"; break;
            case '&': out += "&amp;"; break;
            case '\'': out += "&apos;"; break;
            case '<': out += "&lt;"; break;
            case '>': out += "&gt;"; break;
            default: return;
        }
        ++text;
    }
}

bool isText(const pugi::xml_node& child) {
    return (child.type() == pugi::node_cdata || child.type() == pugi::node_pcdata) && *child.value();
}

void appendText(std::string& out, const pugi::xml_node& child) {
    if (!isText(child)) return;
    if (child.type() == pugi::node_cdata) {
        out += "<![CDATA[";
        out += child.value();
        out += "]]>";
    } else {
        appendEscaped(out, child.value());
    }
}

void writeStartTag(const pugi::xml_node& node, std::string& out) {
    out += '<';
    appendEscaped(out, node.name());
    for (const pugi::xml_attribute& attr : node.attributes()) {
        out += ' ';
        appendEscaped(out, attr.name());
        out += "=\"";
        appendEscaped(out, attr.value());
        out += '"';
    }
}

void writeEndTag(const pugi::xml_node& node, std::string& out) {
    out += "</";
    appendEscaped(out, node.name());
    out += '>';
}

// An element whose text and child elements are mixed is written on one line, as it is, since
// line breaks and indentation between its children would change its text.
void writeInline(const pugi::xml_node& node, std::string& out) {
    writeStartTag(node, out);
    std::size_t tagEnd = out.size();
    out += '>';
    bool empty = true;
    for (const pugi::xml_node& child : node.children()) {
        if (child.type() == pugi::node_element) {
            writeInline(child, out);
            empty = false;
        } else if (isText(child)) {
            appendText(out, child);
            empty = false;
        }
    }
    if (empty) {
        out.resize(tagEnd);
        out += "/>";
        return;
    }
    writeEndTag(node, out);
}

void writeElement(const pugi::xml_node& node, int depth, std::string& out) {
    out += "\r\n";
    out.append(static_cast<std::size_t>(depth), '\t');
    bool hasElements = false;
    bool hasText = false;
    for (const pugi::xml_node& child : node.children()) {
        hasElements = hasElements || child.type() == pugi::node_element;
        hasText = hasText || isText(child);
    }
    if (hasElements && hasText) {
        writeInline(node, out);
        return;
    }
    writeStartTag(node, out);
    if (hasElements) {
        out += '>';
        for (const pugi::xml_node& child : node.children()) {
            if (child.type() == pugi::node_element) writeElement(child, depth + 1, out);
        }
        out += "\r\n";
        out.append(static_cast<std::size_t>(depth), '\t');
        writeEndTag(node, out);
    } else if (hasText) {
        out += '>';
        for (const pugi::xml_node& child : node.children()) appendText(out, child);
        writeEndTag(node, out);
    } else {
        out += "/>";
    }
}

bool isNameStart(unsigned char c) {
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || c == '_' || c >= 0x80;
}
bool isNameChar(unsigned char c) {
    return isNameStart(c) || (c >= '0' && c <= '9') || c == '-' || c == '.';
}

}  // namespace

XmlParseResult parseXml(std::string_view bytes, pugi::xml_document& doc) {
    XmlParseResult result;
    doc.reset();
    // The parser would stop at a zero byte and silently drop the rest of the file.
    if (std::size_t nul = bytes.find('\0'); nul != std::string_view::npos) {
        result.error = "a zero byte at byte " + std::to_string(nul);
        return result;
    }
    std::string text;
    if (bytes.substr(0, kBom.size()) == kBom) {
        bytes.remove_prefix(kBom.size());
        std::string named = declaredEncoding(bytes);
        if (!named.empty() && named != "utf-8" && named != "utf8") {
            result.error = "the file has a UTF-8 byte order mark but declares " + named;
            return result;
        }
        if (auto bad = firstInvalidUtf8(bytes)) {
            result.error = "invalid UTF-8 at byte " + std::to_string(*bad + kBom.size());
            return result;
        }
        text = std::string(bytes);
    } else {
        std::string named = declaredEncoding(bytes);
        if (named == "utf-8" || named == "utf8") {
            if (auto bad = firstInvalidUtf8(bytes)) {
                result.error = "invalid UTF-8 at byte " + std::to_string(*bad);
                return result;
            }
            text = std::string(bytes);
        } else if (named.empty() || named == "gb18030" || named == "gbk" || named == "gb2312" ||
                   named == "cp936" || named == "windows-936") {
            DecodeResult decoded = decodeGb18030(bytes);
            if (!decoded.ok()) {
                result.error = "bytes that are not GB18030 at byte " + std::to_string(*decoded.badOffset);
                return result;
            }
            text = std::move(decoded.text);
            result.gb18030 = true;
        } else {
            result.error = "unsupported encoding " + named;
            return result;
        }
    }
    pugi::xml_parse_result parsed = doc.load_buffer(text.data(), text.size(),
                                                    pugi::parse_default & ~pugi::parse_eol,
                                                    pugi::encoding_utf8);
    if (!parsed) {
        result.error = std::string(parsed.description()) + " at offset " + std::to_string(parsed.offset);
        doc.reset();
        return result;
    }
    // Everything outside one root element would be lost or misplaced by any later write.
    int roots = 0;
    for (const pugi::xml_node& top : doc.children()) {
        if (top.type() == pugi::node_element) {
            ++roots;
        } else if (top.type() == pugi::node_pcdata || top.type() == pugi::node_cdata) {
            roots = 2;
        }
    }
    if (roots != 1) {
        result.error = roots == 0 ? "the document has no root element"
                                  : "the document has text or elements beside its root element";
        doc.reset();
        return result;
    }
    result.ok = true;
    return result;
}

std::string writeXml(const pugi::xml_document& doc) {
    std::string out(kXmlDeclaration);
    out.reserve(1 << 16);
    if (pugi::xml_node root = doc.document_element()) writeElement(root, 0, out);
    return encodeGb18030(out);
}

std::string writeXmlElement(const pugi::xml_node& element, int depth) {
    std::string out;
    writeElement(element, depth, out);
    return encodeGb18030(out);
}

std::string xmlEndTag(const pugi::xml_node& element) {
    std::string out;
    writeEndTag(element, out);
    return encodeGb18030(out);
}

std::string elementText(const pugi::xml_node& element) {
    pugi::xml_node first = element.first_child();
    if (first && !first.next_sibling() &&
        (first.type() == pugi::node_pcdata || first.type() == pugi::node_cdata)) {
        return first.value();
    }
    std::string text;
    for (const pugi::xml_node& child : element.children()) {
        if (child.type() == pugi::node_pcdata || child.type() == pugi::node_cdata) text += child.value();
    }
    return text;
}

void setElementValue(pugi::xml_node element, std::string_view value, bool cdata) {
    for (pugi::xml_node child = element.first_child(); child;) {
        pugi::xml_node next = child.next_sibling();
        if (child.type() == pugi::node_pcdata || child.type() == pugi::node_cdata) element.remove_child(child);
        child = next;
    }
    if (value.empty()) return;
    if (!cdata) {
        element.append_child(pugi::node_pcdata).set_value(std::string(value).c_str());
        return;
    }
    // "]]>" would end the section: end it after "]]" and carry ">" into the next one.
    std::size_t pos = 0;
    while (pos <= value.size()) {
        std::size_t cut = value.find("]]>", pos);
        std::size_t end = cut == std::string_view::npos ? value.size() : cut + 2;
        element.append_child(pugi::node_cdata).set_value(std::string(value.substr(pos, end - pos)).c_str());
        if (cut == std::string_view::npos) break;
        pos = end;
    }
}

std::string escapeXml(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    appendEscaped(out, std::string(text).c_str());
    return out;
}

std::string xmlElementName(std::string_view name) {
    std::string out;
    out.reserve(name.size() + 1);
    for (char c : name) out += isNameChar(static_cast<unsigned char>(c)) ? c : '_';
    if (out.empty() || !isNameStart(static_cast<unsigned char>(out.front()))) out.insert(out.begin(), '_');
    // "xml" in any case is reserved at the start of a name, but parsers accept it; keep it.
    return out;
}

}  // namespace wf

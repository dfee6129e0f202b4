#include "online/jsonobject.h"

#include <algorithm>
#include <cctype>
#include <charconv>
#include <cmath>
#include <cstdlib>
#include <optional>

#include "platform/codec.h"

namespace wf {
namespace {

using Json = nlohmann::ordered_json;

// Deeper documents are refused: printing and copying them recurses.
constexpr int kMaxDepth = 512;
// An index this far beyond the end of an array is not filled up to.
constexpr std::size_t kMaxArrayGrowth = 100000;

struct Token {
    std::string key;                 // the member name, or the index as text
    std::optional<long long> index;  // set when key is a canonical integer
};

// What a path leads to: a JavaScript error, undefined, a node of the document, or a computed
// value such as a length.
struct Found {
    enum State { Error, Undefined, Node, Computed } state = Undefined;
    const Json* node = nullptr;
    Json computed;
    const Json* value() const {
        return state == Node ? node : state == Computed ? &computed : nullptr;
    }
};

std::optional<long long> canonicalIndex(std::string_view text) {
    if (text.empty() || text.size() > 15) return std::nullopt;
    std::size_t start = text[0] == '-' ? 1 : 0;
    if (start == text.size()) return std::nullopt;
    if (text[start] == '0' && text.size() > start + 1) return std::nullopt;
    for (std::size_t i = start; i < text.size(); ++i) {
        if (text[i] < '0' || text[i] > '9') return std::nullopt;
    }
    if (text == "-0") return std::nullopt;
    return std::strtoll(std::string(text).c_str(), nullptr, 10);
}

std::string trim(std::string_view text) {
    std::size_t first = text.find_first_not_of(" \t\r\n");
    if (first == std::string_view::npos) return {};
    std::size_t last = text.find_last_not_of(" \t\r\n");
    return std::string(text.substr(first, last - first + 1));
}

// A member name that JavaScript accepts after a dot.
bool isIdentifier(std::string_view name) {
    if (name.empty() || (name[0] >= '0' && name[0] <= '9')) return false;
    return std::all_of(name.begin(), name.end(), [](char c) {
        auto u = static_cast<unsigned char>(c);
        return std::isalnum(u) || c == '_' || c == '$' || u >= 0x80;
    });
}

// "a.b[0]['c']" into its member and index steps; nothing when it is not a valid suffix.
std::optional<std::vector<Token>> parsePath(std::string_view path) {
    std::vector<Token> tokens;
    std::size_t i = 0;
    auto readName = [&]() -> std::optional<Token> {
        std::size_t start = i;
        while (i < path.size() && path[i] != '.' && path[i] != '[') ++i;
        std::string name = trim(path.substr(start, i - start));
        if (!isIdentifier(name)) return std::nullopt;
        return Token{name, std::nullopt};
    };
    if (!path.empty() && path[0] != '[') {
        auto first = readName();
        if (!first) return std::nullopt;
        tokens.push_back(*first);
    }
    while (i < path.size()) {
        if (path[i] == '.') {
            ++i;
            auto next = readName();
            if (!next) return std::nullopt;
            tokens.push_back(*next);
        } else if (path[i] == '[') {
            std::size_t close = path.find(']', i);
            if (close == std::string_view::npos) return std::nullopt;
            std::string inside = trim(path.substr(i + 1, close - i - 1));
            i = close + 1;
            if (inside.size() >= 2 && (inside[0] == '\'' || inside[0] == '"') &&
                inside.back() == inside[0]) {
                std::string key = inside.substr(1, inside.size() - 2);
                tokens.push_back(Token{key, canonicalIndex(key)});
            } else if (auto index = canonicalIndex(inside)) {
                tokens.push_back(Token{inside, index});
            } else {
                return std::nullopt;
            }
        } else {
            return std::nullopt;
        }
    }
    return tokens;
}

std::size_t utf16Length(const std::string& text) {
    return utf8ToUtf16(text).size();
}

Found step(const Found& from, const Token& token) {
    Found out;
    const Json* node = from.value();
    if (!node || node->is_null()) {
        out.state = Found::Error;  // reading a member of null or undefined throws
        return out;
    }
    if (node->is_object()) {
        auto it = node->find(token.key);
        if (it != node->end()) {
            out.state = from.state == Found::Node ? Found::Node : Found::Computed;
            if (out.state == Found::Node) {
                out.node = &*it;
            } else {
                out.computed = *it;
            }
        }
        return out;
    }
    if (node->is_array()) {
        if (token.index && *token.index >= 0 &&
            static_cast<std::size_t>(*token.index) < node->size()) {
            out.state = from.state == Found::Node ? Found::Node : Found::Computed;
            const Json& element = (*node)[static_cast<std::size_t>(*token.index)];
            if (out.state == Found::Node) {
                out.node = &element;
            } else {
                out.computed = element;
            }
        } else if (token.key == "length") {
            out.state = Found::Computed;
            out.computed = node->size();
        }
        return out;
    }
    if (node->is_string() && token.key == "length") {
        out.state = Found::Computed;
        out.computed = utf16Length(node->get_ref<const std::string&>());
    }
    return out;
}

Found resolve(const Json& root, std::string_view path) {
    Found found;
    found.state = Found::Node;
    found.node = &root;
    auto tokens = parsePath(path);
    if (!tokens) {
        found.state = Found::Error;
        return found;
    }
    for (const Token& token : *tokens) {
        found = step(found, token);
        if (found.state == Found::Error) break;
    }
    return found;
}

double toDouble(const Json& value) {
    return value.get<double>();
}

// JavaScript's enumeration order: integer-like keys ascending, then the rest as inserted.
std::vector<Json::const_iterator> jsMemberOrder(const Json& object) {
    std::vector<Json::const_iterator> indexed;
    std::vector<Json::const_iterator> named;
    for (auto it = object.begin(); it != object.end(); ++it) {
        auto index = canonicalIndex(it.key());
        if (index && *index >= 0 && *index < 4294967295LL) {
            indexed.push_back(it);
        } else {
            named.push_back(it);
        }
    }
    std::stable_sort(indexed.begin(), indexed.end(), [](const auto& a, const auto& b) {
        return std::strtoll(a.key().c_str(), nullptr, 10) <
               std::strtoll(b.key().c_str(), nullptr, 10);
    });
    indexed.insert(indexed.end(), named.begin(), named.end());
    return indexed;
}

std::string quoted(const std::string& text) {
    return Json(text).dump(-1, ' ', false, Json::error_handler_t::replace);
}

void stringifyInto(const Json& value, std::string& out) {
    switch (value.type()) {
        case Json::value_t::object: {
            out += '{';
            bool first = true;
            for (const auto& it : jsMemberOrder(value)) {
                if (!first) out += ',';
                first = false;
                out += quoted(it.key());
                out += ':';
                stringifyInto(it.value(), out);
            }
            out += '}';
            break;
        }
        case Json::value_t::array: {
            out += '[';
            for (std::size_t i = 0; i < value.size(); ++i) {
                if (i) out += ',';
                stringifyInto(value[i], out);
            }
            out += ']';
            break;
        }
        case Json::value_t::string:
            out += quoted(value.get_ref<const std::string&>());
            break;
        case Json::value_t::boolean:
            out += value.get<bool>() ? "true" : "false";
            break;
        case Json::value_t::number_integer:
        case Json::value_t::number_unsigned:
        case Json::value_t::number_float: {
            double d = toDouble(value);
            out += std::isfinite(d) ? jsNumberText(d) : "null";
            break;
        }
        default:
            out += "null";
            break;
    }
}

std::string stringify(const Json& value) {
    std::string out;
    stringifyInto(value, out);
    return out;
}

// The value as JavaScript's String() gives it, except that null comes out empty, as the
// automation layer hands a null value over.
std::string jsText(const Json& value) {
    switch (value.type()) {
        case Json::value_t::object:
            return "[object Object]";
        case Json::value_t::array: {
            std::string out;
            for (std::size_t i = 0; i < value.size(); ++i) {
                if (i) out += ',';
                out += jsText(value[i]);
            }
            return out;
        }
        case Json::value_t::string:
            return value.get<std::string>();
        case Json::value_t::boolean:
            return value.get<bool>() ? "true" : "false";
        case Json::value_t::number_integer:
        case Json::value_t::number_unsigned:
        case Json::value_t::number_float:
            return jsNumberText(toDouble(value));
        default:
            return {};
    }
}

bool tooDeep(std::string_view text) {
    int depth = 0;
    bool inString = false;
    for (std::size_t i = 0; i < text.size(); ++i) {
        char c = text[i];
        if (inString) {
            if (c == '\\') {
                ++i;
            } else if (c == '"') {
                inString = false;
            }
        } else if (c == '"') {
            inString = true;
        } else if (c == '[' || c == '{') {
            if (++depth > kMaxDepth) return true;
        } else if (c == ']' || c == '}') {
            --depth;
        }
    }
    return false;
}

std::optional<Json> parseData(std::string_view text) {
    if (tooDeep(text)) return std::nullopt;
    std::string valid = isValidUtf8(text) ? std::string(text) : sanitizeUtf8(text);
    Json value = Json::parse(valid, nullptr, false);
    if (value.is_discarded()) return std::nullopt;
    return value;
}

// The value an operation stores: the text itself, or the JSON it holds.
std::optional<Json> valueFor(std::string_view value, bool asExpression) {
    if (!asExpression) return Json(sanitizeUtf8(value));
    return parseData(value.empty() ? std::string_view("{}") : value);
}

void assign(Json& container, const Token& token, Json value) {
    if (container.is_object()) {
        container[token.key] = std::move(value);
    } else if (container.is_array() && token.index && *token.index >= 0) {
        auto index = static_cast<std::size_t>(*token.index);
        if (index >= container.size() + kMaxArrayGrowth) return;
        while (container.size() <= index) container.push_back(nullptr);
        container[index] = std::move(value);
    }
}

// The node a path names, for writing; its parent must exist and be an object or array.
// Returns the parent and the last step, or nothing.
std::optional<std::pair<Json*, Token>> writeTarget(Json& root, std::string_view path) {
    auto tokens = parsePath(path);
    if (!tokens || tokens->empty()) return std::nullopt;
    Token last = tokens->back();
    tokens->pop_back();
    Json* node = &root;
    for (const Token& token : *tokens) {
        Found from;
        from.state = Found::Node;
        from.node = node;
        Found next = step(from, token);
        if (next.state != Found::Node) return std::nullopt;
        node = const_cast<Json*>(next.node);
    }
    if (!node->is_object() && !node->is_array()) return std::nullopt;
    return std::make_pair(node, last);
}

Json* writableNode(Json& root, std::string_view path) {
    Found found = resolve(root, path);
    return found.state == Found::Node ? const_cast<Json*>(found.node) : nullptr;
}

}  // namespace

std::string jsNumberText(double value) {
    if (std::isnan(value)) return "NaN";
    if (std::isinf(value)) return value > 0 ? "Infinity" : "-Infinity";
    if (value == 0) return "0";
    if (value < 0) return "-" + jsNumberText(-value);
    char buffer[64];
    auto result =
        std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::scientific);
    std::string scientific(buffer, result.ptr);
    std::size_t e = scientific.find('e');
    std::string digits;
    for (std::size_t i = 0; i < e; ++i) {
        if (scientific[i] != '.') digits += scientific[i];
    }
    int exponent = std::atoi(scientific.c_str() + e + 1);
    int k = static_cast<int>(digits.size());
    int n = exponent + 1;
    if (k <= n && n <= 21) return digits + std::string(static_cast<std::size_t>(n - k), '0');
    if (0 < n && n <= 21)
        return digits.substr(0, static_cast<std::size_t>(n)) + "." +
               digits.substr(static_cast<std::size_t>(n));
    if (-6 < n && n <= 0) return "0." + std::string(static_cast<std::size_t>(-n), '0') + digits;
    std::string sign = n - 1 < 0 ? "-" : "+";
    std::string exp = "e" + sign + std::to_string(std::abs(n - 1));
    if (k == 1) return digits + exp;
    return digits.substr(0, 1) + "." + digits.substr(1) + exp;
}

JsonObject::JsonObject() : m_document(std::make_shared<Json>(Json::object())) {}

void JsonObject::Init() {
    *m_document = Json::object();
}

bool JsonObject::Parse(std::string_view text) {
    *m_document = nullptr;
    std::optional<Json> value = parseData(text);
    if (!value) return false;
    *m_document = std::move(*value);
    return !m_document->is_null();
}

std::string JsonObject::Stringify() const {
    return stringify(*m_document);
}

void JsonObject::SetValue(std::string_view key, std::string_view value, bool asExpression) {
    std::optional<Json> stored = valueFor(value, asExpression);
    auto target = writeTarget(*m_document, key);
    if (stored && target) assign(*target->first, target->second, std::move(*stored));
}

void JsonObject::SetExpression(std::string_view key, std::string_view expression) {
    SetValue(key, expression, true);
}

void JsonObject::SetNumber(std::string_view key, double number) {
    auto target = writeTarget(*m_document, key);
    if (target) assign(*target->first, target->second, Json(number));
}

double JsonObject::GetNumber(std::string_view key) const {
    Found found = resolve(*m_document, key);
    const Json* value = found.value();
    if (!value) return 0;
    if (value->is_number()) return toDouble(*value);
    if (value->is_boolean()) return value->get<bool>() ? 1 : 0;
    if (value->is_string()) {
        std::string text = trim(value->get<std::string>());
        if (text.empty()) return 0;
        char* end = nullptr;
        double d = std::strtod(text.c_str(), &end);
        return end && *end == '\0' ? d : 0;
    }
    return 0;
}

std::string JsonObject::GetJson(std::string_view key) const {
    return GetText(key, true);
}

std::string JsonObject::GetText(std::string_view path, bool asJson) const {
    Found found = resolve(*m_document, path);
    const Json* value = found.value();
    if (!value) return {};
    return asJson ? stringify(*value) : jsText(*value);
}

JsonObject JsonObject::GetObject(std::string_view path) const {
    JsonObject object;
    Found found = resolve(*m_document, path);
    *object.m_document = found.value() ? *found.value() : Json(nullptr);
    return object;
}

int JsonObject::Count(std::string_view path) const {
    Found found = resolve(*m_document, path);
    const Json* value = found.value();
    if (!value || !(value->is_object() || value->is_array())) return 0;
    return static_cast<int>(value->size());
}

void JsonObject::Push(std::string_view value, std::string_view path, bool asExpression) {
    std::optional<Json> pushed = valueFor(value, asExpression);
    if (!pushed) return;
    Json* target = m_document.get();
    if (!path.empty()) {
        Json* existing = writableNode(*m_document, path);
        if (existing) {
            target = existing;
        } else {
            auto parent = writeTarget(*m_document, path);
            if (!parent) return;
            assign(*parent->first, parent->second, Json::array());
            target = writableNode(*m_document, path);
            if (!target) return;
        }
    }
    if (!target->is_array()) *target = Json::array();
    target->push_back(std::move(*pushed));
}

JsonObject JsonObject::GetItemObject(long long index, std::string_view path) const {
    std::string itemPath = std::string(path) + "[" + std::to_string(index) + "]";
    return GetObject(itemPath);
}

std::string JsonObject::GetItem(long long index, std::string_view path, bool asJson) const {
    std::string itemPath = std::string(path) + "[" + std::to_string(index) + "]";
    return GetText(itemPath, asJson);
}

void JsonObject::SetItem(long long index, std::string_view value, bool asExpression) {
    std::optional<Json> stored = valueFor(value, asExpression);
    if (!stored) return;
    assign(*m_document, Token{std::to_string(index), index}, std::move(*stored));
}

void JsonObject::RemoveItem(long long index) {
    Json& root = *m_document;
    if (!root.is_array()) return;
    auto size = static_cast<long long>(root.size());
    long long start = index < 0 ? std::max(size + index, 0LL) : std::min(index, size);
    if (start < size) root.erase(root.begin() + static_cast<std::ptrdiff_t>(start));
}

void JsonObject::Delete(std::string_view key) {
    auto target = writeTarget(*m_document, key);
    if (!target) return;
    Json& container = *target->first;
    const Token& last = target->second;
    if (container.is_object()) {
        container.erase(last.key);
    } else if (last.index && *last.index >= 0 &&
               static_cast<std::size_t>(*last.index) < container.size()) {
        container[static_cast<std::size_t>(*last.index)] = nullptr;  // leaves a hole
    }
}

void JsonObject::Reset(int kind) {
    if (kind == Null || kind == Object) *m_document = Json::object();
    if (kind == Array) *m_document = Json::array();
}

bool JsonObject::SetRoot(std::string_view value, bool asExpression) {
    std::optional<Json> stored = valueFor(value, asExpression);
    if (!stored) return false;
    *m_document = std::move(*stored);
    return true;
}

bool JsonObject::Has(std::string_view key) const {
    Found found = resolve(*m_document, key);
    const Json* value = found.value();
    return value && !value->is_null();
}

int JsonObject::Keys(std::vector<std::string>& keys, std::string_view path) const {
    keys.clear();
    Found found = resolve(*m_document, path);
    const Json* value = found.value();
    if (value && value->is_object()) {
        for (const auto& it : jsMemberOrder(*value)) keys.push_back(it.key());
    } else if (value && value->is_array()) {
        for (std::size_t i = 0; i < value->size(); ++i) keys.push_back(std::to_string(i));
    }
    return static_cast<int>(keys.size());
}

int JsonObject::TypeOf(std::string_view path) const {
    Found found = resolve(*m_document, path);
    if (found.state == Found::Error) return Other;
    const Json* value = found.value();
    if (!value || value->is_null()) return Null;
    if (value->is_boolean()) return Boolean;
    if (value->is_number()) return Number;
    if (value->is_string()) return String;
    if (value->is_array()) return Array;
    if (value->is_object()) return Object;
    return Other;
}

void JsonObject::Clear() {
    *m_document = Json::object();
}

}  // namespace wf

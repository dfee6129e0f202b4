// A JSON document with the operations the dictionary engines read answers with. Paths are
// JavaScript member-access suffixes ("symbols[0].parts", "[2]", "a.length"), and every text
// comes out as JavaScript would print it: numbers in JavaScript's form, arrays joined by
// commas, objects as "[object Object]", keys in JavaScript's enumeration order. Server text
// is parsed as JSON data and never run as code; what the operations call an expression is
// JSON text too.
#pragma once

#include <memory>
#include <nlohmann/json.hpp>
#include <string>
#include <string_view>
#include <vector>

namespace wf {

class JsonObject {
  public:
    // Type codes of TypeOf and the kinds of Reset.
    enum Type { Other = -1, Null = 0, Boolean = 1, Number = 2, Object = 4, Array = 5, String = 6 };

    JsonObject();

    // An empty object document.
    void Init();
    // True when text is JSON whose value is not null; otherwise the document becomes null.
    bool Parse(std::string_view text);
    std::string Stringify() const;
    void SetValue(std::string_view key, std::string_view value, bool asExpression = false);
    void SetExpression(std::string_view key, std::string_view expression);
    void SetNumber(std::string_view key, double number);
    double GetNumber(std::string_view key) const;
    std::string GetJson(std::string_view key) const;
    std::string GetText(std::string_view path, bool asJson = false) const;
    JsonObject GetObject(std::string_view path) const;
    int Count(std::string_view path = {}) const;
    void Push(std::string_view value, std::string_view path = {}, bool asExpression = false);
    JsonObject GetItemObject(long long index, std::string_view path = {}) const;
    std::string GetItem(long long index, std::string_view path = {}, bool asJson = false) const;
    void SetItem(long long index, std::string_view value, bool asExpression = false);
    void RemoveItem(long long index);
    void Delete(std::string_view key);
    void Reset(int kind);
    bool SetRoot(std::string_view value, bool asExpression = false);
    bool Has(std::string_view key) const;
    int Keys(std::vector<std::string>& keys, std::string_view path = {}) const;
    int TypeOf(std::string_view path = {}) const;
    void Clear();

  private:
    using Json = nlohmann::ordered_json;
    std::shared_ptr<Json> m_document;  // copies share the document
};

// A number as JavaScript's Number.prototype.toString writes it.
std::string jsNumberText(double value);

}  // namespace wf

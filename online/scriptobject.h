// A JavaScript engine to which code is added and whose functions are run by name, with the
// conversions built on it. Each object owns one engine heap; copies share it.
#pragma once

#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace wf {

class ScriptObject {
  public:
    ScriptObject();

    // Runs a statement in the global scope; false when it raised an error.
    bool ExecuteStatement(std::string_view statement);
    // The value of an expression as text; empty for undefined, null and errors.
    std::string Eval(std::string_view expression);
    // Forgets every piece of code added so far.
    void Reset();
    std::string LastError() const;
    // Calls a global function with up to six text arguments; the result as text.
    std::string Run(std::string_view procedure, const std::vector<std::string>& arguments = {});
    // 0 selects "JScript"; only JavaScript is available, so 1 ("vbs") leaves it unchanged.
    std::string Language(int code);
    // The limit in milliseconds for each call; -1 for none. Returns the limit now in force.
    long Timeout(long milliseconds = -1);
    int State(std::optional<int> newState = std::nullopt);
    bool AddCode(std::string_view code);

  private:
    struct Engine;
    std::shared_ptr<Engine> m_engine;
};

// The text percent-encoded as UTF-8, as JavaScript's encodeURI does it.
std::string EncodeUri(std::string_view text);
// The text converted by one of "to16on", "to16un", "to10on" and "to10un".
std::string ConvertEscapes(std::string_view text, std::string_view function = "to16un");

}  // namespace wf

#include "online/scriptobject.h"

#include <duktape.h>

#include <chrono>
#include <cstddef>
#include <cstdlib>
#include <cstring>

#include "platform/codec.h"

namespace {

using Clock = std::chrono::steady_clock;

// What the engine's hooks see of their heap: the deadline of the running call and the memory
// the heap holds, so that neither a loop nor a growing string can take the program down.
struct HeapState {
    bool active = false;
    Clock::time_point at;
    std::size_t used = 0;
    std::size_t limit = 256u << 20;
};

// Each block carries its size in front, aligned for any type.
constexpr std::size_t kBlockHeader = alignof(std::max_align_t);

void* heapAlloc(void* udata, duk_size_t size) {
    auto* state = static_cast<HeapState*>(udata);
    if (size > state->limit - state->used) return nullptr;
    auto* block = static_cast<unsigned char*>(std::malloc(size + kBlockHeader));
    if (!block) return nullptr;
    std::memcpy(block, &size, sizeof size);
    state->used += size;
    return block + kBlockHeader;
}

void heapFree(void* udata, void* pointer) {
    if (!pointer) return;
    auto* state = static_cast<HeapState*>(udata);
    unsigned char* block = static_cast<unsigned char*>(pointer) - kBlockHeader;
    duk_size_t size = 0;
    std::memcpy(&size, block, sizeof size);
    state->used -= size;
    std::free(block);
}

void* heapRealloc(void* udata, void* pointer, duk_size_t size) {
    if (!pointer) return heapAlloc(udata, size);
    if (size == 0) {
        heapFree(udata, pointer);
        return nullptr;
    }
    auto* state = static_cast<HeapState*>(udata);
    unsigned char* block = static_cast<unsigned char*>(pointer) - kBlockHeader;
    duk_size_t old = 0;
    std::memcpy(&old, block, sizeof old);
    if (size > old && size - old > state->limit - state->used) return nullptr;
    auto* grown = static_cast<unsigned char*>(std::realloc(block, size + kBlockHeader));
    if (!grown) return nullptr;
    std::memcpy(grown, &size, sizeof size);
    state->used = state->used - old + size;
    return grown + kBlockHeader;
}

}  // namespace

// Called by the engine every few thousand instructions; a true result ends the running script.
extern "C" int wfDuktapeTimeoutCheck(void* udata) {
    const auto* state = static_cast<const HeapState*>(udata);
    return state && state->active && Clock::now() > state->at ? 1 : 0;
}

namespace wf {
namespace {

// A script that escapes every check of its own cannot be recovered from; there is no caller
// to hand the failure to, because every call into the engine is a protected one.
void fatalError(void*, const char*) {
    std::abort();
}

// The conversions of ConvertEscapes. Codes beyond U+FFFF become surrogate pairs, so that a
// five-digit "&#x1F600;" gives its real character.
constexpr const char* kEscapeScript = R"js(
function to16on(s) {
    var r = '';
    for (var i = 0; i < s.length; i++) {
        r += '\\u' + ('0000' + s.charCodeAt(i).toString(16)).slice(-4);
    }
    return r;
}
function to16un(s) {
    return unescape(s.replace(/\\/g, '%'));
}
function to10on(s) {
    var r = '';
    for (var i = 0; i < s.length; i++) r += '&#' + s.charCodeAt(i) + ';';
    return r;
}
function to10un(s) {
    return s.replace(/&#(x[0-9a-fA-F]{1,5}|[0-9]{1,5});?/g, function (m, c) {
        var n = c.charAt(0) == 'x' ? parseInt(c.substring(1), 16) : parseInt(c, 10);
        if (n > 0xFFFF) {
            n -= 0x10000;
            return String.fromCharCode(0xD800 + (n >> 10), 0xDC00 + (n & 0x3FF));
        }
        return String.fromCharCode(n);
    });
}
)js";

std::string engineText(std::string_view text) {
    return utf8ToCesu8(text);
}

}  // namespace

struct ScriptObject::Engine {
    duk_context* context = nullptr;
    HeapState heap;
    long timeoutMs = 10000;  // the script control's own default
    int state = 0;
    std::string lastError;

    Engine() { create(); }
    ~Engine() { destroy(); }
    Engine(const Engine&) = delete;
    Engine& operator=(const Engine&) = delete;

    void create() {
        heap.used = 0;
        context = duk_create_heap(&heapAlloc, &heapRealloc, &heapFree, &heap, &fatalError);
    }
    void destroy() {
        if (context) duk_destroy_heap(context);
        context = nullptr;
    }

    void startCall() {
        heap.active = timeoutMs > 0;
        heap.at = Clock::now() + std::chrono::milliseconds(timeoutMs > 0 ? timeoutMs : 0);
        lastError.clear();
    }
    void endCall() { heap.active = false; }

    // The value on top of the stack as text, popped; an error value becomes lastError.
    std::string takeResult(duk_int_t rc) {
        std::string text;
        if (rc != DUK_EXEC_SUCCESS) {
            duk_size_t len = 0;
            const char* s = duk_safe_to_lstring(context, -1, &len);
            lastError = cesu8ToUtf8(std::string_view(s, len));
        } else if (!duk_is_null_or_undefined(context, -1)) {
            duk_size_t len = 0;
            const char* s = duk_safe_to_lstring(context, -1, &len);
            text = cesu8ToUtf8(std::string_view(s, len));
        }
        duk_pop(context);
        return text;
    }

    // Evaluates code in the global scope; leaves the result or the error on the stack.
    duk_int_t evaluate(std::string_view code) {
        std::string source = engineText(code);
        return duk_peval_lstring(context, source.data(), source.size());
    }
};

ScriptObject::ScriptObject() : m_engine(std::make_shared<Engine>()) {}

bool ScriptObject::ExecuteStatement(std::string_view statement) {
    Engine& e = *m_engine;
    if (!e.context) return false;
    e.startCall();
    duk_int_t rc = e.evaluate(statement);
    e.endCall();
    e.takeResult(rc);
    return rc == DUK_EXEC_SUCCESS;
}

bool ScriptObject::AddCode(std::string_view code) {
    return ExecuteStatement(code);
}

std::string ScriptObject::Eval(std::string_view expression) {
    Engine& e = *m_engine;
    if (!e.context) return {};
    e.startCall();
    duk_int_t rc = e.evaluate(expression);
    e.endCall();
    return e.takeResult(rc);
}

void ScriptObject::Reset() {
    m_engine->destroy();
    m_engine->create();
    m_engine->lastError.clear();
}

std::string ScriptObject::LastError() const {
    return m_engine->lastError;
}

std::string ScriptObject::Run(std::string_view procedure,
                              const std::vector<std::string>& arguments) {
    Engine& e = *m_engine;
    if (!e.context) return {};
    duk_context* ctx = e.context;
    std::string name = engineText(procedure);
    // The lookup runs inside the protected call too: a throwing getter must not escape it.
    duk_push_global_object(ctx);
    duk_push_lstring(ctx, name.data(), name.size());
    std::size_t count = arguments.size() < 6 ? arguments.size() : 6;
    for (std::size_t i = 0; i < count; ++i) {
        std::string arg = engineText(arguments[i]);
        duk_push_lstring(ctx, arg.data(), arg.size());
    }
    e.startCall();
    auto nargs = static_cast<duk_idx_t>(count);
    duk_int_t rc = duk_pcall_prop(ctx, -(nargs + 2), nargs);
    e.endCall();
    std::string result = e.takeResult(rc);
    duk_pop(ctx);  // the global object
    return result;
}

std::string ScriptObject::Language(int code) {
    if (code != 0) m_engine->lastError = "only JScript is available";
    return "JScript";
}

long ScriptObject::Timeout(long milliseconds) {
    m_engine->timeoutMs = milliseconds > 0 ? milliseconds : -1;
    return m_engine->timeoutMs;
}

int ScriptObject::State(std::optional<int> newState) {
    if (newState) m_engine->state = *newState;
    return m_engine->state;
}

std::string EncodeUri(std::string_view text) {
    ScriptObject script;
    return script.Run("encodeURI", {std::string(text)});
}

std::string ConvertEscapes(std::string_view text, std::string_view function) {
    ScriptObject script;
    script.ExecuteStatement(kEscapeScript);
    return script.Run(function, {std::string(text)});
}

}  // namespace wf

#include "speech/ecilibrary.h"

#include <dlfcn.h>

#include <filesystem>
#include <string>

namespace wf {

namespace {

std::filesystem::path ownFolder() {
    Dl_info info{};
    if (dladdr(reinterpret_cast<void*>(&ownFolder), &info) && info.dli_fname) {
        return std::filesystem::path(info.dli_fname).parent_path();
    }
    return {};
}

void* openEngine() {
    constexpr const char* kName = "libibmeci.so";
    const std::filesystem::path beside = ownFolder() / kName;
    std::error_code error;
    if (!ownFolder().empty() && std::filesystem::exists(beside, error)) {
        if (void* library = dlopen(beside.c_str(), RTLD_NOW | RTLD_LOCAL)) return library;
    }
    return dlopen(kName, RTLD_NOW | RTLD_LOCAL);
}

template <typename F>
void bind(void* library, F& function, const char* name) {
    function = reinterpret_cast<F>(dlsym(library, name));
}

}  // namespace

EciLibrary::EciLibrary() {
    m_library = openEngine();
    if (!m_library) return;
    bind(m_library, m_new, "eciNew");
    bind(m_library, m_delete, "eciDelete");
    bind(m_library, m_setParam, "eciSetParam");
    bind(m_library, m_copyVoice, "eciCopyVoice");
    bind(m_library, m_getVoiceName, "eciGetVoiceName");
    bind(m_library, m_getVoiceParam, "eciGetVoiceParam");
    bind(m_library, m_setVoiceParam, "eciSetVoiceParam");
    bind(m_library, m_addText, "eciAddText");
    bind(m_library, m_insertIndex, "eciInsertIndex");
    bind(m_library, m_synthesize, "eciSynthesize");
    bind(m_library, m_stop, "eciStop");
    bind(m_library, m_setOutputDevice, "eciSetOutputDevice");
    bind(m_library, m_pause, "eciPause");
    bind(m_library, m_registerCallback, "eciRegisterCallback");
    // An engine without its core entry points counts as absent.
    if (!m_new || !m_delete) {
        dlclose(m_library);
        m_library = nullptr;
    }
}

EciLibrary::~EciLibrary() {
    if (m_library) dlclose(m_library);
}

EciApi::Handle EciLibrary::create() {
    return m_library ? m_new() : nullptr;
}
void EciLibrary::destroy(Handle engine) {
    if (m_delete && engine) m_delete(engine);
}
void EciLibrary::setParam(Handle engine, int param, int value) {
    if (m_setParam) m_setParam(engine, param, value);
}
void EciLibrary::copyVoice(Handle engine, int from, int to) {
    if (m_copyVoice) m_copyVoice(engine, from, to);
}
bool EciLibrary::voiceName(Handle engine, int voice, char* buffer30) {
    return m_getVoiceName && m_getVoiceName(engine, voice, buffer30) != 0;
}
int EciLibrary::getVoiceParam(Handle engine, int voice, int param) {
    return m_getVoiceParam ? m_getVoiceParam(engine, voice, param) : -1;
}
int EciLibrary::setVoiceParam(Handle engine, int voice, int param, int value) {
    return m_setVoiceParam ? m_setVoiceParam(engine, voice, param, value) : -1;
}
void EciLibrary::addText(Handle engine, const char* text) {
    if (m_addText) m_addText(engine, text);
}
void EciLibrary::insertIndex(Handle engine, int index) {
    if (m_insertIndex) m_insertIndex(engine, index);
}
void EciLibrary::synthesize(Handle engine) {
    if (m_synthesize) m_synthesize(engine);
}
void EciLibrary::stop(Handle engine) {
    if (m_stop) m_stop(engine);
}
bool EciLibrary::setOutputDevice(Handle engine, int device) {
    return m_setOutputDevice && m_setOutputDevice(engine, device) != 0;
}
void EciLibrary::pause(Handle engine, bool on) {
    if (m_pause) m_pause(engine, on ? 1 : 0);
}
void EciLibrary::registerCallback(Handle engine, Callback callback, void* data) {
    if (m_registerCallback) m_registerCallback(engine, callback, data);
}

}  // namespace wf

// The library's C exports over the one speech core. Nothing thrown inside gets out of here.
#include "speech/include/kvtts.h"

#include <dlfcn.h>

#include <algorithm>
#include <cstring>
#include <filesystem>
#include <new>
#include <string>
#include <string_view>

#include "platform/codec.h"
#include "speech/devicename.h"
#include "speech/kvsynthtextcore.h"
#include "speech/speechsettings.h"

#define KVTTS_EXPORT extern "C" __attribute__((visibility("default")))

namespace {

using wf::CKVSynthTextCore;

constexpr std::size_t kAnsiNameBuffer = 64;
constexpr int kDeviceNameBuffer = 260;
// Voices that the system keeps for compatibility and that are not offered.
constexpr std::u16string_view kHiddenVoices[] = {u"Microsoft Mary", u"Microsoft Mike",
                                                 u"Microsoft Sam"};

std::filesystem::path librarySettingsPath() {
    Dl_info info{};
    if (dladdr(reinterpret_cast<void*>(&librarySettingsPath), &info) && info.dli_fname) {
        std::error_code error;
        std::filesystem::path library = std::filesystem::absolute(info.dli_fname, error);
        if (!error) return library.parent_path() / "kvttscfg.ini";
    }
    return {};
}

struct LibraryState {
    CKVSynthTextCore* core = nullptr;
    std::int32_t cachedVolume = 0;
    std::int32_t cachedSpeed = 0;
    std::int32_t cachedPitch = 0;
    std::filesystem::path settingsPath = librarySettingsPath();
    char firstVoiceAnsi[kAnsiNameBuffer] = {};
    char nextVoiceAnsi[kAnsiNameBuffer] = {};
    char currentVoiceAnsi[kAnsiNameBuffer] = {};
};

LibraryState& state() {
    // Never destroyed: engine threads may still run while the process exits.
    static LibraryState* library = new LibraryState;
    return *library;
}

[[maybe_unused]] const bool g_settingsPathAtLoad = (state(), true);

bool isHidden(const char16_t* name) {
    if (!name || !state().core) return true;
    const std::u16string_view text(name);
    return std::find(std::begin(kHiddenVoices), std::end(kHiddenVoices), text) !=
           std::end(kHiddenVoices);
}

const char* toAnsi(const char16_t* name, char (&buffer)[kAnsiNameBuffer]) {
    if (!name) return nullptr;
    std::memset(buffer, 0, sizeof buffer);
    const std::string utf8 = wf::truncateToGb18030Bytes(wf::utf16ToUtf8(name), kAnsiNameBuffer - 1);
    const std::string ansi = wf::encodeGb18030(utf8);
    std::memcpy(buffer, ansi.data(), std::min(ansi.size(), kAnsiNameBuffer - 1));
    return buffer;
}

// GB18030 to wide text; nothing for bytes that are not GB18030.
std::optional<std::u16string> fromAnsi(const char* text) {
    if (!text) return std::nullopt;
    wf::DecodeResult decoded = wf::decodeGb18030(text);
    if (!decoded.ok()) return std::nullopt;
    return wf::utf8ToUtf16(decoded.text);
}

std::u16string deviceName(std::int32_t device) {
    char16_t buffer[kDeviceNameBuffer] = {};
    int length = 0;
    if (!state().core->GetDeviceName(device, buffer, kDeviceNameBuffer, &length)) return {};
    return std::u16string(buffer,
                          static_cast<std::size_t>(std::clamp(length, 0, kDeviceNameBuffer - 1)));
}

template <typename F>
auto guarded(F&& body, decltype(body()) failed) noexcept -> decltype(body()) {
    try {
        return body();
    } catch (...) {
        return failed;
    }
}

std::int32_t clampPercent(std::uint32_t value) {
    return static_cast<std::int32_t>(std::min<std::uint32_t>(value, 100));
}

std::int32_t cachedGet(std::int32_t& cache, int (CKVSynthTextCore::*get)()) {
    CKVSynthTextCore* core = state().core;
    if (!core) return 0;
    if (cache != 0) return cache;
    cache = (core->*get)();
    return cache;
}

std::int32_t cachedSet(std::int32_t& cache, int (CKVSynthTextCore::*set)(int),
                       std::uint32_t value) {
    CKVSynthTextCore* core = state().core;
    if (!core) return 0;
    cache = clampPercent(value);
    return (core->*set)(cache);
}

std::int32_t initialise(std::int32_t loadSettings) {
    LibraryState& library = state();
    if (library.core) {
        library.core->Destroy();
        library.core = nullptr;
    }
    library.core = new (std::nothrow) CKVSynthTextCore(wf::systemSpeechEnvironment());
    if (!library.core) return 0;
    library.core->Init(nullptr);
    const wf::SpeechSettingsFile settings(library.settingsPath);
    if (loadSettings && settings.exists()) {
        const wf::StoredSpeechSettings stored = settings.load();
        kvttsSetVoiceW(stored.voice.c_str());
        kvttsSetVolume(static_cast<std::uint32_t>(stored.volume));
        kvttsSetSpeed(static_cast<std::uint32_t>(stored.speed));
        kvttsSetPitch(static_cast<std::uint32_t>(stored.pitch));
    }
    return 1;
}

}  // namespace

KVTTS_EXPORT int32_t kvttsInitW(int32_t loadSettings) {
    return guarded([&] { return initialise(loadSettings); }, 0);
}

KVTTS_EXPORT int32_t kvttsInitA(int32_t loadSettings) {
    return guarded([&] { return initialise(loadSettings); }, 0);
}

KVTTS_EXPORT void kvttsUninit(int32_t save) {
    guarded(
        [&] {
            LibraryState& library = state();
            if (library.core) {
                if (save) kvttsSave();
                library.core->Destroy();
                library.core = nullptr;
            }
            return 0;
        },
        0);
}

KVTTS_EXPORT int32_t kvttsSave(void) {
    return guarded(
        [] {
            LibraryState& library = state();
            if (!library.core || library.settingsPath.empty()) return 0;
            const char16_t* voice = kvttsGetVoiceW();
            const std::u16string voiceText = voice ? voice : u"";
            const int volume = kvttsGetVolume();
            const int speed = kvttsGetSpeed();
            const int pitch = kvttsGetPitch();
            wf::SpeechSettingsFile(library.settingsPath)
                .save(voice ? &voiceText : nullptr, volume, speed, pitch);
            return 1;
        },
        0);
}

KVTTS_EXPORT int32_t kvttsGetCount(void) {
    return guarded(
        [] {
            std::int32_t count = 0;
            for (const char16_t* name = kvttsGetFirstVoiceW(); name; name = kvttsGetNextVoiceW()) {
                ++count;
            }
            return count;
        },
        0);
}

KVTTS_EXPORT const char16_t* kvttsGetFirstVoiceW(void) {
    return guarded(
        []() -> const char16_t* {
            CKVSynthTextCore* core = state().core;
            if (!core) return nullptr;
            const char16_t* name = core->GetFirstVoice();
            while (isHidden(name)) {
                if (!name) return nullptr;
                name = core->GetNextVoice();
            }
            return name;
        },
        nullptr);
}

KVTTS_EXPORT const char16_t* kvttsGetNextVoiceW(void) {
    return guarded(
        []() -> const char16_t* {
            CKVSynthTextCore* core = state().core;
            if (!core) return nullptr;
            const char16_t* name = core->GetNextVoice();
            while (isHidden(name)) {
                if (!name) return nullptr;
                name = core->GetNextVoice();
            }
            return name;
        },
        nullptr);
}

KVTTS_EXPORT const char16_t* kvttsGetVoiceW(void) {
    return guarded(
        []() -> const char16_t* { return state().core ? state().core->GetVoice() : nullptr; },
        nullptr);
}

KVTTS_EXPORT const char* kvttsGetFirstVoiceA(void) {
    return guarded([] { return toAnsi(kvttsGetFirstVoiceW(), state().firstVoiceAnsi); },
                   static_cast<const char*>(nullptr));
}

KVTTS_EXPORT const char* kvttsGetNextVoiceA(void) {
    return guarded([] { return toAnsi(kvttsGetNextVoiceW(), state().nextVoiceAnsi); },
                   static_cast<const char*>(nullptr));
}

KVTTS_EXPORT const char* kvttsGetVoiceA(void) {
    return guarded([] { return toAnsi(kvttsGetVoiceW(), state().currentVoiceAnsi); },
                   static_cast<const char*>(nullptr));
}

KVTTS_EXPORT int32_t kvttsSetVoiceW(const char16_t* name) {
    return guarded(
        [&]() -> std::int32_t {
            LibraryState& library = state();
            CKVSynthTextCore* core = library.core;
            if (!core || isHidden(name)) return 0;
            const char16_t* before = core->GetVoice();
            const std::optional<std::u16string> previous =
                before ? std::optional<std::u16string>(before) : std::nullopt;
            const int result = core->SetVoice(name);
            const char16_t* after = core->GetVoice();
            if (previous && after && *previous != after) {
                // A new engine instance starts from its own values.
                library.cachedVolume = core->GetVolume();
                library.cachedSpeed = core->GetSpeed();
                library.cachedPitch = core->GetPitch();
            }
            return result;
        },
        0);
}

KVTTS_EXPORT int32_t kvttsSetVoiceA(const char* name) {
    return guarded(
        [&]() -> std::int32_t {
            if (!state().core) return 0;
            std::optional<std::u16string> wide = fromAnsi(name);
            if (!wide) return 0;
            return kvttsSetVoiceW(wide->c_str());
        },
        0);
}

KVTTS_EXPORT int32_t kvttsSetVolume(uint32_t value) {
    return guarded(
        [&] { return cachedSet(state().cachedVolume, &CKVSynthTextCore::SetVolume, value); }, 0);
}
KVTTS_EXPORT int32_t kvttsSetSpeed(uint32_t value) {
    return guarded(
        [&] { return cachedSet(state().cachedSpeed, &CKVSynthTextCore::SetSpeed, value); }, 0);
}
KVTTS_EXPORT int32_t kvttsSetPitch(uint32_t value) {
    return guarded(
        [&] { return cachedSet(state().cachedPitch, &CKVSynthTextCore::SetPitch, value); }, 0);
}
KVTTS_EXPORT int32_t kvttsGetVolume(void) {
    return guarded([] { return cachedGet(state().cachedVolume, &CKVSynthTextCore::GetVolume); }, 0);
}
KVTTS_EXPORT int32_t kvttsGetSpeed(void) {
    return guarded([] { return cachedGet(state().cachedSpeed, &CKVSynthTextCore::GetSpeed); }, 0);
}
KVTTS_EXPORT int32_t kvttsGetPitch(void) {
    return guarded([] { return cachedGet(state().cachedPitch, &CKVSynthTextCore::GetPitch); }, 0);
}

KVTTS_EXPORT int32_t kvttsSpeakW(const char16_t* text) {
    return guarded([&]() -> std::int32_t { return state().core ? state().core->Speak(text) : 0; },
                   0);
}

KVTTS_EXPORT int32_t kvttsSpeak2W(const char16_t* text) {
    return guarded([&]() -> std::int32_t { return state().core ? state().core->Speak2(text) : 0; },
                   0);
}

KVTTS_EXPORT int32_t kvttsSpeakA(const char* text) {
    return guarded(
        [&]() -> std::int32_t {
            if (!state().core) return 0;
            std::optional<std::u16string> wide = fromAnsi(text);
            return wide ? state().core->Speak(wide->c_str()) : 0;
        },
        0);
}

KVTTS_EXPORT int32_t kvttsSpeak2A(const char* text) {
    return guarded(
        [&]() -> std::int32_t {
            if (!state().core) return 0;
            std::optional<std::u16string> wide = fromAnsi(text);
            return wide ? state().core->Speak2(wide->c_str()) : 0;
        },
        0);
}

KVTTS_EXPORT int32_t kvttsStop(void) {
    return guarded([]() -> std::int32_t { return state().core ? state().core->Stop() : 0; }, 0);
}

KVTTS_EXPORT int32_t kvttsPause(void) {
    return guarded([]() -> std::int32_t { return state().core ? state().core->Pause() : 0; }, 0);
}

KVTTS_EXPORT int32_t kvttsResume(void) {
    return guarded([]() -> std::int32_t { return state().core ? state().core->Resume() : 0; }, 0);
}

KVTTS_EXPORT void kvttsSetNotify(kvttsNotifyProc callback, intptr_t param1, intptr_t param2) {
    guarded(
        [&] {
            if (state().core) state().core->SetNotify(callback, param1, param2);
            return 0;
        },
        0);
}

KVTTS_EXPORT int32_t kvttsGetDeviceCount(void) {
    return guarded(
        []() -> std::int32_t { return state().core ? state().core->GetDeviceCount() : 0; }, 0);
}

KVTTS_EXPORT int32_t kvttsSetDevice(int32_t device) {
    return guarded(
        [&]() -> std::int32_t { return state().core ? state().core->SetDevice(device) : 0; }, 0);
}

KVTTS_EXPORT int32_t kvttsGetDeviceNameW(int32_t device, char16_t* dst, int32_t count) {
    return guarded(
        [&]() -> std::int32_t {
            return state().core ? wf::copyDeviceNameW(deviceName(device), dst, count) : 0;
        },
        0);
}

KVTTS_EXPORT int32_t kvttsGetDeviceNameA(int32_t device, char* dst, int32_t len) {
    return guarded(
        [&]() -> std::int32_t {
            return state().core ? wf::copyDeviceNameA(deviceName(device), dst, len) : 0;
        },
        0);
}

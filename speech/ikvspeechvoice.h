// The interface every voice engine adapter offers the speech core, and the target through which an
// adapter reports that its engine has finished a text.
#pragma once

#include <cstdint>

namespace wf {

class IKVSynthText;

// Results of the adapters: 0 is success, anything else failure.
inline constexpr int kVoiceOk = 0;
inline constexpr int kVoiceFailed = 1;
// The system speech service's own failure codes, which CSpVoice passes on.
inline constexpr int kEFail = static_cast<int>(0x80004005u);
inline constexpr int kEOutOfMemory = static_cast<int>(0x8007000Eu);
inline constexpr int kEInvalidArg = static_cast<int>(0x80070057u);

// Voice names live in slots of this many UTF-16 units (63 and a terminator).
inline constexpr int kVoiceNameSlot = 64;

class IKVNotify {
  public:
    virtual ~IKVNotify() = default;
    // The engine has finished a text. May be called on any thread.
    virtual void Notify(std::intptr_t reserved, IKVSynthText* core) = 0;
};

class IKVSpeechVoice {
  public:
    virtual ~IKVSpeechVoice() = default;
    virtual int Init(void* window) = 0;
    virtual void Uninit() = 0;
    virtual int SetDevice(int device) = 0;
    virtual int GetDevice(int* device) = 0;
    // Names go into consecutive slots of kVoiceNameSlot units; a null buffer only counts.
    virtual int EnumVoices(char16_t* names, int capacity, int* count) = 0;
    virtual int SelectVoice(const char16_t* name) = 0;
    virtual int GetVoiceName(char16_t* name) = 0;  // a slot of kVoiceNameSlot units
    virtual int SpeakNow(const char16_t* text) = 0;
    virtual int Speak(const char16_t* text) = 0;
    virtual int Stop() = 0;
    virtual int Pause() = 0;
    virtual int Resume() = 0;
    virtual int SetVolume(int value) = 0;
    virtual int GetVolume(int* value) = 0;
    virtual int SetSpeed(int value) = 0;
    virtual int GetSpeed(int* value) = 0;
    virtual int SetPitch(int value) = 0;
    virtual int GetPitch(int* value) = 0;
    virtual int SetNotify(IKVNotify* target, std::intptr_t reserved, IKVSynthText* core) = 0;
};

}  // namespace wf

// The ECI engine as CViavoiceTts reaches it, one call per engine entry point it uses. The real one
// is EciLibrary (the engine's shared library, loaded at run time); tests give a fake.
#pragma once

namespace wf {

class EciApi {
  public:
    using Handle = void*;
    // Engine event callback: (handle, message, parameter, data); its result is returned to the
    // engine.
    using Callback = int (*)(Handle, int message, long parameter, void* data);

    static constexpr int kMessageIndexReply = 2;
    static constexpr int kParamVolume = 7;
    static constexpr int kParamSpeed = 6;
    static constexpr int kParamPitch = 2;

    virtual ~EciApi() = default;
    virtual Handle create() = 0;
    virtual void destroy(Handle engine) = 0;
    virtual void setParam(Handle engine, int param, int value) = 0;
    virtual void copyVoice(Handle engine, int from, int to) = 0;
    // Fills a 30-byte buffer with the preset voice's name (ANSI); false when there is none.
    virtual bool voiceName(Handle engine, int voice, char* buffer30) = 0;
    virtual int getVoiceParam(Handle engine, int voice, int param) = 0;
    virtual int setVoiceParam(Handle engine, int voice, int param, int value) = 0;
    virtual void addText(Handle engine, const char* text) = 0;
    virtual void insertIndex(Handle engine, int index) = 0;
    virtual void synthesize(Handle engine) = 0;
    virtual void stop(Handle engine) = 0;
    virtual bool setOutputDevice(Handle engine, int device) = 0;
    virtual void pause(Handle engine, bool on) = 0;
    virtual void registerCallback(Handle engine, Callback callback, void* data) = 0;
};

}  // namespace wf

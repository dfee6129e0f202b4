// The ECI engine's shared library (libibmeci.so), found at run time: first beside the speech
// library, then on the system's library path. Absent engine: create() gives no handle.
#pragma once

#include "speech/eciapi.h"

namespace wf {

class EciLibrary : public EciApi {
  public:
    EciLibrary();
    ~EciLibrary() override;
    EciLibrary(const EciLibrary&) = delete;
    EciLibrary& operator=(const EciLibrary&) = delete;

    bool loaded() const { return m_library != nullptr; }

    Handle create() override;
    void destroy(Handle engine) override;
    void setParam(Handle engine, int param, int value) override;
    void copyVoice(Handle engine, int from, int to) override;
    bool voiceName(Handle engine, int voice, char* buffer30) override;
    int getVoiceParam(Handle engine, int voice, int param) override;
    int setVoiceParam(Handle engine, int voice, int param, int value) override;
    void addText(Handle engine, const char* text) override;
    void insertIndex(Handle engine, int index) override;
    void synthesize(Handle engine) override;
    void stop(Handle engine) override;
    bool setOutputDevice(Handle engine, int device) override;
    void pause(Handle engine, bool on) override;
    void registerCallback(Handle engine, Callback callback, void* data) override;

  private:
    void* m_library = nullptr;
    Handle (*m_new)() = nullptr;
    Handle (*m_delete)(Handle) = nullptr;
    int (*m_setParam)(Handle, int, int) = nullptr;
    int (*m_copyVoice)(Handle, int, int) = nullptr;
    int (*m_getVoiceName)(Handle, int, void*) = nullptr;
    int (*m_getVoiceParam)(Handle, int, int) = nullptr;
    int (*m_setVoiceParam)(Handle, int, int, int) = nullptr;
    int (*m_addText)(Handle, const void*) = nullptr;
    int (*m_insertIndex)(Handle, int) = nullptr;
    int (*m_synthesize)(Handle) = nullptr;
    int (*m_stop)(Handle) = nullptr;
    int (*m_setOutputDevice)(Handle, int) = nullptr;
    int (*m_pause)(Handle, int) = nullptr;
    void (*m_registerCallback)(Handle, Callback, void*) = nullptr;
};

}  // namespace wf

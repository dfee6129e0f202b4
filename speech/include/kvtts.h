/* The speech library's exported interface. Plain C; every function may be called before
 * kvttsInitW/kvttsInitA and then does nothing and returns 0 or a null pointer.
 *
 * W functions take and return UTF-16 text, A functions GB18030 text. Strings returned by the
 * voice functions belong to the library: a W name stays valid until the next initialisation or
 * kvttsUninit, an A name until the same function is called again. */
#ifndef KVTTS_H
#define KVTTS_H

#include <stdint.h>

#ifdef __cplusplus
extern "C" {
#else
#include <uchar.h> /* char16_t */
#endif

/* Lifecycle and settings (kvttscfg.ini beside the library). Init returns 1. */
int32_t kvttsInitW(int32_t loadSettings);
int32_t kvttsInitA(int32_t loadSettings);
void kvttsUninit(int32_t save);
int32_t kvttsSave(void);

/* Voices. Enumeration shares one position with kvttsGetCount, which ends it. */
int32_t kvttsGetCount(void);
const char16_t* kvttsGetFirstVoiceW(void);
const char16_t* kvttsGetNextVoiceW(void);
const char16_t* kvttsGetVoiceW(void);
const char* kvttsGetFirstVoiceA(void);
const char* kvttsGetNextVoiceA(void);
const char* kvttsGetVoiceA(void);
int32_t kvttsSetVoiceW(const char16_t* name);
int32_t kvttsSetVoiceA(const char* name);

/* Parameters 0..100; larger values are taken as 100. Get answers -1 when the engine cannot. */
int32_t kvttsSetVolume(uint32_t value);
int32_t kvttsSetSpeed(uint32_t value);
int32_t kvttsSetPitch(uint32_t value);
int32_t kvttsGetVolume(void);
int32_t kvttsGetSpeed(void);
int32_t kvttsGetPitch(void);

/* Speak stops what is spoken first; Speak2 queues behind it. 1 when speaking started. */
int32_t kvttsSpeakW(const char16_t* text);
int32_t kvttsSpeak2W(const char16_t* text);
int32_t kvttsSpeakA(const char* text);
int32_t kvttsSpeak2A(const char* text);
int32_t kvttsStop(void);
int32_t kvttsPause(void);
int32_t kvttsResume(void);

/* Called with (0, param1, param2) once per spoken text, possibly on another thread. Never
 * called after kvttsUninit or kvttsSetNotify has returned. */
typedef void (*kvttsNotifyProc)(intptr_t zero, intptr_t param1, intptr_t param2);
void kvttsSetNotify(kvttsNotifyProc callback, intptr_t param1, intptr_t param2);

/* Audio outputs 0..count-1. kvttsSetDevice returns 0 on success. The name functions return the
 * length of the name (dst null or size 0) or of what was copied. */
int32_t kvttsGetDeviceCount(void);
int32_t kvttsSetDevice(int32_t device);
int32_t kvttsGetDeviceNameW(int32_t device, char16_t* dst, int32_t count);
int32_t kvttsGetDeviceNameA(int32_t device, char* dst, int32_t len);

#ifdef __cplusplus
}
#endif

#endif /* KVTTS_H */

/* A stand-in for the ECI engine library, loaded by libkvtts.so under the engine's file name in
 * the C interface test. Eight preset voices, the last of them one that the library hides; voice
 * parameters are kept as set; the index marker of a synthesised text is reported from a thread
 * of its own, like the real engine does. Inspection functions start with fakeEci. */
#include <pthread.h>
#include <stdatomic.h>
#include <stdint.h>
#include <stdio.h>
#include <string.h>
#include <time.h>

typedef int (*EciCallback)(void*, int, long, void*);

struct Engine {
    int params[16];
    EciCallback callback;
    void* data;
    int pendingIndex; /* an index marker was added since the last synthesis */
    pthread_t reporter;
    int reporting;
    atomic_int stopped;
};

static struct Engine g_engine;
static int g_engines;
static int g_getCalls;
static int g_lastSet[16];

static const char* const kNames[8] = {"Fake Voice 1", "Fake Voice 2", "Fake Voice 3",
                                      "Fake Voice 4", "Fake Voice 5", "Fake Voice 6",
                                      "Fake Voice 7", "Microsoft Sam"};

void* eciNew(void) {
    memset(&g_engine, 0, sizeof g_engine);
    g_engine.params[7] = 80;  /* volume */
    g_engine.params[6] = 125; /* speed: 50 % */
    g_engine.params[2] = 50;  /* pitch */
    ++g_engines;
    return &g_engine;
}

static void joinReporter(struct Engine* engine, int stop) {
    if (engine->reporting && pthread_equal(pthread_self(), engine->reporter)) {
        pthread_detach(engine->reporter); /* stopped from inside its own report */
        engine->reporting = 0;
        return;
    }
    if (engine->reporting) {
        if (stop) atomic_store(&engine->stopped, 1);
        pthread_join(engine->reporter, NULL);
        engine->reporting = 0;
    }
}

void* eciDelete(void* handle) {
    joinReporter((struct Engine*)handle, 1);
    --g_engines;
    return NULL;
}

int eciSetParam(void* handle, int param, int value) {
    return 0;
}
int eciCopyVoice(void* handle, int from, int to) {
    return 1;
}

int eciGetVoiceName(void* handle, int voice, void* buffer) {
    if (voice < 1 || voice > 8) return 0;
    strncpy((char*)buffer, kNames[voice - 1], 29);
    return 1;
}

int eciGetVoiceParam(void* handle, int voice, int param) {
    ++g_getCalls;
    return (param >= 0 && param < 16) ? ((struct Engine*)handle)->params[param] : -1;
}

int eciSetVoiceParam(void* handle, int voice, int param, int value) {
    if (param < 0 || param >= 16) return -1;
    struct Engine* engine = (struct Engine*)handle;
    int old = engine->params[param];
    engine->params[param] = value;
    g_lastSet[param] = value;
    return param == 7 ? 0 : old + 1; /* what the adapter reads as success */
}

int eciAddText(void* handle, const void* text) {
    return 1;
}
int eciInsertIndex(void* handle, int index) {
    ((struct Engine*)handle)->pendingIndex = 1;
    return 1;
}

static void* report(void* argument) {
    struct Engine* engine = (struct Engine*)argument;
    struct timespec pause = {0, 20 * 1000 * 1000};
    nanosleep(&pause, NULL);
    if (!atomic_load(&engine->stopped) && engine->callback)
        engine->callback(engine, 2, 0, engine->data);
    return NULL;
}

int eciSynthesize(void* handle) {
    struct Engine* engine = (struct Engine*)handle;
    joinReporter(engine, 0); /* the text before is spoken to its end first */
    if (!engine->pendingIndex) return 1;
    engine->pendingIndex = 0;
    atomic_store(&engine->stopped, 0);
    engine->reporting = pthread_create(&engine->reporter, NULL, report, engine) == 0;
    return 1;
}

int eciStop(void* handle) {
    joinReporter((struct Engine*)handle, 1);
    return 1;
}

int eciSetOutputDevice(void* handle, int device) {
    return device >= 0 && device < 2;
}
int eciPause(void* handle, int on) {
    return 1;
}

void eciRegisterCallback(void* handle, EciCallback callback, void* data) {
    ((struct Engine*)handle)->callback = callback;
    ((struct Engine*)handle)->data = data;
}

int fakeEciLastSet(int param) {
    return (param >= 0 && param < 16) ? g_lastSet[param] : -1;
}
int fakeEciGetCalls(void) {
    return g_getCalls;
}
int fakeEciEngines(void) {
    return g_engines;
}

/* Binds the 31 exports of libkvtts.so by name, as a C program that knows only kvtts.h.
 *   kvtts_c_test interface LIB   the exported interface, with the fake ECI engine on the path
 *   kvtts_c_test speech LIB      real speech through espeak-ng into the configured sink */
#define _GNU_SOURCE
#include <dlfcn.h>
#include <stdatomic.h>
#include <stdint.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <time.h>
#include <unistd.h>

#include "speech/include/kvtts.h"

/* clang-format off */
#define EXPORTS(X)                                                                            \
    X(InitW) X(InitA) X(Uninit) X(Save) X(GetCount) X(GetFirstVoiceW) X(GetNextVoiceW)        \
    X(GetVoiceW) X(GetFirstVoiceA) X(GetNextVoiceA) X(GetVoiceA) X(SetVoiceW) X(SetVoiceA)    \
    X(SetVolume) X(SetSpeed) X(SetPitch) X(GetVolume) X(GetSpeed) X(GetPitch) X(SpeakW)       \
    X(Speak2W) X(SpeakA) X(Speak2A) X(Stop) X(Pause) X(Resume) X(SetNotify) X(GetDeviceCount) \
    X(SetDevice) X(GetDeviceNameW) X(GetDeviceNameA)
/* clang-format on */

static struct {
#define FIELD(name) __typeof__(&kvtts##name) name;
    EXPORTS(FIELD)
#undef FIELD
} kv;

static int g_failures;
#define CHECK(condition)                                                            \
    do {                                                                            \
        if (!(condition)) {                                                         \
            fprintf(stderr, "%s:%d: failed: %s\n", __FILE__, __LINE__, #condition); \
            ++g_failures;                                                           \
        }                                                                           \
    } while (0)

static atomic_int g_notified;
static atomic_intptr_t g_lastParams[3];

static void onSpoken(intptr_t zero, intptr_t param1, intptr_t param2) {
    atomic_store(&g_lastParams[0], zero);
    atomic_store(&g_lastParams[1], param1);
    atomic_store(&g_lastParams[2], param2);
    atomic_fetch_add(&g_notified, 1);
}

static void sleepMs(long ms) {
    struct timespec pause = {ms / 1000, (ms % 1000) * 1000000L};
    nanosleep(&pause, NULL);
}

/* Waits up to timeoutMs for the callback count to reach wanted. */
static int waitNotified(int wanted, long timeoutMs) {
    for (long waited = 0; waited < timeoutMs; waited += 10) {
        if (atomic_load(&g_notified) >= wanted) return 1;
        sleepMs(10);
    }
    return atomic_load(&g_notified) >= wanted;
}

static int sameText(const char16_t* wide, const char* ascii) {
    if (!wide) return 0;
    for (; *ascii; ++wide, ++ascii) {
        if (*wide != (char16_t)(unsigned char)*ascii) return 0;
    }
    return *wide == 0;
}

/* A private copy of the library, so that its kvttscfg.ini lies in a folder of our own. */
static void* openPrivateCopy(const char* library, char* folder, size_t folderSize) {
    snprintf(folder, folderSize, "/tmp/kvtts-test-XXXXXX");
    if (!mkdtemp(folder)) return NULL;
    char target[512];
    snprintf(target, sizeof target, "%s/libkvtts.so", folder);
    FILE* in = fopen(library, "rb");
    FILE* out = fopen(target, "wb");
    if (!in || !out) return NULL;
    char buffer[65536];
    size_t n;
    while ((n = fread(buffer, 1, sizeof buffer, in)) > 0) fwrite(buffer, 1, n, out);
    fclose(in);
    fclose(out);
    return dlopen(target, RTLD_NOW | RTLD_LOCAL);
}

static int bindExports(void* library) {
    int missing = 0;
#define BIND(name)                                                \
    kv.name = (__typeof__(kv.name))dlsym(library, "kvtts" #name); \
    if (!kv.name) {                                               \
        fprintf(stderr, "missing export kvtts%s\n", #name);       \
        ++missing;                                                \
    }
    EXPORTS(BIND)
#undef BIND
    return missing == 0;
}

static char* readFile(const char* path) {
    static char text[4096];
    FILE* file = fopen(path, "rb");
    if (!file) return NULL;
    size_t n = fread(text, 1, sizeof text - 1, file);
    text[n] = 0;
    fclose(file);
    return text;
}

static void testBeforeInitialisation(const char* settingsFile) {
    char16_t wide[16] = {'x', 0};
    char narrow[16] = "x";
    struct {
        const char* call;
        intptr_t result;
    } cases[] = {
        {"GetCount", kv.GetCount()},
        {"GetFirstVoiceW", (intptr_t)kv.GetFirstVoiceW()},
        {"GetNextVoiceW", (intptr_t)kv.GetNextVoiceW()},
        {"GetVoiceW", (intptr_t)kv.GetVoiceW()},
        {"GetFirstVoiceA", (intptr_t)kv.GetFirstVoiceA()},
        {"GetNextVoiceA", (intptr_t)kv.GetNextVoiceA()},
        {"GetVoiceA", (intptr_t)kv.GetVoiceA()},
        {"SetVoiceW", kv.SetVoiceW(u"Fake Voice 2")},
        {"SetVoiceA", kv.SetVoiceA("Fake Voice 2")},
        {"SetVolume", kv.SetVolume(30)},
        {"SetSpeed", kv.SetSpeed(30)},
        {"SetPitch", kv.SetPitch(30)},
        {"GetVolume", kv.GetVolume()},
        {"GetSpeed", kv.GetSpeed()},
        {"GetPitch", kv.GetPitch()},
        {"SpeakW", kv.SpeakW(u"hello")},
        {"Speak2W", kv.Speak2W(u"hello")},
        {"SpeakA", kv.SpeakA("hello")},
        {"Speak2A", kv.Speak2A("hello")},
        {"Stop", kv.Stop()},
        {"Pause", kv.Pause()},
        {"Resume", kv.Resume()},
        {"GetDeviceCount", kv.GetDeviceCount()},
        {"SetDevice", kv.SetDevice(0)},
        {"GetDeviceNameW", kv.GetDeviceNameW(0, wide, 16)},
        {"GetDeviceNameA", kv.GetDeviceNameA(0, narrow, 16)},
        {"Save", kv.Save()},
    };
    kv.SetNotify(onSpoken, 1, 2);
    kv.Uninit(1);
    for (size_t i = 0; i < sizeof cases / sizeof cases[0]; ++i) {
        if (cases[i].result != 0) {
            fprintf(stderr, "kvtts%s before initialisation gave %ld\n", cases[i].call,
                    (long)cases[i].result);
            ++g_failures;
        }
    }
    CHECK(wide[0] == 'x' && narrow[0] == 'x'); /* buffers untouched */
    CHECK(access(settingsFile, F_OK) != 0);    /* nothing saved */
}

static int (*fakeLastSet)(int);
static int (*fakeGetCalls)(void);

static void testVoicesAndParameters(void) {
    CHECK(kv.InitA(0) == 1);
    /* The callback registered before initialisation is gone and the caches are empty. */
    int calls = fakeGetCalls();
    CHECK(kv.GetVolume() == 80);
    CHECK(fakeGetCalls() == calls + 1);

    int listed = 0, hiddenSeen = 0, fakes = 0;
    for (const char16_t* name = kv.GetFirstVoiceW(); name; name = kv.GetNextVoiceW()) {
        ++listed;
        if (sameText(name, "Microsoft Sam")) hiddenSeen = 1;
        if (name[0] == 'F') ++fakes;
    }
    CHECK(listed == kv.GetCount());
    CHECK(fakes == 7 && !hiddenSeen);
    CHECK(kv.SetVoiceW(u"Microsoft Sam") == 0);
    CHECK(kv.SetVoiceA("Microsoft Sam") == 0);
    CHECK(kv.GetVoiceA() && strcmp(kv.GetVoiceA(), "Fake Voice 1") == 0);

    /* kvttsGetCount shares the enumeration position and ends an enumeration. */
    CHECK(sameText(kv.GetFirstVoiceW(), "Fake Voice 1"));
    kv.GetCount();
    CHECK(kv.GetNextVoiceW() == NULL);
    CHECK(kv.GetFirstVoiceA() && strcmp(kv.GetFirstVoiceA(), "Fake Voice 1") == 0);
    const char* second = kv.GetNextVoiceA();
    CHECK(second && strcmp(second, "Fake Voice 2") == 0);
    kv.GetCount();
    CHECK(kv.GetNextVoiceA() == NULL);

    /* Values above 100, and -1 read as unsigned, become 100. */
    struct {
        uint32_t value;
        int applied;
    } clamps[] = {{250, 100}, {30, 30}, {(uint32_t)-1, 100}, {100, 100}};
    for (size_t i = 0; i < sizeof clamps / sizeof clamps[0]; ++i) {
        CHECK(kv.SetVolume(clamps[i].value) == 1);
        CHECK(fakeLastSet(7) == clamps[i].applied);
        CHECK(kv.GetVolume() == clamps[i].applied);
        kv.SetPitch(clamps[i].value);
        CHECK(fakeLastSet(2) == clamps[i].applied);
    }
    CHECK(kv.SetSpeed(250) == 1 && fakeLastSet(6) == 250);

    /* 0 empties the cache: every read asks the engine. A nonzero value is answered at once. */
    kv.SetVolume(0);
    calls = fakeGetCalls();
    CHECK(kv.GetVolume() == 0 && kv.GetVolume() == 0);
    CHECK(fakeGetCalls() == calls + 2);
    kv.SetPitch(40);
    calls = fakeGetCalls();
    CHECK(kv.GetPitch() == 40 && fakeGetCalls() == calls);

    /* The caches outlive the core; a change of voice refreshes them from the new engine. */
    kv.SetSpeed(40);
    kv.Uninit(0);
    CHECK(kv.GetSpeed() == 0);
    CHECK(kv.InitW(0) == 1);
    calls = fakeGetCalls();
    CHECK(kv.GetSpeed() == 40 && fakeGetCalls() == calls);
    CHECK(kv.SetVoiceA("Fake Voice 1") == 1);
    CHECK(kv.GetSpeed() == 40); /* same voice: caches kept */
    CHECK(kv.SetVoiceA("Fake Voice 2") == 1);
    CHECK(kv.GetSpeed() == 50 && kv.GetVolume() == 80);
    CHECK(strcmp(kv.GetVoiceA(), "Fake Voice 2") == 0);
    CHECK(kv.SetVoiceA("No Such Voice") == 0);
    CHECK(strcmp(kv.GetVoiceA(), "Fake Voice 2") == 0);
    CHECK(kv.SetVoiceA(NULL) == 0 && kv.SpeakA(NULL) == 0 && kv.SpeakW(u"") == 0);
}

static void testDevices(void) {
    char16_t wide[260];
    char narrow[260];
    int count = kv.GetDeviceCount();
    CHECK(count >= 0);
    /* A device that does not exist has an empty name. */
    CHECK(kv.GetDeviceNameW(count + 3, NULL, 0) == 0);
    CHECK(kv.GetDeviceNameA(count + 3, NULL, 0) == 1);
    wide[0] = 'x';
    CHECK(kv.GetDeviceNameW(count + 3, wide, 5) == 0 && wide[0] == 0);
    if (count > 0) {
        int length = kv.GetDeviceNameW(0, NULL, 0);
        int bytes = kv.GetDeviceNameA(0, NULL, 0);
        CHECK(length > 0 && bytes > length);
        CHECK(kv.GetDeviceNameW(0, wide, 260) == length && wide[length] == 0);
        int shortCopy = kv.GetDeviceNameW(0, wide, 5);
        CHECK(shortCopy == (length < 4 ? length : 4) && wide[shortCopy] == 0);
        CHECK(kv.GetDeviceNameA(0, narrow, 260) == bytes - 1);
        int shortBytes = kv.GetDeviceNameA(0, narrow, 5);
        CHECK(shortBytes <= 4 && narrow[shortBytes] == 0);
    }
    /* The fake engine has outputs 0 and 1. kvttsSetDevice answers 0 for success. */
    CHECK(kv.SetDevice(1) == 0);
    CHECK(kv.SetDevice(7) == 1);
}

static void testCompletion(void) {
    atomic_store(&g_notified, 0);
    kv.SetNotify(onSpoken, 11, 22);
    CHECK(kv.Speak2A("one") == 1);
    CHECK(kv.Speak2A("two") == 1);
    CHECK(waitNotified(2, 10000));
    sleepMs(100);
    CHECK(atomic_load(&g_notified) == 2);
    CHECK(atomic_load(&g_lastParams[0]) == 0 && atomic_load(&g_lastParams[1]) == 11 &&
          atomic_load(&g_lastParams[2]) == 22);

    /* kvttsSpeakA stops the text before it: one report, for the second text. */
    atomic_store(&g_notified, 0);
    CHECK(kv.SpeakA("one") == 1 && kv.SpeakA("two") == 1);
    CHECK(waitNotified(1, 10000));
    sleepMs(100);
    CHECK(atomic_load(&g_notified) == 1);

    /* Nothing is reported once kvttsUninit has returned. */
    atomic_store(&g_notified, 0);
    CHECK(kv.SpeakA("three") == 1);
    kv.Uninit(0);
    int after = atomic_load(&g_notified);
    sleepMs(150);
    CHECK(atomic_load(&g_notified) == after);
}

static void testSettingsFile(const char* settingsFile) {
    FILE* file = fopen(settingsFile, "wb");
    fputs("[setting]\r\nvoice=Fake Voice 3\r\nvolume=150\r\nspeed=-5\r\n", file);
    fclose(file);
    CHECK(kv.InitA(1) == 1);
    CHECK(kv.GetVoiceA() && strcmp(kv.GetVoiceA(), "Fake Voice 3") == 0);
    CHECK(fakeLastSet(7) == 100 && fakeLastSet(6) == 0 && fakeLastSet(2) == 50);
    kv.SetVolume(70);
    CHECK(kv.Save() == 1);
    const char* saved = readFile(settingsFile);
    CHECK(saved && strstr(saved, "voice=Fake Voice 3") && strstr(saved, "volume=70") &&
          strstr(saved, "pitch=50"));
    kv.SetVoiceA("Fake Voice 4");
    kv.Uninit(1);
    saved = readFile(settingsFile);
    CHECK(saved && strstr(saved, "voice=Fake Voice 4"));
}

static int runInterface(void* library, const char* folder) {
    void* engine = dlopen("libibmeci.so", RTLD_NOW);
    if (!engine) {
        fprintf(stderr, "the fake engine is not on the library path\n");
        return 1;
    }
    fakeLastSet = (int (*)(int))dlsym(engine, "fakeEciLastSet");
    fakeGetCalls = (int (*)(void))dlsym(engine, "fakeEciGetCalls");
    char settingsFile[600];
    snprintf(settingsFile, sizeof settingsFile, "%s/kvttscfg.ini", folder);

    testBeforeInitialisation(settingsFile);
    testVoicesAndParameters();
    testDevices();
    testCompletion();
    testSettingsFile(settingsFile);
    remove(settingsFile);
    return 0;
}

static int hasVoice(const char* wanted) {
    for (const char* name = kv.GetFirstVoiceA(); name; name = kv.GetNextVoiceA()) {
        if (strcmp(name, wanted) == 0) return 1;
    }
    return 0;
}

static int runSpeech(void) {
    CHECK(kv.InitA(0) == 1);
    CHECK(hasVoice("English (America)"));
    CHECK(hasVoice("English (Great Britain)"));
    CHECK(hasVoice("Chinese (Mandarin)"));
    kv.SetNotify(onSpoken, 5, 6);

    CHECK(kv.SetVoiceA("English (America)") == 1);
    CHECK(kv.Speak2A("Hello, this is an English sentence.") == 1);
    CHECK(waitNotified(1, 30000));
    sleepMs(300);
    CHECK(atomic_load(&g_notified) == 1);

    CHECK(kv.SetVoiceW(u"Chinese (Mandarin)") == 1);
    CHECK(kv.Speak2W(u"你好，这是一个中文句子。") == 1);
    CHECK(waitNotified(2, 30000));
    sleepMs(300);
    CHECK(atomic_load(&g_notified) == 2);

    /* The same sentence in GB18030 through the A form ("你好"). */
    CHECK(kv.Speak2A("\xC4\xE3\xBA\xC3") == 1);
    CHECK(waitNotified(3, 30000));

    /* While paused the text cannot end; after resuming it does. */
    CHECK(kv.SetVoiceA("English (Great Britain)") == 1);
    CHECK(kv.SpeakA("Pausing in the middle of a sentence.") == 1);
    CHECK(kv.Pause() == 1);
    sleepMs(1500);
    CHECK(atomic_load(&g_notified) == 3);
    CHECK(kv.Resume() == 1);
    CHECK(waitNotified(4, 30000));
    kv.Uninit(0);
    return 0;
}

int main(int argc, char** argv) {
    if (argc != 3) {
        fprintf(stderr, "usage: %s interface|speech LIBRARY\n", argv[0]);
        return 2;
    }
    char folder[256];
    void* library = openPrivateCopy(argv[2], folder, sizeof folder);
    if (!library) {
        fprintf(stderr, "cannot load %s: %s\n", argv[2], dlerror());
        return 1;
    }
    if (!bindExports(library)) return 1;
    int status = strcmp(argv[1], "speech") == 0 ? runSpeech() : runInterface(library, folder);
    char copy[512];
    snprintf(copy, sizeof copy, "%s/libkvtts.so", folder);
    remove(copy);
    rmdir(folder);
    if (g_failures) fprintf(stderr, "%d check(s) failed\n", g_failures);
    return status || g_failures ? 1 : 0;
}

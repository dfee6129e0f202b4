// The Chinese engine's speech interfaces as CIbmChstts reaches them: the direct sound output, the
// enumerator of engine modes, one open mode (audio destination, central interface, attributes)
// and the buffer notifications. The engine has no Linux build: AbsentChineseTts stands for it.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace wf {

class CIbmChsttsNotifySink;

struct TtsModeInfo {
    std::u16string modeName;
    std::u16string modeId;
};

class ChineseTtsApi {
  public:
    virtual ~ChineseTtsApi() = default;

    virtual bool createDirectSound() = 0;  // on the default device
    virtual void setCooperativeLevel(void* window, int level) = 0;
    virtual void releaseDirectSound() = 0;

    virtual bool openEnumerator() = 0;
    virtual std::optional<TtsModeInfo> findMode(std::u16string_view modeName) = 0;

    // The mode holder: created empty, given an audio destination, opened on a mode.
    virtual bool createHolder() = 0;
    virtual bool useDirectSoundDestination() = 0;
    // Selects the mode with the holder's destination (the wave mapper when it has none).
    virtual int openMode(const TtsModeInfo& mode) = 0;
    virtual bool holderOpen() const = 0;
    virtual void destroyHolder() = 0;

    // Speaks plain text; the engine reports its end to the sink (holding a reference meanwhile).
    virtual int textData(std::u16string_view text, CIbmChsttsNotifySink* sink) = 0;
    virtual int audioReset() = 0;
    virtual int audioPause() = 0;
    virtual int audioResume() = 0;
    virtual int modeName(std::u16string* name) = 0;

    // Attributes: the engine's own units.
    virtual int volumeSet(std::uint32_t value) = 0;
    virtual int volumeGet(std::uint32_t* value) = 0;
    virtual int speedSet(std::uint32_t value) = 0;
    virtual int speedGet(std::uint32_t* value) = 0;
    virtual int pitchSet(std::uint16_t value) = 0;
    virtual int pitchGet(std::uint16_t* value) = 0;
};

class AbsentChineseTts : public ChineseTtsApi {
  public:
    bool createDirectSound() override { return false; }
    void setCooperativeLevel(void*, int) override {}
    void releaseDirectSound() override {}
    bool openEnumerator() override { return false; }
    std::optional<TtsModeInfo> findMode(std::u16string_view) override { return std::nullopt; }
    bool createHolder() override { return true; }
    bool useDirectSoundDestination() override { return false; }
    int openMode(const TtsModeInfo&) override { return 1; }
    bool holderOpen() const override { return false; }
    void destroyHolder() override {}
    int textData(std::u16string_view, CIbmChsttsNotifySink*) override { return 1; }
    int audioReset() override { return 1; }
    int audioPause() override { return 1; }
    int audioResume() override { return 1; }
    int modeName(std::u16string*) override { return 1; }
    int volumeSet(std::uint32_t) override { return 1; }
    int volumeGet(std::uint32_t*) override { return 1; }
    int speedSet(std::uint32_t) override { return 1; }
    int speedGet(std::uint32_t*) override { return 1; }
    int pitchSet(std::uint16_t) override { return 1; }
    int pitchGet(std::uint16_t*) override { return 1; }
};

}  // namespace wf

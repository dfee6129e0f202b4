#pragma once

#include <cstdint>
#include <mutex>

#include "speech/ikvspeechvoice.h"

namespace wf {

// Where an adapter's end-of-text reports go; set by SetNotify on the calling thread and read on
// the engine's thread, hence the lock.
class NotifyTarget {
  public:
    void set(IKVNotify* target, std::intptr_t reserved, IKVSynthText* core);
    void clear() { set(nullptr, 0, nullptr); }
    bool isSet() const;
    // Calls the target's Notify when one is set.
    void fire() const;

  private:
    mutable std::mutex m_mutex;
    IKVNotify* m_target = nullptr;
    std::intptr_t m_reserved = 0;
    IKVSynthText* m_core = nullptr;
};

}  // namespace wf

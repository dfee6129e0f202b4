#include "speech/notifytarget.h"

namespace wf {

void NotifyTarget::set(IKVNotify* target, std::intptr_t reserved, IKVSynthText* core) {
    std::lock_guard lock(m_mutex);
    m_target = target;
    m_reserved = reserved;
    m_core = core;
}

bool NotifyTarget::isSet() const {
    std::lock_guard lock(m_mutex);
    return m_target != nullptr;
}

void NotifyTarget::fire() const {
    IKVNotify* target;
    std::intptr_t reserved;
    IKVSynthText* core;
    {
        std::lock_guard lock(m_mutex);
        target = m_target;
        reserved = m_reserved;
        core = m_core;
    }
    // Outside the lock: the target may speak the next text on this very adapter.
    if (target) target->Notify(reserved, core);
}

}  // namespace wf

#include "platform/audio/playlistplayer.h"

#include <chrono>

namespace wf {

PlaylistPlayer::~PlaylistPlayer() {
    stop();
}

void PlaylistPlayer::stop() {
    if (m_worker.joinable()) {
        m_worker.request_stop();
        m_wake.notify_all();
        m_worker.join();
    }
    m_player.close();
    m_playing = false;
    m_current = -1;
}

void PlaylistPlayer::play(std::vector<std::string> files) {
    stop();
    if (files.empty()) return;
    m_playing = true;
    m_played = 0;
    m_worker = std::jthread([this, files = std::move(files)](std::stop_token token) mutable {
        run(token, std::move(files));
    });
}

void PlaylistPlayer::run(std::stop_token stop, std::vector<std::string> files) {
    using namespace std::chrono_literals;
    for (std::size_t i = 0; i < files.size() && !stop.stop_requested(); ++i) {
        m_current = static_cast<int>(i);
        if (!m_player.open(files[i]) || !m_player.play()) continue;
        ++m_played;
        std::unique_lock lock(m_wakeMutex);
        // The player has no callback thread of its own: look at it a few times a second.
        while (!m_wake.wait_for(lock, stop, 40ms, [] { return false; })) {
            if (stop.stop_requested() || m_player.ended() ||
                m_player.status() != MediaPlayer::Status::Playing) {
                break;
            }
        }
    }
    m_player.close();
    m_current = -1;
    m_playing = false;
}

}  // namespace wf

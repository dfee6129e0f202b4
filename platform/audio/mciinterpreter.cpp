#include "platform/audio/mciinterpreter.h"

#include <algorithm>
#include <charconv>

#include "platform/audio/mediaplayer.h"

namespace wf {
namespace {

std::string lower(std::string_view text) {
    std::string result(text);
    std::transform(result.begin(), result.end(), result.begin(), [](unsigned char c) {
        return static_cast<char>(c >= 'A' && c <= 'Z' ? c - 'A' + 'a' : c);
    });
    return result;
}

bool parseMilliseconds(std::string_view text, std::int64_t& value) {
    auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
    return ec == std::errc() && end == text.data() + text.size() && value >= 0;
}

MciReply reply(int error, std::string answer = {}) {
    return {error, std::move(answer)};
}

}  // namespace

std::vector<std::string> splitMciCommand(std::string_view command) {
    std::vector<std::string> words;
    std::size_t i = 0;
    while (i < command.size()) {
        while (i < command.size() && (command[i] == ' ' || command[i] == '\t')) ++i;
        if (i >= command.size()) break;
        if (command[i] == '"') {
            std::size_t close = command.find('"', i + 1);
            if (close == std::string_view::npos) close = command.size();
            words.emplace_back(command.substr(i + 1, close - i - 1));
            i = close + 1;
        } else {
            std::size_t end = command.find_first_of(" \t", i);
            if (end == std::string_view::npos) end = command.size();
            words.emplace_back(command.substr(i, end - i));
            i = end;
        }
    }
    return words;
}

MciInterpreter::MciInterpreter() = default;
MciInterpreter::~MciInterpreter() = default;

void MciInterpreter::setRecording(bool on) {
    std::lock_guard lock(m_mutex);
    m_recording = on;
}

std::vector<std::string> MciInterpreter::recordedCommands() const {
    std::lock_guard lock(m_mutex);
    return m_recorded;
}

void MciInterpreter::clearRecordedCommands() {
    std::lock_guard lock(m_mutex);
    m_recorded.clear();
}

std::shared_ptr<MediaPlayer> MciInterpreter::find(const std::string& alias) const {
    std::lock_guard lock(m_mutex);
    auto it = m_players.find(lower(alias));
    return it == m_players.end() ? nullptr : it->second;
}

MciReply MciInterpreter::send(std::string_view command) {
    {
        std::lock_guard lock(m_mutex);
        if (m_recording) m_recorded.emplace_back(command);
    }
    const std::vector<std::string> words = splitMciCommand(command);
    if (words.empty()) return reply(kUnrecognizedCommand);
    const std::string verb = lower(words[0]);
    if (words.size() < 2) return reply(kMissingParameter);
    const std::string& device = words[1];

    if (verb == "open") {
        std::string alias = device;
        for (std::size_t i = 2; i + 1 < words.size(); ++i) {
            if (lower(words[i]) == "alias") alias = words[i + 1];
        }
        const std::string key = lower(alias);
        {
            std::lock_guard lock(m_mutex);
            if (m_players.count(key)) return reply(kAliasInUse);
        }
        auto player = std::make_shared<MediaPlayer>();
        if (!player->open(device)) return reply(kCannotOpen);
        std::lock_guard lock(m_mutex);
        // Another thread may have opened the same alias meanwhile; the first one keeps it.
        if (!m_players.emplace(key, std::move(player)).second) return reply(kAliasInUse);
        return reply(0);
    }

    if (verb == "close") {
        std::shared_ptr<MediaPlayer> closing;
        std::vector<std::shared_ptr<MediaPlayer>> all;
        {
            std::lock_guard lock(m_mutex);
            if (lower(device) == "all") {
                for (auto& [name, player] : m_players) all.push_back(std::move(player));
                m_players.clear();
            } else {
                auto it = m_players.find(lower(device));
                if (it == m_players.end()) return reply(kUnknownAlias);
                closing = std::move(it->second);
                m_players.erase(it);
            }
        }
        // Stopped outside the lock: closing a stream may take a moment.
        if (closing) closing->close();
        for (auto& player : all) player->close();
        return reply(0);
    }

    std::shared_ptr<MediaPlayer> player = find(device);
    if (!player) return reply(kUnknownAlias);

    if (verb == "play") {
        for (std::size_t i = 2; i + 1 < words.size(); ++i) {
            std::int64_t from = 0;
            if (lower(words[i]) == "from" && parseMilliseconds(words[i + 1], from)) {
                if (!player->seek(from)) return reply(kCommandFailed);
            }
        }
        return reply(player->play() ? 0 : kCommandFailed);
    }
    if (verb == "pause") return reply(player->pause() ? 0 : kCommandFailed);
    if (verb == "resume") return reply(player->resume() ? 0 : kCommandFailed);
    if (verb == "stop") return reply(player->stop() ? 0 : kCommandFailed);
    if (verb == "seek") {
        if (words.size() < 4 || lower(words[2]) != "to") return reply(kMissingParameter);
        const std::string target = lower(words[3]);
        if (target == "start") {
            return reply(player->stop() ? 0 : kCommandFailed);
        }
        std::int64_t to = 0;
        if (target == "end")
            to = player->length();
        else if (!parseMilliseconds(target, to))
            return reply(kMissingParameter);
        return reply(player->seek(to) ? 0 : kCommandFailed);
    }
    if (verb == "status") {
        if (words.size() < 3) return reply(kMissingParameter);
        const std::string item = lower(words[2]);
        if (item == "position") return reply(0, std::to_string(player->position()));
        if (item == "length") return reply(0, std::to_string(player->length()));
        if (item == "ready") return reply(0, "true");
        if (item == "mode") {
            switch (player->status()) {
                case MediaPlayer::Status::Playing:
                    return reply(0, "playing");
                case MediaPlayer::Status::Paused:
                    return reply(0, "paused");
                default:
                    return reply(0, "stopped");
            }
        }
        return reply(kUnrecognizedCommand);
    }
    if (verb == "set") return reply(0);  // milliseconds is the only time format there is
    if (verb == "setaudio") {
        std::int64_t volume = 0;
        if (words.size() >= 5 && lower(words[2]) == "volume" && lower(words[3]) == "to" &&
            parseMilliseconds(words[4], volume)) {
            player->setVolume(static_cast<double>(std::min<std::int64_t>(volume, 1000)) / 1000.0);
            return reply(0);
        }
        return reply(kMissingParameter);
    }
    return reply(kUnrecognizedCommand);
}

}  // namespace wf

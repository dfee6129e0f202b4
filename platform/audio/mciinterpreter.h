// The media-control command strings ("open \"a.mp3\" alias x", "play x", "status x position",
// ...) interpreted over one MediaPlayer per alias. Safe to call from several threads at once;
// a slow open under one alias does not hold up commands for the others.
#pragma once

#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <string_view>
#include <vector>

namespace wf {

class MediaPlayer;

struct MciReply {
    int error = 0;       // 0 when the command succeeded
    std::string answer;  // the return string of status commands
    bool ok() const { return error == 0; }
};

class MciInterpreter {
  public:
    enum Error {
        kUnrecognizedCommand = 256,
        kMissingParameter = 257,
        kCannotOpen = 263,
        kUnknownAlias = 264,
        kAliasInUse = 289,
        kCommandFailed = 290,
    };

    MciInterpreter();
    ~MciInterpreter();

    // Commands: open PATH [type T] [alias A]; play A [from MS]; pause A; resume A; stop A;
    // seek A to start|end|MS; close A|all; status A position|length|mode|ready;
    // set A time format milliseconds; setaudio A volume to 0..1000. Times are milliseconds.
    MciReply send(std::string_view command);

    // Keeps every command string sent, for tests that check what a caller asked for.
    void setRecording(bool on);
    std::vector<std::string> recordedCommands() const;
    void clearRecordedCommands();

  private:
    std::shared_ptr<MediaPlayer> find(const std::string& alias) const;

    mutable std::mutex m_mutex;
    std::map<std::string, std::shared_ptr<MediaPlayer>> m_players;  // by lower-cased alias
    bool m_recording = false;
    std::vector<std::string> m_recorded;
};

// Splits a command string into words; a part between double quotes is one word.
std::vector<std::string> splitMciCommand(std::string_view command);

}  // namespace wf

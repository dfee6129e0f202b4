#include "platform/audio/mcicommands.h"

#include <charconv>
#include <string>

#include "platform/audio/mciinterpreter.h"

namespace wf {
namespace {

int statusNumber(std::string_view alias, std::string_view item) {
    MciReply result =
        mciInterpreter().send("status " + std::string(alias) + " " + std::string(item));
    if (!result.ok()) return 0;
    int value = 0;
    const std::string& answer = result.answer;
    std::from_chars(answer.data(), answer.data() + answer.size(), value);
    return value;
}

}  // namespace

MciInterpreter& mciInterpreter() {
    // Never destroyed: threads may still send commands while the program exits.
    static MciInterpreter* interpreter = new MciInterpreter;
    return *interpreter;
}

bool mciPlay(std::string_view path, std::string_view alias) {
    MciInterpreter& mci = mciInterpreter();
    const std::string name(alias);
    mci.send("close " + name);
    mci.send("open \"" + std::string(path) + "\" alias " + name);
    return mci.send("play " + name).ok();
}

void mciClose(std::string_view alias) {
    mciInterpreter().send("close " + std::string(alias));
}

int mciPosition(std::string_view alias) {
    return statusNumber(alias, "position");
}

int mciLength(std::string_view alias) {
    return statusNumber(alias, "length");
}

}  // namespace wf
